#include "ui/fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>

namespace {

// Whether the label's text, drawn the way the label draws it into a rectangle of size, puts ink
// beside it (horizontally) or above or below it (vertically).
struct Overflow
{
    bool across = false;
    bool down = false;
};
Overflow InkOutside(const QLabel* label, QSize size)
{
    const QFontMetrics metrics(label->font());
    const QSize margin(
        metrics.horizontalAdvance(label->text()) + metrics.height(), 2 * metrics.height());
    QImage canvas(size + 2 * margin, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    const QRect box(QPoint(margin.width(), margin.height()), size);
    QPainter painter(&canvas);
    painter.setFont(label->font());
    // Where the label clips its text to its rectangle, this drawing lets it run over.
    painter.drawText(box, static_cast<int>(label->alignment()) | Qt::TextDontClip, label->text());
    painter.end();
    Overflow overflow;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(line[x]) != 0 && !box.contains(x, y)) {
                (y < box.top() || y > box.bottom() ? overflow.down : overflow.across) = true;
            }
        }
    }
    return overflow;
}

} // namespace

void FitLabelToText(QLabel* label)
{
    const QRect stored = label->geometry();
    QSize size = stored.size();
    for (Overflow overflow = InkOutside(label, size); (overflow.across || overflow.down)
         && size.height() < 4 * stored.height() && size.width() < 8 * stored.width();
         overflow = InkOutside(label, size)) {
        size += QSize(overflow.across ? 1 : 0, overflow.down ? 2 : 0);
    }
    label->setGeometry(stored.left(), stored.top() - (size.height() - stored.height()) / 2,
        size.width(), size.height());
}

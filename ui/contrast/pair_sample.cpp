#include "ui/contrast/pair_sample.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/codepage.h"
#include "ui/text.h"

namespace {

// The shape a toolbar icon would be: a ring with a mark inside, 24 by 24 pixels, drawn with
// strokes of 2 pixels, the thinnest line an icon usually has.
constexpr int IconSize = 24;

void DrawIcon(QPainter& painter, const QPoint& topLeft, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(topLeft.x() + 1, topLeft.y() + 1, IconSize - 2, IconSize - 2));
    // A tick mark inside the ring.
    QPainterPath tick;
    tick.moveTo(topLeft.x() + 7, topLeft.y() + 12.5);
    tick.lineTo(topLeft.x() + 10.5, topLeft.y() + 16);
    tick.lineTo(topLeft.x() + 17, topLeft.y() + 8.5);
    painter.drawPath(tick);
    painter.restore();
}

QFont SampleFont(const QFont& base, double points, bool bold)
{
    QFont font = base;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct SampleLine
{
    const char8_t* caption;
    double points;
    bool bold;
};

// The normal size, then WCAG 2's two large-text sizes.
constexpr SampleLine FullLines[] = {
    { u8"12pt", 12, false },
    { u8"18pt", 18, false },
    { u8"14pt 太字", 14, true },
};

QString SampleText()
{
    return ToQString(Sjis(u8"色の見本 Sample Text 0123"));
}

} // namespace

PairSample::PairSample(Kind kind, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PairSample::SetPair(const QColor& text, const QColor& background)
{
    m_text = text;
    m_background = background;
    update();
}

QSize PairSample::sizeHint() const
{
    if (m_kind == Kind::Compact) {
        const QFontMetrics metrics(SampleFont(font(), 14, true));
        return { metrics.horizontalAdvance(ToQString(Sjis(u8"色 Aa"))) + IconSize + 24,
            std::max(metrics.height(), IconSize) + 12 };
    }
    int height = 8;
    int width = 0;
    for (const SampleLine& line : FullLines) {
        const QFontMetrics metrics(SampleFont(font(), line.points, line.bold));
        height += metrics.height() + 4;
        width = std::max(width, metrics.horizontalAdvance(SampleText()));
    }
    const QFontMetrics captions(font());
    return { width + captions.horizontalAdvance(ToQString(Sjis(u8"14pt 太字"))) + IconSize + 48,
        std::max(height, IconSize + 16) };
}

void PairSample::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    // A mid grey edge marks where the background ends on a window of the same colour.
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(m_text);
    const QRect inner = rect().adjusted(8, 4, -8, -4);

    if (m_kind == Kind::Compact) {
        painter.setFont(SampleFont(font(), 14, true));
        const QRect textArea = inner.adjusted(0, 0, -(IconSize + 8), 0);
        painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, ToQString(Sjis(u8"色 Aa")));
        DrawIcon(painter, { inner.right() - IconSize, inner.center().y() - IconSize / 2 }, m_text);
        return;
    }

    const QFontMetrics captions(font());
    const int captionWidth = captions.horizontalAdvance(ToQString(Sjis(u8"14pt 太字"))) + 12;
    int top = inner.top();
    for (const SampleLine& line : FullLines) {
        const QFont sample = SampleFont(font(), line.points, line.bold);
        const int height = QFontMetrics(sample).height();
        painter.setFont(font());
        painter.drawText(QRect(inner.left(), top, captionWidth, height),
            Qt::AlignLeft | Qt::AlignVCenter, ToQString(Sjis(line.caption)));
        painter.setFont(sample);
        painter.drawText(
            QRect(inner.left() + captionWidth, top, inner.width() - captionWidth, height),
            Qt::AlignLeft | Qt::AlignVCenter, SampleText());
        top += height + 4;
    }
    DrawIcon(painter, { inner.right() - IconSize, inner.top() + 4 }, m_text);
}

#include "ui/pick/loupe.h"

#include <algorithm>
#include <array>

#include <QFontMetrics>
#include <QPainter>

#include "colour/named_colors.h"
#include "colour/nearest_colour.h"
#include "platform/codepage.h"
#include "ui/text.h"

namespace {

// About this many logical pixels square, whatever the zoom.
constexpr int kSquare = 176;
constexpr std::array kCells { 4, 6, 8, 10, 12, 16, 22, 30 };
constexpr int kPadding = 6;
constexpr int kChip = 14;
// Grid lines only where a cell is large enough for them to leave the colour visible.
constexpr int kGridFrom = 6;

QStringList TextLines(const LoupeContent& content)
{
    const Rgb colour = content.colour;
    const QString code = QStringLiteral("#%1%2%3")
                             .arg(colour.red, 2, 16, QLatin1Char('0'))
                             .arg(colour.green, 2, 16, QLatin1Char('0'))
                             .arg(colour.blue, 2, 16, QLatin1Char('0'))
                             .toUpper();
    const NamedColor& named = NamedColorTable[NearestNamedColor(colour)];
    QStringList lines { code + QStringLiteral("  ") + ToQString(named.name),
        ToQString(Sjis(u8"取得範囲 %1×%1（1・3・5キーで切り替え）")).arg(content.sample),
        QStringLiteral("%1, %2").arg(content.point.x()).arg(content.point.y()) };
    if (!content.ownSpaceText.isEmpty())
        lines.append(content.ownSpaceText);
    return lines;
}

} // namespace

int NextLoupeCell(int cell, int steps)
{
    auto at = std::lower_bound(kCells.begin(), kCells.end(), cell);
    const long index = std::clamp<long>((at - kCells.begin()) + steps, 0, kCells.size() - 1);
    return kCells[static_cast<std::size_t>(index)];
}

int LoupeSide(int cell)
{
    return (kSquare / std::max(cell, 1)) | 1;
}

QSize LoupeSize(const LoupeContent& content, const QFontMetrics& metrics)
{
    const int square = LoupeSide(content.cell) * content.cell;
    int width = square;
    for (const QString& line : TextLines(content))
        width = std::max(width, metrics.horizontalAdvance(line) + kChip + kPadding);
    const int text = static_cast<int>(TextLines(content).size()) * metrics.height();
    return { width + 2 * kPadding, square + text + 3 * kPadding };
}

void PaintLoupe(QPainter& painter, QPoint topLeft, const LoupeContent& content)
{
    const QSize size = LoupeSize(content, painter.fontMetrics());
    const QRect box(topLeft, size);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, QColor(32, 32, 32));
    painter.setPen(QColor(240, 240, 240));
    painter.drawRect(box.adjusted(0, 0, -1, -1));

    // The square of source pixels: cells outside the source are left grey.
    const int side = LoupeSide(content.cell);
    const int cell = content.cell;
    const QPoint square = topLeft + QPoint(kPadding, kPadding);
    const QRect wanted(content.point - QPoint(side / 2, side / 2), QSize(side, side));
    painter.fillRect(QRect(square, QSize(side * cell, side * cell)), QColor(96, 96, 96));
    const QRect shown = wanted.intersected(content.image->rect());
    if (!shown.isEmpty()) {
        const QPoint offset = (shown.topLeft() - wanted.topLeft()) * cell;
        painter.drawImage(QRect(square + offset, shown.size() * cell), *content.image, shown);
    }
    if (cell >= kGridFrom) {
        painter.setPen(QColor(128, 128, 128, 110));
        for (int i = 0; i <= side; ++i) {
            painter.drawLine(square + QPoint(i * cell, 0), square + QPoint(i * cell, side * cell));
            painter.drawLine(square + QPoint(0, i * cell), square + QPoint(side * cell, i * cell));
        }
    }
    // The centre pixel, and the sample round it, framed black and white so either shows on any
    // colour.
    const auto frame = [&](int count) {
        const QRect around(square + QPoint((side - count) / 2 * cell, (side - count) / 2 * cell),
            QSize(count * cell, count * cell));
        painter.setPen(Qt::black);
        painter.drawRect(around.adjusted(-2, -2, 1, 1));
        painter.setPen(Qt::white);
        painter.drawRect(around.adjusted(-1, -1, 0, 0));
    };
    frame(1);
    if (content.sample > 1)
        frame(content.sample);

    // The colour that would be taken, its code, the nearest name, the sample size and where.
    const QFontMetrics metrics = painter.fontMetrics();
    int y = square.y() + side * cell + kPadding;
    const QColor chip(content.colour.red, content.colour.green, content.colour.blue);
    painter.fillRect(QRect(square.x(), y + (metrics.height() - kChip) / 2, kChip, kChip), chip);
    painter.setPen(QColor(240, 240, 240));
    bool first = true;
    for (const QString& line : TextLines(content)) {
        const int x = square.x() + (first ? kChip + kPadding : 0);
        painter.drawText(QPoint(x, y + metrics.ascent()), line);
        y += metrics.height();
        first = false;
    }
    painter.restore();
}

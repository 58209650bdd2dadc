#include "ui/pick/pick_sample.h"

#include <algorithm>

Rgb SampleAverage(const QImage& image, QPoint point, int size)
{
    const int reach = std::max(size, 1) / 2;
    const int left = std::max(point.x() - reach, 0);
    const int right = std::min(point.x() + reach, image.width() - 1);
    const int top = std::max(point.y() - reach, 0);
    const int bottom = std::min(point.y() + reach, image.height() - 1);
    long red = 0, green = 0, blue = 0, count = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
            ++count;
        }
    }
    if (count == 0)
        return {};
    // Rounded half up: the sum plus half the count, divided.
    const auto average = [count](long sum) {
        return static_cast<int>((2 * sum + count) / (2 * count));
    };
    return { average(red), average(green), average(blue) };
}

#pragma once

#include <QImage>
#include <QPoint>

#include "colour/rgb.h"

/// The colour a pick takes at point of image: the average of the 8-bit components of a square of
/// size by size pixels (1, 3 or 5) centred on point, each rounded to the nearest whole value.
/// Pixels of the square outside the image are left out of the average. point must lie in image.
Rgb SampleAverage(const QImage& image, QPoint point, int size);

#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include "colour/rgb.h"

class QFontMetrics;
class QPainter;

/// What the loupe shows: a square of source pixels round point magnified, cell logical pixels to
/// one source pixel, the centre pixel and the sample framed, and below it the colour that would
/// be taken, its code and the nearest name of the colour list.
struct LoupeContent
{
    const QImage* image = nullptr; ///< the source's pixels
    QPoint point; ///< the pixel at the centre, in image coordinates
    int cell = 10; ///< logical pixels per source pixel
    int sample = 1; ///< the sample's side: 1, 3 or 5
    Rgb colour; ///< the colour that would be taken
    QString ownSpaceText; ///< the pixel in the source's own space; empty when there is none
};

/// The zoom steps the wheel goes through, in logical pixels per source pixel.
int NextLoupeCell(int cell, int steps);

/// Source pixels on each side of the loupe's square at that zoom (always odd).
int LoupeSide(int cell);

/// The loupe's size in logical pixels for content drawn with fonts of metrics.
QSize LoupeSize(const LoupeContent& content, const QFontMetrics& metrics);

/// Paints the loupe with its top left corner at topLeft.
void PaintLoupe(QPainter& painter, QPoint topLeft, const LoupeContent& content);

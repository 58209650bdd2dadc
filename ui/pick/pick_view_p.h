#pragma once

// Testing header of the picking view: included only by pick_view.cpp, its tests and its benchmark.

#include <QPoint>
#include <QPointF>
#include <QRect>

#include "ui/pick/loupe.h"

class QImage;
class QPainter;

/// How a part of the frame lies in one of the view's windows: the frame's pixels of source are
/// drawn from offset (logical pixels of the window), pixelsPerUnit frame pixels to one logical
/// pixel (the screen's scale for a screen's frame, so that one frame pixel is one device pixel).
struct CanvasLayout
{
    QRect source;
    QPointF offset;
    double pixelsPerUnit = 1;

    /// The frame pixel under a logical position of the window, held inside source.
    QPoint FramePixelAt(QPointF position) const;
    /// The logical position of the centre of a frame pixel.
    QPointF CentreOf(QPoint pixel) const;
};

/// Paints the dirty part of one of the view's windows: the frame as layout places it, and the
/// loupe at loupeAt when one is given. What a window paints for each move of the pointer.
void PaintPickCanvas(QPainter& painter, const QRect& dirty, const CanvasLayout& layout,
    const QImage& frame, const LoupeContent* loupe, QPoint loupeAt);

/// The point after an arrow key: moved by step pixels in the key's direction, held inside frame.
QPoint Nudged(QPoint point, int key, bool shift, const QRect& frame);

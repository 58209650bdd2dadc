#pragma once

#include <optional>
#include <string>

#include <QImage>
#include <QPoint>
#include <QString>

#include "colour/colour_spaces.h"

class QByteArray;
class QIODevice;

/// An image made ready to pick from: what it shows on an sRGB screen, and, where its embedded
/// colour profile names one of CSS's RGB spaces other than sRGB, its own pixels in that space.
struct LoadedImage
{
    /// 8-bit sRGB (QImage::Format_RGB32), colours outside sRGB brought in by CSS Color 4's gamut
    /// mapping; null when the image could not be had.
    QImage shown;
    /// The decoded pixels in their own space, when that space is own; else null.
    QImage own;
    std::optional<RgbSpace> space;
    /// Why there is no image (CP932), when shown is null.
    std::string error;
};

/// The largest image accepted, in megabytes of decoded pixels: anything larger is refused before
/// it is decoded.
inline constexpr int LargestImageMegabytes = 1024;

/// Reads an image in any format the installed Qt reads, from a file (a path as the file system
/// names it) or from data (a dropped or pasted image).
LoadedImage LoadImageFile(const QString& path);
LoadedImage LoadImageData(const QByteArray& data);

/// Makes a decoded image (the clipboard's, say) ready to pick from as the loaders do.
LoadedImage PrepareImage(QImage image);

/// The pixel at point in its own space as CSS writes it, "color(display-p3 1 0.5 0)"; empty
/// where the image has no own space or point lies outside it.
QString OwnSpaceText(const LoadedImage& image, QPoint point);

#include "ui/pick/image_load.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QImageReader>

#include "colour/gamut_map.h"
#include "platform/codepage.h"
#include "ui/text.h"

namespace {

// The CSS space of a colour profile, when it is one CSS names and not plain sRGB.
std::optional<RgbSpace> OwnSpaceOf(const QColorSpace& space)
{
    if (!space.isValid())
        return std::nullopt;
    const auto transfer = space.transferFunction();
    const auto gammaNear = [&space](
                               float gamma) { return std::abs(space.gamma() - gamma) < 0.01f; };
    switch (space.primaries()) {
    case QColorSpace::Primaries::SRgb:
        if (transfer == QColorSpace::TransferFunction::Linear)
            return RgbSpace::SrgbLinear;
        return std::nullopt;
    case QColorSpace::Primaries::DciP3D65:
        if (transfer == QColorSpace::TransferFunction::SRgb)
            return RgbSpace::DisplayP3;
        return std::nullopt;
    case QColorSpace::Primaries::AdobeRgb:
        if (transfer == QColorSpace::TransferFunction::Gamma && gammaNear(2.2f))
            return RgbSpace::A98Rgb;
        return std::nullopt;
    case QColorSpace::Primaries::ProPhotoRgb:
        // Read back from a profile, ProPhoto's curve (a power with a straight foot) is a table.
        if (space == QColorSpace(QColorSpace::ProPhotoRgb))
            return RgbSpace::ProphotoRgb;
        return std::nullopt;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    case QColorSpace::Primaries::Bt2020:
        if (transfer == QColorSpace::TransferFunction::Bt2020)
            return RgbSpace::Rec2020;
        return std::nullopt;
#endif
    default:
        return std::nullopt;
    }
}

// sRGB, or the gamma of 1/2.2 with sRGB's primaries that files wrote for sRGB before it had a
// name of its own (as PNG's gAMA and cHRM chunks, which image editors still write): shown as
// their numbers say, as browsers and libpng take them.
bool IsSrgb(const QColorSpace& space)
{
    if (space == QColorSpace(QColorSpace::SRgb))
        return true;
    if (space.transferFunction() != QColorSpace::TransferFunction::Gamma
        || std::abs(space.gamma() - 2.2f) >= 0.01f)
        return false;
    // The chunks hold the primaries to five decimals: the same primaries are those that carry
    // every corner of the cube to within a step of itself.
    const QColorTransform toGamma22 = space.transformationToColorSpace(
        QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma, 2.2f));
    for (const QRgb corner : { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0),
             qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(255, 255, 255) }) {
        const QRgb mapped = toGamma22.map(corner);
        if (std::abs(qRed(mapped) - qRed(corner)) > 1
            || std::abs(qGreen(mapped) - qGreen(corner)) > 1
            || std::abs(qBlue(mapped) - qBlue(corner)) > 1)
            return false;
    }
    return true;
}

QRgb MappedPixel(RgbSpace space, const Components& own)
{
    const MappedColour mapped =
        MapSrgbToGamut(RgbOfXyzD65(RgbSpace::Srgb, XyzD65OfRgb(space, own)));
    return qRgb(mapped.rgb.red, mapped.rgb.green, mapped.rgb.blue);
}

// Each distinct colour of the image is mapped once: a photo has far fewer colours than pixels,
// and the mapping's bisection costs more than a look-up.
QImage ShownOfEightBit(const QImage& own, RgbSpace space)
{
    // One entry per 24-bit colour, 0 while not yet worked out (a worked-out entry has its alpha
    // byte set). Pages the image never touches are never made.
    const std::unique_ptr<QRgb[], decltype(&std::free)> known(
        static_cast<QRgb*>(std::calloc(std::size_t(1) << 24, sizeof(QRgb))), &std::free);
    QImage shown(own.size(), QImage::Format_RGB32);
    if (!known || shown.isNull())
        return {};
    for (int y = 0; y < own.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(own.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < own.width(); ++x) {
            const QRgb key = in[x] & 0xFFFFFF;
            QRgb& entry = known[key];
            if (entry == 0)
                entry = MappedPixel(
                    space, { qRed(key) / 255.0, qGreen(key) / 255.0, qBlue(key) / 255.0 });
            out[x] = entry;
        }
    }
    return shown;
}

QImage ShownOfSixteenBit(const QImage& own, RgbSpace space)
{
    std::unordered_map<std::uint64_t, QRgb> known;
    QImage shown(own.size(), QImage::Format_RGB32);
    if (shown.isNull())
        return {};
    for (int y = 0; y < own.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgba64*>(own.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < own.width(); ++x) {
            const QRgba64 p = in[x];
            const std::uint64_t key =
                std::uint64_t(p.red()) << 32 | std::uint64_t(p.green()) << 16 | p.blue();
            auto [at, added] = known.try_emplace(key, 0);
            if (added)
                at->second = MappedPixel(
                    space, { p.red() / 65535.0, p.green() / 65535.0, p.blue() / 65535.0 });
            out[x] = at->second;
        }
    }
    return shown;
}

bool IsDeep(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA16FPx4_Premultiplied:
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_RGBA32FPx4:
    case QImage::Format_RGBA32FPx4_Premultiplied:
        return true;
    default:
        return false;
    }
}

LoadedImage Refused(const char8_t* reason)
{
    LoadedImage refused;
    refused.error = Sjis(reason);
    return refused;
}

double BytesOf(QSize size, int perPixel)
{
    return double(size.width()) * size.height() * perPixel;
}

LoadedImage Read(QImageReader& reader)
{
    // The size is checked before anything is decoded, so that a file that claims to be huge
    // costs nothing; Qt's own allocation limit backs this up for formats that give no size.
    QImageReader::setAllocationLimit(LargestImageMegabytes);
    const QSize size = reader.size();
    if (size.isValid()
        && double(size.width()) * size.height() * 8 > LargestImageMegabytes * 1048576.0) {
        LoadedImage refused;
        refused.error = Sjis(u8"画像が大きすぎます（") + std::to_string(size.width()) + Sjis(u8"×")
            + std::to_string(size.height()) + Sjis(u8" ピクセル）");
        return refused;
    }
    QImage image;
    if (reader.read(&image) && !image.isNull())
        return PrepareImage(std::move(image));
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
        return Refused(u8"ファイルがありません");
    case QImageReader::UnsupportedFormatError:
        return Refused(u8"この形式の画像は読み取れません");
    case QImageReader::DeviceError:
        return Refused(u8"ファイルを読み取れません");
    default:
        // Deeper than 8 bits a channel, an image below the first check may still pass Qt's limit.
        if (size.isValid() && BytesOf(size, 8) > LargestImageMegabytes * 1048576.0)
            return Refused(u8"画像が大きすぎます");
        return Refused(u8"画像のデータが壊れているか、途中で切れています");
    }
}

QString Component(double value)
{
    QString text = QString::number(value, 'f', 4);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text;
}

const char* CssName(RgbSpace space)
{
    switch (space) {
    case RgbSpace::Srgb:
        return "srgb";
    case RgbSpace::SrgbLinear:
        return "srgb-linear";
    case RgbSpace::DisplayP3:
        return "display-p3";
    case RgbSpace::A98Rgb:
        return "a98-rgb";
    case RgbSpace::ProphotoRgb:
        return "prophoto-rgb";
    case RgbSpace::Rec2020:
        return "rec2020";
    }
    return "srgb";
}

} // namespace

LoadedImage PrepareImage(QImage image)
{
    LoadedImage loaded;
    if (image.isNull()) {
        loaded.error = Sjis(u8"画像がありません");
        return loaded;
    }
    // Converted in place where it can be: a 24-megapixel photo is 96 MB a copy.
    const QColorSpace space = image.colorSpace();
    loaded.space = OwnSpaceOf(space);
    if (loaded.space) {
        image.convertTo(IsDeep(image.format()) ? QImage::Format_RGBX64 : QImage::Format_RGB32);
        loaded.own = std::move(image);
        loaded.shown = loaded.own.format() == QImage::Format_RGBX64
            ? ShownOfSixteenBit(loaded.own, *loaded.space)
            : ShownOfEightBit(loaded.own, *loaded.space);
    } else {
        // A profile CSS has no name for: Qt's own conversion, which clips at sRGB's edges.
        if (space.isValid() && !IsSrgb(space))
            image.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
        image.convertTo(QImage::Format_RGB32);
        loaded.shown = std::move(image);
    }
    if (loaded.shown.isNull()) {
        loaded = {};
        loaded.error = Sjis(u8"画像が大きすぎます");
        return loaded;
    }
    loaded.shown.setColorSpace(QColorSpace(QColorSpace::SRgb));
    return loaded;
}

LoadedImage LoadImageFile(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return Read(reader);
}

LoadedImage LoadImageData(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return Read(reader);
}

QString OwnSpaceText(const LoadedImage& image, QPoint point)
{
    if (!image.space || !image.own.valid(point))
        return {};
    double r = 0, g = 0, b = 0;
    if (image.own.format() == QImage::Format_RGBX64) {
        const QRgba64 p =
            reinterpret_cast<const QRgba64*>(image.own.constScanLine(point.y()))[point.x()];
        r = p.red() / 65535.0;
        g = p.green() / 65535.0;
        b = p.blue() / 65535.0;
    } else {
        const QRgb p = image.own.pixel(point);
        r = qRed(p) / 255.0;
        g = qGreen(p) / 255.0;
        b = qBlue(p) / 255.0;
    }
    return QStringLiteral("color(%1 %2 %3 %4)")
        .arg(QLatin1String(CssName(*image.space)), Component(r), Component(g), Component(b));
}

#include "ui/pictures.h"

#include <QPainter>
#include <QPixmap>

#include <cstdlib>

#include <iterator>

#include "decoded_pictures.h"

namespace {

// 16-colour pictures. In each button picture the left 16x16 image is the normal one and the
// right one the grey image of the disabled state; olive marks the transparent pixels. The same
// motifs drawn at twice the size (pictures/*@2x.png, decoded when the program is built) are for
// screens scaled to 200%.

const char* const ExitPicture[] = {
    "32 16 6 1",
    ". c #000000",
    "m c #800000",
    "o c #808000",
    "# c #808080",
    "y c #FFFF00",
    "w c #FFFFFF",
    "oooooooooooooooooooooooooooooooo",
    "ooooo.........ooooooo#########oo",
    "ooo...yyyyyyy.ooooo###wwwwwww#wo",
    "o..mm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.ymm.yyyyyyy.ooo#w###woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mmm.yyyyyyy.ooo#####woooooo#wo",
    "o.mm...........oo##############o",
    "o...ooooooooooooo###wwwwwwwwwwww"
};

const char* const ColorDialogPicture[] = {
    "32 16 8 1",
    ". c #000000",
    "g c #008000",
    "o c #808000",
    "# c #808080",
    "r c #FF0000",
    "y c #FFFF00",
    "b c #0000FF",
    "w c #FFFFFF",
    "oooooooooooooooooooooooooooooooo",
    "ooooo......oooooooooo######ooooo",
    "ooo..gggggg..oooooo##########ooo",
    "oo.gggggggggg.oooo############oo",
    "oo.rggggggggb.oooo############wo",
    "o.rrrggggggbbb.oo##############o",
    "o.rrrrggggbbbb.oo##############w",
    "o.rrrrrggbbbbb.oo##############w",
    "o.rrrrryybbbbb.oo######ww######w",
    "o.rrrryyyybbbb.oo#####wwoo#####w",
    "o.rrryyyyyybbb.oo####wwoooo####w",
    "oo.ryyyyyyyyb.oooo##wwoooooo##ww",
    "oo.yyyyyyyyyy.oooo#wwoooooooo#wo",
    "ooo..yyyyyy..oooooo##oooooo##owo",
    "ooooo......ooooooooow######owwoo",
    "oooooooooooooooooooooowwwwwwoooo"
};

const char* const HelpPicture[] = {
    "32 16 6 1",
    ". c #000000",
    "o c #808000",
    "# c #808080",
    "r c #FF0000",
    "y c #FFFF00",
    "w c #FFFFFF",
    "oooooooooooooooooooooooooooooooo",
    "ooooo......oooooooooo######ooooo",
    "ooo..yrrrry..oooooo##o####w##ooo",
    "oo.yyrrrrrryy.oooo#ow######ow#oo",
    "oo.yrrryyrrry.oooo#w###ww###o#wo",
    "o.yyrryyyyrryy.oo#ow##wwoo##wo#o",
    "o.yyyyyyyrrryy.oo#woowwoo###wo#w",
    "o.yyyyyyrrryyy.oo#wooooo###wwo#w",
    "o.yyyyyrrryyyy.oo#woooo###wwoo#w",
    "o.yyyyyrryyyyy.oo#woooo##wwooo#w",
    "o.yyyyyrryyyyy.oo#woooo##woooo#w",
    "oo.yyyyyyyyyy.oooo#ooooowwooo#ow",
    "oo.yyyyrryyyy.oooo#wooo##oooo#wo",
    "ooo..yyrryy..oooooo##oo##wo##owo",
    "ooooo......ooooooooow######owwoo",
    "oooooooooooooooooooooowwwwwwoooo"
};

const char* const CopyPicture[] = {
    "32 16 7 1",
    ". c #000000",
    "m c #800000",
    "o c #808000",
    "# c #808080",
    "s c #C0C0C0",
    "r c #FF0000",
    "w c #FFFFFF",
    "oo.......ooooooooo#######ooooooo",
    "oo.wwwww.ooooooooo#wwwww#woooooo",
    "oo.w###w.rrrrroooo#w###o######oo",
    "oo.wwwww.rrrrroooo#wowww######wo",
    "oo.w###w.ooorroooo#w###o#www##wo",
    "oo.wwwww.ooorroooo#wowww#woo##wo",
    "oo........oorroooo########oo##wo",
    "ooooo..ss...rr..oooww##ww#######",
    "ooooo.....rrrrrrooooo###########",
    "ooooo.mwwwwrrrr.ooooo##wwww#####",
    "ooooo.mwwwwwrrm.ooooo##woooo####",
    "ooooo.mw#####wm.ooooo##w#####w##",
    "ooooo.mwwwwwwwm.ooooo##wowwwww##",
    "ooooo.mw#####wm.ooooo##w#####o##",
    "ooooo.mwwwwwwwm.ooooo##wowwwww##",
    "ooooo...........ooooo###########"
};

const DecodedPicture& DoubleSizePicture(ButtonPicture which)
{
    switch (which) {
    case ButtonPicture::Exit:
        return Decoded::ExitLarge;
    case ButtonPicture::ColorDialog:
        return Decoded::ColorDialogLarge;
    case ButtonPicture::Help:
        return Decoded::HelpLarge;
    case ButtonPicture::Copy:
        break;
    }
    return Decoded::CopyLarge;
}

// The program icon's pictures, smallest first: every size of ProgramIconSizes up to
// WindowIconMaxSize.
constexpr const DecodedPicture* ProgramIconPictures[] = { &Decoded::ProgramIcon16,
    &Decoded::ProgramIcon24, &Decoded::ProgramIcon32, &Decoded::ProgramIcon48,
    &Decoded::ProgramIcon64 };

constexpr bool ProgramIconPicturesMatchSizes()
{
    std::size_t count = 0;
    for (int size : ProgramIconSizes) {
        if (size > WindowIconMaxSize) {
            break;
        }
        if (count == std::size(ProgramIconPictures) || ProgramIconPictures[count]->width != size
            || ProgramIconPictures[count]->height != size) {
            return false;
        }
        ++count;
    }
    return count == std::size(ProgramIconPictures);
}
static_assert(ProgramIconPicturesMatchSizes(),
    "the window icon's pictures are not the program icon's sizes up to WindowIconMaxSize");

// The picture as a pixmap. The image only wraps the decoded pixels; the pixmap premultiplies
// them into a copy of its own, as for a picture read from its file.
QPixmap ToPixmap(const DecodedPicture& picture)
{
    return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(picture.pixels), picture.width,
        picture.height, picture.width * qsizetype(sizeof(quint32)), QImage::Format_ARGB32));
}

const char* const* PictureText(ButtonPicture which)
{
    switch (which) {
    case ButtonPicture::Exit:
        return ExitPicture;
    case ButtonPicture::ColorDialog:
        return ColorDialogPicture;
    case ButtonPicture::Help:
        return HelpPicture;
    case ButtonPicture::Copy:
        break;
    }
    return CopyPicture;
}

// A face darker than mid-grey; the pictures were drawn for a light one.
bool IsDark(const QColor& face)
{
    return qGray(face.rgb()) < 128;
}

// The picture over a halo, with `width` pixels of room added on every side for it: every
// transparent or translucent pixel within `width` pixels of a pixel that stands out from the face
// by less than half the grey scale takes the halo colour beneath the picture.
QImage WithHalo(const QImage& picture, const QColor& face, const QColor& halo, int width)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const int faceGrey = qGray(face.rgb());
    auto hidden = [&](int x, int y) {
        const QRgb pixel = source.pixel(x, y);
        return qAlpha(pixel) >= 128 && std::abs(qGray(pixel) - faceGrey) < 128;
    };
    QImage result(source.width() + 2 * width, source.height() + 2 * width,
        QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    const QRgb haloPixel = halo.rgb() | 0xFF000000u;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (!hidden(x, y)) {
                continue;
            }
            // In the result, the pixel lies at (x + width, y + width).
            for (int dy = 0; dy <= 2 * width; ++dy) {
                for (int dx = 0; dx <= 2 * width; ++dx) {
                    result.setPixel(x + dx, y + dy, haloPixel);
                }
            }
        }
    }
    QPainter painter(&result);
    painter.drawImage(width, width, source);
    painter.end();
    return result;
}

} // namespace

QImage ButtonPictureImage(ButtonPicture which)
{
    QImage image = QImage(PictureText(which)).convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

QIcon ButtonPictureIcon(ButtonPicture which)
{
    const QImage image = ButtonPictureImage(which);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, 16, 16)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(image.copy(16, 0, 16, 16)), QIcon::Disabled);
    QPixmap large = ToPixmap(DoubleSizePicture(which));
    large.setDevicePixelRatio(2);
    icon.addPixmap(large, QIcon::Normal);
    return icon;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const DecodedPicture* picture : ProgramIconPictures) {
        icon.addPixmap(ToPixmap(*picture));
    }
    return icon;
}

QIcon ButtonPictureIcon(ButtonPicture which, const QColor& face, const QColor& halo)
{
    if (!IsDark(face)) {
        return ButtonPictureIcon(which);
    }
    const QImage image = ButtonPictureImage(which);
    QIcon icon;
    icon.addPixmap(
        QPixmap::fromImage(WithHalo(image.copy(0, 0, 16, 16), face, halo, 1)), QIcon::Normal);
    icon.addPixmap(
        QPixmap::fromImage(WithHalo(image.copy(16, 0, 16, 16), face, halo, 1)), QIcon::Disabled);
    QPixmap large =
        QPixmap::fromImage(WithHalo(ToPixmap(DoubleSizePicture(which)).toImage(), face, halo, 2));
    large.setDevicePixelRatio(2);
    icon.addPixmap(large, QIcon::Normal);
    return icon;
}

QSize ButtonPictureSize(const QColor& face)
{
    return IsDark(face) ? QSize(18, 18) : QSize(16, 16);
}

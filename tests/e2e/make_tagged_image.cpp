// Writes an 8×8 PNG of one colour at 16 bits a channel with an embedded colour profile, for the
// end-to-end tests: make_tagged_image FILE SPACE RED GREEN BLUE, SPACE one of display-p3, a98-rgb
// and prophoto-rgb, each component 0 to 65535.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QColorSpace>
#include <QImage>

int main(int argc, char* argv[])
{
    if (argc != 6) {
        std::fputs("usage: make_tagged_image FILE SPACE RED GREEN BLUE\n", stderr);
        return 2;
    }
    QColorSpace space;
    if (std::strcmp(argv[2], "display-p3") == 0)
        space = QColorSpace(QColorSpace::DisplayP3);
    else if (std::strcmp(argv[2], "a98-rgb") == 0)
        space = QColorSpace(QColorSpace::AdobeRgb);
    else if (std::strcmp(argv[2], "prophoto-rgb") == 0)
        space = QColorSpace(QColorSpace::ProPhotoRgb);
    else
        return 2;
    QImage image(8, 8, QImage::Format_RGBX64);
    image.fill(QColor::fromRgba64(static_cast<quint16>(std::atoi(argv[3])),
        static_cast<quint16>(std::atoi(argv[4])), static_cast<quint16>(std::atoi(argv[5]))));
    image.setColorSpace(space);
    return image.save(QString::fromLocal8Bit(argv[1]), "png") ? 0 : 1;
}

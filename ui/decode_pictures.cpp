// Build-time tool: decodes PNG pictures into a C++ header of plain pixels, so that the program
// makes its pictures straight from memory and starts no image decoder (Qt loads every image
// format plugin the first time it reads any image file).
//
//   decode_pictures <output header> <name>=<picture.png>...
//
// Each picture becomes `constexpr DecodedPicture Decoded::<name>`: its width, its height and its
// pixels row by row as 0xAARRGGBB words, not premultiplied, exactly as QImage reads the file.
// The program hands them to QPixmap, which premultiplies them as it does any picture it reads.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

#include <cctype>
#include <cstdio>

namespace {

bool IsIdentifier(const QByteArray& name)
{
    if (name.isEmpty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) {
        return false;
    }
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) {
            return false;
        }
    }
    return true;
}

int Fail(const QByteArray& message)
{
    std::fprintf(stderr, "decode_pictures: %s\n", message.constData());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: decode_pictures <output header> <name>=<picture.png>...\n");
        return 2;
    }

    QByteArray text =
        "// Pictures decoded from the committed PNG files when the program was built; made by\n"
        "// decode_pictures, not to be edited.\n"
        "#pragma once\n\n"
        "#include <QtGlobal>\n\n"
        "struct DecodedPicture\n{\n"
        "    int width;\n"
        "    int height;\n"
        "    const quint32* pixels; // row by row, 0xAARRGGBB, not premultiplied\n"
        "};\n\n"
        "namespace Decoded {\n";
    for (int i = 2; i < argc; ++i) {
        const QByteArray argument = argv[i];
        const qsizetype equals = argument.indexOf('=');
        const QByteArray name = argument.left(equals);
        if (equals < 0 || !IsIdentifier(name)) {
            return Fail("not <name>=<picture.png>: " + argument);
        }
        const QByteArray path = argument.mid(equals + 1);
        QImageReader reader(QFile::decodeName(path), "png");
        QImage image;
        if (!reader.read(&image)) {
            return Fail(path + ": " + reader.errorString().toLocal8Bit());
        }
        image = image.convertToFormat(QImage::Format_ARGB32);

        text += "\nconstexpr quint32 " + name + "Pixels[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                text += (x % 8 == 0 ? "\n    " : " ");
                text += "0x" + QByteArray::number(line[x], 16).rightJustified(8, '0') + ',';
            }
        }
        text += "\n};\nconstexpr DecodedPicture " + name + " = { "
            + QByteArray::number(image.width()) + ", " + QByteArray::number(image.height()) + ", "
            + name + "Pixels };\n";
    }
    text += "\n} // namespace Decoded\n";

    // Written in one step, so that an interrupted build leaves no half header behind.
    QSaveFile output(QFile::decodeName(argv[1]));
    if (!output.open(QIODevice::WriteOnly) || output.write(text) != text.size()
        || !output.commit()) {
        return Fail(QByteArray(argv[1]) + ": " + output.errorString().toLocal8Bit());
    }
    return 0;
}

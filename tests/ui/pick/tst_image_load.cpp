// Loading images to pick from: every format the installed Qt reads, colour profiles turned into
// the sRGB colour they mean (with the pixel's own value as CSS writes it), 16-bit files, and files
// that must be refused with a reason rather than crash: huge dimensions, truncated data, no image.

#include <QBuffer>
#include <QtEndian>
#include <QColorSpace>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/codepage.h"
#include "ui/pick/image_load.h"
#include "ui/text.h"

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString Hex(QRgb rgb)
{
    return QColor(rgb).name(QColor::HexRgb).toUpper();
}

// A 4×4 picture of four flat quarters, so that lossy formats keep each quarter's colour.
QImage Quarters()
{
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb colours[4] = { qRgb(255, 128, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
        qRgb(32, 64, 96) };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, colours[(y / 4) * 2 + x / 4]);
    return image;
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    if (!writer.write(image))
        return {};
    return bytes;
}

// One pixel in a space of its own, at 16 bits a channel or at 8.
QImage Tagged(QColorSpace::NamedColorSpace space, double r, double g, double b, bool deep)
{
    QImage image(2, 1, deep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    if (deep)
        image.fill(QColor::fromRgba64(qRound(r * 65535), qRound(g * 65535), qRound(b * 65535)));
    else
        image.fill(QColor(qRound(r * 255), qRound(g * 255), qRound(b * 255)));
    image.setColorSpace(QColorSpace(space));
    return image;
}

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// A real PNG whose header was changed to claim width × height pixels (its checksum made anew).
QByteArray PngClaiming(const QByteArray& png, quint32 width, quint32 height)
{
    QByteArray bytes = png;
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    qToBigEndian(Crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

} // namespace

class TstImageLoad : public QObject
{
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
    void profiles_data();
    void profiles();
    void outOfGamutIsMappedNotClipped();
    void sixteenBitsRoundToTheNearestEightBitValue();
    void refusals_data();
    void refusals();
    void filesAreReadByTheirPath();
};

void TstImageLoad::formats_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("tolerance");
    for (const char* format : { "png", "bmp", "jpeg", "webp", "tiff", "ppm" }) {
        QVERIFY2(QImageWriter::supportedImageFormats().contains(format),
            QByteArray("Qt cannot write ") + format
                + " here: is qt6-image-formats-plugins installed?");
        QTest::newRow(format) << Encoded(Quarters(),
            format) << (QByteArray(format) == "jpeg" || QByteArray(format) == "webp" ? 6 : 0);
    }
    // Qt writes no GIF: a 2×1 picture, orange and blue, as ImageMagick wrote it.
    QTest::newRow("gif") << QByteArray::fromHex("47494638396102000100f00000ff80000000ff21f904000000"
                                                "00002c0000000002000100000202440a003b")
                         << 0;
}

// The colour taken from each quarter is the one drawn there (lossy formats within a few steps).
void TstImageLoad::formats()
{
    QFETCH(QByteArray, data);
    QFETCH(int, tolerance);
    const LoadedImage loaded = LoadImageData(data);
    QVERIFY2(loaded.error.empty(), Cp932ToUtf8(loaded.error).c_str());
    QCOMPARE(loaded.shown.format(), QImage::Format_RGB32);
    QVERIFY(loaded.own.isNull());
    QVERIFY(!loaded.space);
    const bool gif = loaded.shown.size() == QSize(2, 1);
    const QList<QPair<QPoint, QRgb>> expected = gif
        ? QList<QPair<QPoint, QRgb>> { { { 0, 0 }, qRgb(255, 128, 0) },
              { { 1, 0 }, qRgb(0, 0, 255) } }
        : QList<QPair<QPoint, QRgb>> { { { 1, 1 }, qRgb(255, 128, 0) },
              { { 6, 1 }, qRgb(0, 0, 255) }, { { 1, 6 }, qRgb(255, 255, 255) },
              { { 6, 6 }, qRgb(32, 64, 96) } };
    for (const auto& [point, colour] : expected) {
        const QRgb got = loaded.shown.pixel(point);
        QVERIFY2(std::abs(qRed(got) - qRed(colour)) <= tolerance
                && std::abs(qGreen(got) - qGreen(colour)) <= tolerance
                && std::abs(qBlue(got) - qBlue(colour)) <= tolerance,
            qPrintable(Hex(got) + " for " + Hex(colour)));
    }
}

void TstImageLoad::profiles_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QString>("shown"); // the sRGB colour, within one step
    QTest::addColumn<QString>("own"); // the pixel in its own space; empty: none

    // sRGB red as the wider spaces write it (published conversions), at 16 and at 8 bits.
    QTest::newRow("display-p3, 16 bits")
        << Tagged(QColorSpace::DisplayP3, 0.9175, 0.2003, 0.1386, true) << "#FF0000"
        << "color(display-p3 0.9175 0.2003 0.1386)";
    QTest::newRow("display-p3, 8 bits")
        << Tagged(QColorSpace::DisplayP3, 234 / 255.0, 51 / 255.0, 35 / 255.0, false) << "#FF0000"
        << "color(display-p3 0.9176 0.2 0.1373)";
    QTest::newRow("a98-rgb") << Tagged(QColorSpace::AdobeRgb, 0.8594, 0, 0, true) << "#FF0000"
                             << "color(a98-rgb 0.8594 0 0)";
    QTest::newRow("prophoto-rgb, grey")
        << Tagged(QColorSpace::ProPhotoRgb, 1, 1, 1, false) << "#FFFFFF"
        << "color(prophoto-rgb 1 1 1)";
    // The same transfer and white: a grey keeps its numbers.
    QTest::newRow("display-p3 grey")
        << Tagged(QColorSpace::DisplayP3, 128 / 255.0, 128 / 255.0, 128 / 255.0, false) << "#808080"
        << "color(display-p3 0.502 0.502 0.502)";
    QTest::newRow("srgb-linear") << Tagged(QColorSpace::SRgbLinear, 0.2158605, 0.2158605, 0.2158605,
        true) << "#808080"
                                 << "color(srgb-linear 0.2159 0.2159 0.2159)";
    // sRGB itself, or no profile: the numbers are the colour.
    QTest::newRow("srgb") << Tagged(QColorSpace::SRgb, 1, 0.5, 0, false) << "#FF8000"
                          << "";
}

// Each tagged image is written as a PNG with its profile and read back, as a file from another
// program would come.
void TstImageLoad::profiles()
{
    QFETCH(QImage, image);
    QFETCH(QString, shown);
    QFETCH(QString, own);
    const LoadedImage loaded = LoadImageData(Encoded(image, "png"));
    QVERIFY2(loaded.error.empty(), Cp932ToUtf8(loaded.error).c_str());
    const QRgb got = loaded.shown.pixel(1, 0);
    const QRgb want = QColor::fromString(shown).rgb();
    QVERIFY2(std::abs(qRed(got) - qRed(want)) <= 1 && std::abs(qGreen(got) - qGreen(want)) <= 1
            && std::abs(qBlue(got) - qBlue(want)) <= 1,
        qPrintable(Hex(got)));
    QCOMPARE(OwnSpaceText(loaded, { 1, 0 }), own);
    QCOMPARE(OwnSpaceText(loaded, { 2, 0 }), QString());
}

// A colour outside sRGB is brought in by reducing its chroma, not by clipping each channel.
void TstImageLoad::outOfGamutIsMappedNotClipped()
{
    // Display P3's green is darker (OKLCH lightness 0.85) than sRGB's (0.87): clipping would give
    // #00FF00, lighter than the colour meant; mapping keeps its lightness.
    const LoadedImage loaded =
        LoadImageData(Encoded(Tagged(QColorSpace::DisplayP3, 0, 1, 0, false), "png"));
    const QRgb got = loaded.shown.pixel(0, 0);
    QVERIFY2(qGreen(got) < 252 && qGreen(got) > 230 && qRed(got) < 60 && qBlue(got) < 60,
        qPrintable(Hex(got)));
    QCOMPARE(OwnSpaceText(loaded, { 0, 0 }), QStringLiteral("color(display-p3 0 1 0)"));
}

void TstImageLoad::sixteenBitsRoundToTheNearestEightBitValue()
{
    QImage image(3, 1, QImage::Format_RGBX64);
    image.setPixelColor(0, 0, QColor::fromRgba64(0x8080, 0x807F, 0xFFFF));
    image.setPixelColor(1, 0, QColor::fromRgba64(0x0080, 0x0081, 0x017F));
    image.setPixelColor(2, 0, QColor::fromRgba64(0xFF7F, 0xFF80, 0x7FFF));
    const LoadedImage loaded = LoadImageData(Encoded(image, "png"));
    QVERIFY2(loaded.error.empty(), Cp932ToUtf8(loaded.error).c_str());
    QCOMPARE(Hex(loaded.shown.pixel(0, 0)), QStringLiteral("#8080FF"));
    QCOMPARE(Hex(loaded.shown.pixel(1, 0)), QStringLiteral("#000101"));
    QCOMPARE(Hex(loaded.shown.pixel(2, 0)), QStringLiteral("#FFFF7F"));
}

void TstImageLoad::refusals_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("error");

    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noise.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) & 0xFF));
    const QByteArray png = Encoded(noise, "png");
    const QString broken = U("画像のデータが壊れているか、途中で切れています");

    QTest::newRow("huge PNG") << PngClaiming(png, 100000, 100000)
                              << U("画像が大きすぎます（100000×100000 ピクセル）");
    QTest::newRow("truncated PNG") << png.left(png.size() / 2) << broken;
    QTest::newRow("PNG header only") << png.left(40) << broken;
    QTest::newRow("no image") << QByteArray("#FF8000\n") << U("この形式の画像は読み取れません");
    QTest::newRow("empty") << QByteArray() << U("この形式の画像は読み取れません");
}

void TstImageLoad::refusals()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, error);
    const LoadedImage loaded = LoadImageData(data);
    QVERIFY(loaded.shown.isNull());
    QCOMPARE(ToQString(loaded.error), error);
}

void TstImageLoad::filesAreReadByTheirPath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(U("色見本.png"));
    QVERIFY(Quarters().save(path));
    const LoadedImage loaded = LoadImageFile(path);
    QCOMPARE(Hex(loaded.shown.pixel(6, 6)), QStringLiteral("#204060"));
    QCOMPARE(
        ToQString(LoadImageFile(dir.filePath("missing.png")).error), U("ファイルがありません"));
}

QTEST_MAIN(TstImageLoad)
#include "tst_image_load.moc"

// The pictures of the picture buttons at both sizes and the program icon at every size: the same
// pixels as the committed PNG files, made without reading a picture file when the window starts.

#include <QtTest>

#include <QProcess>

#include <cstdio>

#include "ui/pictures.h"
#include "ui/unit1.h"

namespace {

// The committed PNG file's pixels as a pixmap made from the file holds them.
QImage CommittedPicture(const QString& path)
{
    const QImage file(QStringLiteral(TINTORA_SOURCE_DIR "/") + path);
    if (file.isNull()) {
        qWarning("cannot read %s", qPrintable(path));
    }
    return QPixmap::fromImage(file).toImage();
}

// The mapped files of this process that are image format plugins.
QStringList MappedImageFormatPlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return { QStringLiteral("cannot read /proc/self/maps") };
    }
    QStringList plugins;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        if (line.contains("/imageformats/")) {
            plugins += QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        }
    }
    plugins.removeDuplicates();
    return plugins;
}

// Run as a process of its own (nothing before it has read a picture): shows the window and
// prints the image format plugins mapped by then. Then reads a PNG file and fails unless a plugin
// is mapped after all, so that a check that can see nothing does not pass.
int StartWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    {
        TForm1 form;
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            std::puts("the window was never exposed");
            return 1;
        }
        QCoreApplication::processEvents();
        const QStringList plugins = MappedImageFormatPlugins();
        if (!plugins.isEmpty()) {
            std::puts(qPrintable(plugins.join(u'\n')));
            return 1;
        }
    }
    if (CommittedPicture(QStringLiteral("packaging/icons/tintora-16.png")).isNull()
        || MappedImageFormatPlugins().isEmpty()) {
        std::puts("reading a PNG file mapped no image format plugin: the check sees nothing");
        return 2;
    }
    return 0;
}

} // namespace

class TstPictures : public QObject
{
    Q_OBJECT

private slots:
    void buttonPictures_data();
    void buttonPictures();
    void programIcon();
    void startReadsNoPictureFile();
};

void TstPictures::buttonPictures_data()
{
    QTest::addColumn<ButtonPicture>("which");
    QTest::addColumn<QString>("largeFile");
    QTest::addColumn<int>("button");

    QTest::newRow("exit") << ButtonPicture::Exit << "ui/pictures/exit@2x.png" << 1;
    QTest::newRow("colour dialog")
        << ButtonPicture::ColorDialog << "ui/pictures/colordialog@2x.png" << 2;
    QTest::newRow("help") << ButtonPicture::Help << "ui/pictures/help@2x.png" << 3;
    QTest::newRow("copy") << ButtonPicture::Copy << "ui/pictures/copy@2x.png" << 4;
}

void TstPictures::buttonPictures()
{
    QFETCH(ButtonPicture, which);
    QFETCH(QString, largeFile);
    QFETCH(int, button);

    const QImage picture = ButtonPictureImage(which);
    QCOMPARE(picture.size(), QSize(32, 16));
    QCOMPARE(qAlpha(picture.pixel(0, 15)), 0);
    QCOMPARE(qAlpha(picture.pixel(16, 15)), 0);

    TForm1 form;
    const TSpeedButton* const buttons[] = { form.SpeedButton1, form.SpeedButton2, form.SpeedButton3,
        form.SpeedButton4 };
    const QIcon icon = buttons[button - 1]->icon();

    // The small pictures: the left half normal, the right half disabled.
    const QImage normal = icon.pixmap(QSize(16, 16), 1.0).toImage();
    const QImage disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage();
    QCOMPARE(normal, QPixmap::fromImage(picture.copy(0, 0, 16, 16)).toImage());
    QCOMPARE(disabled, QPixmap::fromImage(picture.copy(16, 0, 16, 16)).toImage());

    // At 200% the button draws its own picture at twice the size, the committed PNG's pixels.
    const QPixmap large = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(large.devicePixelRatio(), 2.0);
    QCOMPARE(large.toImage(), CommittedPicture(largeFile));
}

void TstPictures::programIcon()
{
    TForm1 form;
    const QIcon icon = form.windowIcon();
    // Up to 64 pixels: the larger pictures come from the icon theme, never from the window.
    QCOMPARE(icon.availableSizes(),
        QList<QSize>({ { 16, 16 }, { 24, 24 }, { 32, 32 }, { 48, 48 }, { 64, 64 } }));
    for (int size : { 16, 24, 32, 48, 64 }) {
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        const QImage committed =
            CommittedPicture(QStringLiteral("packaging/icons/tintora-%1.png").arg(size));
        QVERIFY2(image == committed, qPrintable(QStringLiteral("%1 pixels").arg(size)));
        // A transparent ground: the corners let the desktop show through.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
    }
    // The motif: red upper left, green upper right, blue lower half.
    const QImage large = icon.pixmap(QSize(64, 64), 1.0).toImage();
    const QColor red = large.pixelColor(15, 15), green = large.pixelColor(47, 15),
                 blue = large.pixelColor(31, 50);
    QVERIFY(red.red() > 200 && red.green() < 50 && red.blue() < 50);
    QVERIFY(green.green() > 150 && green.red() < 50 && green.blue() < 50);
    QVERIFY(blue.blue() > 200 && blue.red() < 50 && blue.green() < 50);
}

void TstPictures::startReadsNoPictureFile()
{
    QProcess start;
    start.setProcessChannelMode(QProcess::MergedChannels);
    start.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--start-window") });
    QVERIFY(start.waitForFinished(60000));
    const QByteArray output = start.readAll();
    QVERIFY2(
        start.exitStatus() == QProcess::NormalExit && start.exitCode() == 0, output.constData());
}

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--start-window") == 0) {
        return StartWindow(argc, argv);
    }
    QApplication app(argc, argv);
    TstPictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pictures.moc"

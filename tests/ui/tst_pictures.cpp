// The pictures of the picture buttons at both sizes and the program icon at every size.

#include <QtTest>

#include "ui/pictures.h"
#include "ui/unit1.h"

class TstPictures : public QObject
{
    Q_OBJECT

private slots:
    void buttonPictures();
    void programIcon();
};

void TstPictures::buttonPictures()
{
    for (ButtonPicture which : { ButtonPicture::Exit, ButtonPicture::ColorDialog,
             ButtonPicture::Help, ButtonPicture::Copy }) {
        const QImage picture = ButtonPictureImage(which);
        QCOMPARE(picture.size(), QSize(32, 16));
        QCOMPARE(qAlpha(picture.pixel(0, 15)), 0);
        QCOMPARE(qAlpha(picture.pixel(16, 15)), 0);

        // At 200% the button draws a picture of its own at twice the size, not the small one
        // blown up.
        const QIcon icon = ButtonPictureIcon(which);
        const QImage normal = icon.pixmap(QSize(16, 16), 1.0).toImage();
        const QImage large = icon.pixmap(QSize(16, 16), 2.0).toImage();
        QCOMPARE(normal.size(), QSize(16, 16));
        QCOMPARE(large.size(), QSize(32, 32));
        QCOMPARE(qAlpha(large.pixel(0, 0)), 0);
        const QImage blownUp = normal.convertToFormat(QImage::Format_ARGB32).scaled(32, 32);
        QVERIFY(large.convertToFormat(QImage::Format_ARGB32) != blownUp);
    }
}

void TstPictures::programIcon()
{
    const QIcon icon = ProgramIcon();
    // Up to 64 pixels: the larger pictures come from the icon theme, never from the window.
    QCOMPARE(icon.availableSizes(),
        QList<QSize>({ { 16, 16 }, { 24, 24 }, { 32, 32 }, { 48, 48 }, { 64, 64 } }));
    for (int size : { 16, 24, 32, 48, 64 }) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // A transparent ground: the corners let the desktop show through.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
    }
    // The motif: red upper left, green upper right, blue lower half.
    const QImage large = icon.pixmap(QSize(64, 64)).toImage();
    const QColor red = large.pixelColor(15, 15), green = large.pixelColor(47, 15),
                 blue = large.pixelColor(31, 50);
    QVERIFY(red.red() > 200 && red.green() < 50 && red.blue() < 50);
    QVERIFY(green.green() > 150 && green.red() < 50 && green.blue() < 50);
    QVERIFY(blue.blue() > 200 && blue.red() < 50 && blue.green() < 50);

    TForm1 form;
    QCOMPARE(form.windowIcon().availableSizes().size(), icon.availableSizes().size());
}

QTEST_MAIN(TstPictures)
#include "tst_pictures.moc"

// Labels whose face draws larger than their stored rectangle: they grow around it until the whole
// text shows, and a label whose text fits keeps its rectangle.

#include <QLabel>
#include <QtTest>

#include "ui/fonts.h"

namespace {

// The dark pixels of a label's text as the label shows it.
int InkShown(QLabel& label)
{
    const QImage image = label.grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    return ink;
}

// The same text and face on a label with room to spare, drawn at the same sub-pixel offsets (an
// even number of pixels taller keeps the centred line's fraction).
int InkWhole(const QLabel& label)
{
    QLabel free(label.text());
    free.setFont(label.font());
    free.setAlignment(label.alignment());
    free.resize(label.width() * 4, label.height() + 40);
    return InkShown(free);
}

QFont Face(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

class TstFonts : public QObject
{
    Q_OBJECT

private slots:
    void labelShowsWholeText_data();
    void labelShowsWholeText();
};

void TstFonts::labelShowsWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<bool>("cutAtStoredSize");
    QTest::newRow("too tall") << QStringLiteral("HEX") << 26 << QRect(80, 40, 60, 15) << true;
    QTest::newRow("too wide") << QStringLiteral("HEX") << 20 << QRect(80, 40, 24, 30) << true;
    QTest::newRow("both") << QString::fromUtf8("　Ｒ　 　Ｇ　 　Ｂ") << 26 << QRect(80, 68, 106, 15)
                          << true;
    QTest::newRow("fits") << QStringLiteral("HEX") << 11 << QRect(80, 40, 31, 15) << false;
}

void TstFonts::labelShowsWholeText()
{
    QFETCH(QString, text);
    QFETCH(int, pixels);
    QFETCH(QRect, stored);
    QFETCH(bool, cutAtStoredSize);
    QWidget window;
    window.resize(400, 200);
    auto* label = new QLabel(text, &window);
    label->setFont(Face(pixels));
    label->setGeometry(stored);
    const int whole = InkWhole(*label);
    QCOMPARE(InkShown(*label) < whole * 97 / 100, cutAtStoredSize);

    FitLabelToText(label);
    if (!cutAtStoredSize) {
        QCOMPARE(label->geometry(), stored);
        return;
    }
    // Allowing for smoothing at other sub-pixel offsets.
    QVERIFY2(InkShown(*label) >= whole * 97 / 100,
        qPrintable(QStringLiteral("%1 of %2 dark pixels").arg(InkShown(*label)).arg(whole)));
    // The text stays where it was: the same left edge, centred on the same line.
    QCOMPARE(label->x(), stored.x());
    QVERIFY(qAbs(label->geometry().center().y() - stored.center().y()) <= 1);
}

QTEST_MAIN(TstFonts)
#include "tst_fonts.moc"

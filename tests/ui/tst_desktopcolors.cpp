// The system colours taken from the desktop's palette: the window's face and text, GetSysColor
// and ColorToHex follow a light, a dark and a high-contrast scheme and a change of scheme while
// the window is open; the button pictures stay legible on a dark face.

#include <QtTest>

#include <QPainter>

#include <cmath>

#include "colour/conversions.h"
#include "platform/syscolor.h"
#include "tests/support/window_on_file.h"
#include "ui/desktop_colors_p.h"
#include "ui/pictures.h"

namespace {

// A scheme as a desktop gives it: the face, the text on it, the boxes' ground, the highlight,
// the tool-tip ground and the greyed text.
struct Scheme
{
    QColor face, text, base, highlight, toolTip, grey;
};

QPalette PaletteOf(const Scheme& scheme)
{
    QPalette palette(scheme.text, scheme.face.lighter(110), scheme.face.lighter(150),
        scheme.face.darker(150), scheme.face.darker(120), scheme.text, scheme.text.lighter(),
        scheme.base, scheme.face);
    palette.setColor(QPalette::Highlight, scheme.highlight);
    palette.setColor(QPalette::ToolTipBase, scheme.toolTip);
    palette.setColor(QPalette::Disabled, QPalette::Text, scheme.grey);
    return palette;
}

// Light and dark values of two desktops' own schemes, and a high-contrast one.
const Scheme Light { QColor(0xEF, 0xF0, 0xF1), QColor(0x23, 0x26, 0x27), QColor(0xFC, 0xFC, 0xFC),
    QColor(0x3D, 0xAE, 0xE9), QColor(0xF7, 0xF7, 0xF7), QColor(0xA0, 0xA1, 0xA2) };
const Scheme Dark { QColor(0x35, 0x35, 0x35), QColor(0xF0, 0xF0, 0xF0), QColor(0x2D, 0x2D, 0x2D),
    QColor(0x15, 0x53, 0x9E), QColor(0x31, 0x36, 0x3B), QColor(0x7D, 0x7D, 0x7D) };
const Scheme HighContrast { QColor(Qt::black), QColor(Qt::white), QColor(Qt::black),
    QColor(0x1A, 0xEB, 0xFF), QColor(Qt::black), QColor(0x3F, 0xF2, 0x3F) };

DWORD ColorRef(const QColor& colour)
{
    return static_cast<DWORD>(colour.red()) | static_cast<DWORD>(colour.green()) << 8
        | static_cast<DWORD>(colour.blue()) << 16;
}

double Luminance(const QColor& colour)
{
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double x = Luminance(a), y = Luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The picture as the button shows it, pixel for pixel: drawn over the face.
QImage OnFace(const QImage& picture, const QColor& face)
{
    QImage shown(picture.size(), QImage::Format_RGB32);
    shown.fill(face);
    QImage pixels = picture;
    pixels.setDevicePixelRatio(1);
    QPainter painter(&shown);
    painter.drawImage(0, 0, pixels);
    return shown;
}

// The lowest contrast against the face along the motif's outline: its pixels (at least half
// opaque) that touch the face, as they are seen on it.
double OutlineContrast(const QImage& picture, const QColor& face)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage shown = OnFace(pixels, face);
    auto inMotif = [&](int x, int y) {
        return pixels.valid(x, y) && qAlpha(pixels.pixel(x, y)) >= 128;
    };
    double lowest = 21;
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            if (inMotif(x, y)
                && (!inMotif(x + 1, y) || !inMotif(x - 1, y) || !inMotif(x, y + 1)
                    || !inMotif(x, y - 1))) {
                lowest = std::min(lowest, Contrast(shown.pixelColor(x, y), face));
            }
        }
    }
    return lowest;
}

} // namespace

Q_DECLARE_METATYPE(Scheme)

class TstDesktopColors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void windowAndSystemColoursFollowTheScheme_data();
    void windowAndSystemColoursFollowTheScheme();
    void followsAChangeOfSchemeWhileOpen();
    void picturesLegibleOnTheFace_data();
    void picturesLegibleOnTheFace();

private:
    QPalette m_original;
};

void TstDesktopColors::initTestCase()
{
    m_original = QApplication::palette();
    // Qt's offscreen platform shows no desktop: the window keeps the classic scheme there.
    WindowOnFile window;
    window.Open();
    QCOMPARE(GetSysColor(15), DWORD(0x00C0C0C0));
    QCOMPARE(window.Form().palette().color(QPalette::Window), QColor(192, 192, 192));
}

void TstDesktopColors::cleanup()
{
    SetSysColorSource(nullptr);
    QApplication::setPalette(m_original);
}

void TstDesktopColors::windowAndSystemColoursFollowTheScheme_data()
{
    QTest::addColumn<Scheme>("scheme");
    QTest::newRow("light") << Light;
    QTest::newRow("dark") << Dark;
    QTest::newRow("high contrast") << HighContrast;
}

void TstDesktopColors::windowAndSystemColoursFollowTheScheme()
{
    QFETCH(Scheme, scheme);
    InstallDesktopColorSource();
    QApplication::setPalette(PaletteOf(scheme));
    WindowOnFile window;
    window.Open();
    TForm1& form = window.Form();

    // The face is the desktop's window colour (its own dialogs wear it), not its button colour.
    QCOMPARE(form.palette().color(QPalette::Window), scheme.face);
    QCOMPARE(form.palette().color(QPalette::WindowText), scheme.text);
    QCOMPARE(form.Label1->palette().color(QPalette::WindowText), scheme.text);
    QCOMPARE(form.Edit1->palette().color(QPalette::Base), scheme.base);
    QCOMPARE(form.grab().toImage().pixelColor(200, 20), scheme.face);

    const struct
    {
        int index;
        QColor colour;
    } elements[] = {
        { 15, scheme.face }, // COLOR_BTNFACE
        { 8, scheme.text }, // COLOR_WINDOWTEXT
        { 5, scheme.base }, // COLOR_WINDOW
        { 13, scheme.highlight }, // COLOR_HIGHLIGHT
        { 24, scheme.toolTip }, // COLOR_INFOBK
        { 17, scheme.grey }, // COLOR_GRAYTEXT
        { 1, QColor(0, 128, 128) }, // the desktop background has no role: classic
    };
    for (const auto& element : elements) {
        QCOMPARE(GetSysColor(element.index), ColorRef(element.colour));
    }
    QCOMPARE(ColorToHex(static_cast<TColor>(0x8000000F)),
        scheme.face.name().mid(1).toUpper().toStdString());
    form.Shape1->SetBrushColor(static_cast<TColor>(0x8000000F));
    QCOMPARE(form.Shape1->grab().toImage().pixelColor(32, 36), scheme.face);
}

void TstDesktopColors::followsAChangeOfSchemeWhileOpen()
{
    InstallDesktopColorSource();
    QApplication::setPalette(PaletteOf(Light));
    WindowOnFile window;
    window.Open();
    TForm1& form = window.Form();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage lightPicture = form.SpeedButton1->icon().pixmap(16, 16).toImage();

    // Qt tells the window of the new palette through its event queue, as for a desktop's change.
    QApplication::setPalette(PaletteOf(Dark));
    QTRY_COMPARE(form.palette().color(QPalette::Window), Dark.face);
    QCOMPARE(form.Label2->palette().color(QPalette::WindowText), Dark.text);
    QCOMPARE(GetSysColor(15), ColorRef(Dark.face));
    QCOMPARE(form.SpeedButton1->iconSize(), QSize(18, 18));
    QCOMPARE(form.grab().toImage().pixelColor(200, 20), Dark.face);
    QVERIFY(form.SpeedButton1->icon().pixmap(16, 16).toImage() != lightPicture);

    QApplication::setPalette(PaletteOf(Light));
    QTRY_COMPARE(form.palette().color(QPalette::Window), Light.face);
    QCOMPARE(form.palette().color(QPalette::WindowText), Light.text);
    QCOMPARE(form.SpeedButton1->icon().pixmap(16, 16).toImage(), lightPicture);
}

void TstDesktopColors::picturesLegibleOnTheFace_data()
{
    QTest::addColumn<Scheme>("scheme");
    QTest::addColumn<int>("button");
    for (const auto& [name, scheme] : { std::pair { "light", Light }, std::pair { "dark", Dark },
             std::pair { "high contrast", HighContrast } }) {
        for (int button = 1; button <= 4; ++button) {
            QTest::addRow("%s, button %d", name, button) << scheme << button;
        }
    }
}

void TstDesktopColors::picturesLegibleOnTheFace()
{
    QFETCH(Scheme, scheme);
    QFETCH(int, button);
    InstallDesktopColorSource();
    QApplication::setPalette(PaletteOf(scheme));
    WindowOnFile window;
    window.Open();
    const TSpeedButton* const buttons[] = { window.Form().SpeedButton1, window.Form().SpeedButton2,
        window.Form().SpeedButton3, window.Form().SpeedButton4 };
    const ButtonPicture pictures[] = { ButtonPicture::Exit, ButtonPicture::ColorDialog,
        ButtonPicture::Help, ButtonPicture::Copy };
    const QIcon icon = buttons[button - 1]->icon();
    const QSize size = buttons[button - 1]->iconSize();
    const QIcon drawn = ButtonPictureIcon(pictures[button - 1]);
    const bool darkFace = qGray(scheme.face.rgb()) < 128;

    for (const qreal ratio : { 1.0, 2.0 }) {
        const QImage shown = icon.pixmap(size, ratio).toImage();
        const QImage motif =
            drawn.pixmap(QSize(16, 16), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
        const QString at = QStringLiteral("at %1x").arg(ratio);
        if (!darkFace) {
            // The pictures were drawn for a light face: there they stay as drawn.
            QCOMPARE(size, QSize(16, 16));
            QCOMPARE(shown, drawn.pixmap(QSize(16, 16), ratio).toImage());
            continue;
        }
        // Where the motif meets a dark face it stands out by at least 3:1, as graphics must; the
        // black outlines as drawn stand out by less than 2:1.
        QVERIFY2(OutlineContrast(motif, scheme.face) < 2.0, qPrintable(at));
        QVERIFY2(OutlineContrast(shown, scheme.face) >= 3.0, qPrintable(at));
        // The motif itself is drawn as it was, whole and at its size, in the middle of the room
        // the halo takes: every pixel it covers keeps its colour.
        const QImage over = OnFace(shown, scheme.face);
        const int margin = static_cast<int>(ratio);
        QCOMPARE(over.size(), motif.size() + QSize(2 * margin, 2 * margin));
        for (int y = 0; y < motif.height(); ++y) {
            for (int x = 0; x < motif.width(); ++x) {
                if (qAlpha(motif.pixel(x, y)) == 255
                    && over.pixel(x + margin, y + margin) != motif.pixel(x, y)) {
                    QFAIL(qPrintable(
                        QStringLiteral("%1: pixel %2,%3 changed").arg(at).arg(x).arg(y)));
                }
            }
        }
    }
}

QTEST_MAIN(TstDesktopColors)
#include "tst_desktopcolors.moc"

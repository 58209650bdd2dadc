// The contrast window on the real main window: how it opens (shortcut and swatch menu, once, with
// nothing of it before), the pair set by typing, by the swatch colour, by swapping and by taking
// a suggestion, what it shows for a pair (ratio, levels, suggestions, colour vision previews), and
// a pick where none can be made. Read through the accessible names the end-to-end test reads too.

#include <optional>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include "colour/contrast.h"
#include "tests/support/window_on_file.h"
#include "ui/contrast/contrast_window.h"
#include "ui/contrast/pair_sample.h"
#include "ui/paste_colour.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString Hex(Rgb colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(colour.red, 2, 16, QLatin1Char('0'))
        .arg(colour.green, 2, 16, QLatin1Char('0'))
        .arg(colour.blue, 2, 16, QLatin1Char('0'))
        .toUpper();
}

template <typename T> QList<T*> Named(const QWidget* window, const QString& prefix)
{
    QList<T*> found;
    for (T* widget : window->findChildren<T*>()) {
        if (widget->accessibleName().startsWith(prefix)) {
            found << widget;
        }
    }
    return found;
}

template <typename T> T* One(const QWidget* window, const QString& name)
{
    const QList<T*> found = Named<T>(window, name);
    return found.size() == 1 ? found.first() : nullptr;
}

// The verdicts in the order the levels are listed: true where the level is met.
QList<bool> Verdicts(const QWidget* window)
{
    QList<bool> verdicts;
    for (const char* level : { "通常の文字の AA（", "通常の文字の AAA（", "大きな文字の AA（",
             "大きな文字の AAA（", "UI 部品・図形（" }) {
        const QLabel* label = One<QLabel>(window, U(level));
        if (!label) {
            return {};
        }
        verdicts << label->accessibleName().endsWith(U("：満たしています"));
    }
    return verdicts;
}

QString Ratio(const QWidget* window)
{
    const QLabel* label = One<QLabel>(window, U("コントラスト比 "));
    return label ? label->accessibleName().mid(8) : QString();
}

void Type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Pastes text over the box's text with Ctrl+V, as copied from elsewhere.
void Paste(QLineEdit* box, const QString& text)
{
    QApplication::clipboard()->setText(text);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

QList<QPushButton*> Suggestions(const QWidget* window, const QString& which)
{
    QList<QPushButton*> found;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text().startsWith(which)) {
            found << button;
        }
    }
    return found;
}

} // namespace

// How QCOMPARE writes a colour that differs (found beside Rgb, in the global namespace).
char* toString(const Rgb& colour)
{
    return QTest::toString(Hex(colour));
}

class TstContrastWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // First: the background starts white only the first time in a run.
    void opensOnceFromShortcutAndMenu();
    void shortcutIsNoEditKey();
    void keepsTheLastBackgroundForTheRun();
    void typedPair_data();
    void typedPair();
    void unreadableTextKeepsThePair();
    void takingASuggestion();
    void suggestionsWhereNoneOrAllPass();
    void swapAndSwatchColourLeaveTheMainWindow();
    void pickWhereNoneCanBeMade();
    void visionFollowsSeverity();

private:
    TForm1& Form() const { return m_window->Form(); }
    ContrastWindow* Open();
    QLineEdit* Box(const char* name) const;

    std::optional<WindowOnFile> m_window;
    ContrastWindow* m_contrast = nullptr;
};

void TstContrastWindow::init()
{
    m_window.emplace();
    m_window->Open();
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
}

void TstContrastWindow::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    m_window.reset();
    m_contrast = nullptr;
}

ContrastWindow* TstContrastWindow::Open()
{
    QTest::keyClick(Form().Edit1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    m_contrast = Form().findChild<ContrastWindow*>();
    return m_contrast;
}

QLineEdit* TstContrastWindow::Box(const char* name) const
{
    return m_contrast->findChild<QLineEdit*>(U(name));
}

void TstContrastWindow::opensOnceFromShortcutAndMenu()
{
    RunHandler([this] { ShowChosenColour(Form(), ColorOf(Rgb { 0x12, 0x34, 0x56 })); });
    QVERIFY(!Form().findChild<ContrastWindow*>());

    // From the HEX box with its text selected: the box keeps its text.
    Form().Edit1->setFocus();
    Form().Edit1->selectAll();
    QVERIFY(Open());
    QCOMPARE(Form().Edit1->text(), QStringLiteral("123456"));
    QVERIFY(QTest::qWaitForWindowExposed(m_contrast));
    QCOMPARE(m_contrast->windowTitle(), U("コントラストの確認"));
    QVERIFY(m_contrast->isWindow());
    QCOMPARE(m_contrast->windowModality(), Qt::NonModal);
    QCOMPARE(m_contrast->TextColour(), (Rgb { 0x12, 0x34, 0x56 }));
    QCOMPARE(m_contrast->BackgroundColour(), (Rgb { 255, 255, 255 }));
    QCOMPARE(Box("文字色")->text(), QStringLiteral("#123456"));
    QCOMPARE(Box("背景色")->text(), QStringLiteral("#FFFFFF"));

    // Again by the shortcut and by the swatch's menu: still the one window, as it was.
    Type(Box("文字色"), QStringLiteral("red"));
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
    Open();
    const QPoint inside(10, 10);
    QContextMenuEvent request(QContextMenuEvent::Mouse, inside, Form().Shape1->mapToGlobal(inside));
    QApplication::sendEvent(Form().Shape1, &request);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction* entry = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text() == U("コントラストの確認…")) {
            entry = action;
        }
    }
    QVERIFY(entry);
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    entry->trigger();
    QCOMPARE(Form().findChildren<ContrastWindow*>().size(), 1);
    QCOMPARE(m_contrast->TextColour(), (Rgb { 255, 0, 0 }));
}

void TstContrastWindow::shortcutIsNoEditKey()
{
    // No edit box binds it on this platform, so it reaches the window from any control.
    const QKeySequence contrast(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    const QMetaEnum keys = QMetaEnum::fromType<QKeySequence::StandardKey>();
    for (int i = 0; i < keys.keyCount(); ++i) {
        const auto key = static_cast<QKeySequence::StandardKey>(keys.value(i));
        QVERIFY2(!QKeySequence::keyBindings(key).contains(contrast), keys.key(i));
    }
}

void TstContrastWindow::keepsTheLastBackgroundForTheRun()
{
    QVERIFY(Open());
    Type(Box("背景色"), QStringLiteral("navy"));
    m_contrast->close();
    QTRY_VERIFY(!Form().findChild<ContrastWindow*>());

    RunHandler([this] { ShowChosenColour(Form(), ColorOf(Rgb { 255, 128, 0 })); });
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
    QVERIFY(Open());
    QCOMPARE(m_contrast->TextColour(), (Rgb { 255, 128, 0 }));
    QCOMPARE(m_contrast->BackgroundColour(), (Rgb { 0, 0, 128 }));
    // Kept in memory only: the settings file is not written.
    QCOMPARE(m_window->Stored(), std::string());
}

void TstContrastWindow::typedPair_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("background");
    QTest::addColumn<QString>("ratio");
    // Normal AA, normal AAA, large AA, large AAA, UI components.
    QTest::addColumn<QList<bool>>("verdicts");

    QTest::newRow("4.54 passes AA") << "#767676"
                                    << "#FFFFFF"
                                    << "4.54:1" << QList<bool> { true, false, true, true, true };
    QTest::newRow("4.478 is cut to 4.47 and fails AA")
        << "rgb(119 119 119)"
        << "#FFF"
        << "4.47:1" << QList<bool> { false, false, true, false, true };
    QTest::newRow("black on white passes all")
        << "black"
        << "255, 255, 255"
        << "21.00:1" << QList<bool> { true, true, true, true, true };
    QTest::newRow("one colour twice, full-width")
        << U("＃ＦＦ８０００") << "rgb(255, 128, 0)"
        << "1.00:1" << QList<bool> { false, false, false, false, false };
}

void TstContrastWindow::typedPair()
{
    QFETCH(QString, text);
    QFETCH(QString, background);
    QFETCH(QString, ratio);
    QFETCH(QList<bool>, verdicts);

    QVERIFY(Open());
    Paste(Box("文字色"), text);
    Paste(Box("背景色"), background);
    QCOMPARE(Ratio(m_contrast), ratio);
    QCOMPARE(Verdicts(m_contrast), verdicts);
    // The sample shows the pair, and the typed text stays as typed.
    const auto* sample = One<PairSample>(m_contrast, U("文字の見本"));
    QVERIFY(sample);
    const Rgb shownText = m_contrast->TextColour();
    const Rgb shownBackground = m_contrast->BackgroundColour();
    QCOMPARE(sample->TextColour(), QColor(shownText.red, shownText.green, shownText.blue));
    QCOMPARE(sample->BackgroundColour(),
        QColor(shownBackground.red, shownBackground.green, shownBackground.blue));
    QCOMPARE(Box("文字色")->text(), text);
}

void TstContrastWindow::unreadableTextKeepsThePair()
{
    QVERIFY(Open());
    Type(Box("背景色"), QStringLiteral("#FFFFFF"));
    Type(Box("文字色"), QStringLiteral("#767676"));
    Type(Box("文字色"), QStringLiteral("zz"));
    QCOMPARE(m_contrast->TextColour(), (Rgb { 0x76, 0x76, 0x76 }));
    QCOMPARE(Ratio(m_contrast), QStringLiteral("4.54:1"));
    bool told = false;
    for (const QLabel* label : m_contrast->findChildren<QLabel*>()) {
        told = told || label->text().startsWith(U("色として読み取れません（"));
    }
    QVERIFY(told);

    // Made a colour, the pair follows and the line goes.
    Type(Box("文字色"), QStringLiteral("#FF8000"));
    QCOMPARE(m_contrast->TextColour(), (Rgb { 255, 128, 0 }));
    for (const QLabel* label : m_contrast->findChildren<QLabel*>()) {
        QVERIFY(!label->text().startsWith(U("色として読み取れません（")));
    }
}

void TstContrastWindow::takingASuggestion()
{
    QVERIFY(Open());
    Type(Box("文字色"), QStringLiteral("#777777"));
    Type(Box("背景色"), QStringLiteral("#FFFFFF"));
    // 4.5:1 and 7:1 are missed, so each has its text colours; a background lighter than white
    // does not exist, so each has only a darker one.
    QCOMPARE(Suggestions(m_contrast, U("文字色 ")).size(), 2);
    const QList<QPushButton*> backgrounds = Suggestions(m_contrast, U("背景色 "));
    QCOMPARE(backgrounds.size(), 1); // 7:1 cannot be reached by the background
    QVERIFY(backgrounds.first()->text().contains(U("（暗い色）")));

    QPushButton* nearest = Suggestions(m_contrast, U("文字色 ")).first();
    QVERIFY2(nearest->text().startsWith(U("文字色 #767676（暗い色）　4.54:1　色差 0.4")),
        qPrintable(nearest->text()));
    QTest::mouseClick(nearest, Qt::LeftButton);
    QCOMPARE(m_contrast->TextColour(), (Rgb { 0x76, 0x76, 0x76 }));
    QCOMPARE(m_contrast->BackgroundColour(), (Rgb { 255, 255, 255 }));
    QCOMPARE(Box("文字色")->text(), QStringLiteral("#767676"));
    QCOMPARE(Ratio(m_contrast), QStringLiteral("4.54:1"));
    QCOMPARE(Verdicts(m_contrast), (QList<bool> { true, false, true, true, true }));
    // Only 7:1 is missed now.
    const QList<QPushButton*> left = Suggestions(m_contrast, U("文字色 "));
    QCOMPARE(left.size(), 1);
    QVERIFY2(left.first()->text().contains(U("7.00:1")), qPrintable(left.first()->text()));
}

void TstContrastWindow::suggestionsWhereNoneOrAllPass()
{
    QVERIFY(Open());
    auto labelTexts = [this] {
        QStringList texts;
        for (const QLabel* label : m_contrast->findChildren<QLabel*>()) {
            texts << label->text();
        }
        return texts;
    };
    // Mid greys: no lightness of either reaches 7:1 against the other.
    Type(Box("文字色"), QStringLiteral("#777777"));
    Type(Box("背景色"), QStringLiteral("#808080"));
    QVERIFY(labelTexts().contains(U("文字色の明るさを変えるだけでは、この基準を満たせません。")));
    QVERIFY(labelTexts().contains(U("背景色の明るさを変えるだけでは、この基準を満たせません。")));

    Type(Box("文字色"), QStringLiteral("black"));
    Type(Box("背景色"), QStringLiteral("#FFFFFF"));
    QVERIFY(labelTexts().contains(U("五つの基準をすべて満たしています。")));
    QVERIFY(Suggestions(m_contrast, U("文字色 ")).isEmpty());
    QVERIFY(Suggestions(m_contrast, U("背景色 ")).isEmpty());
}

void TstContrastWindow::swapAndSwatchColourLeaveTheMainWindow()
{
    RunHandler([this] { ShowChosenColour(Form(), ColorOf(Rgb { 255, 128, 0 })); });
    const std::string currentHex = CurrentHex;
    QVERIFY(Open());
    Type(Box("背景色"), QStringLiteral("navy"));

    QPushButton* swap = One<QPushButton>(m_contrast, U("文字色と背景色を入れ替え"));
    QVERIFY(swap);
    QTest::mouseClick(swap, Qt::LeftButton);
    QCOMPARE(m_contrast->TextColour(), (Rgb { 0, 0, 128 }));
    QCOMPARE(m_contrast->BackgroundColour(), (Rgb { 255, 128, 0 }));
    QCOMPARE(Box("文字色")->text(), QStringLiteral("#000080"));
    QCOMPARE(Box("背景色")->text(), QStringLiteral("#FF8000"));

    // The main window's swatch colour into the text colour.
    QPushButton* fromSwatch = One<QPushButton>(m_contrast, U("文字色を色見本の色にする"));
    QVERIFY(fromSwatch);
    QTest::mouseClick(fromSwatch, Qt::LeftButton);
    QCOMPARE(m_contrast->TextColour(), (Rgb { 255, 128, 0 }));
    QCOMPARE(Ratio(m_contrast), QStringLiteral("1.00:1"));

    QCOMPARE(Form().Edit1->text(), QStringLiteral("FF8000"));
    QCOMPARE(CurrentHex, currentHex);
}

void TstContrastWindow::pickWhereNoneCanBeMade()
{
    QVERIFY(Open());
    Type(Box("背景色"), QStringLiteral("#123456"));
    QPushButton* pick = One<QPushButton>(m_contrast, U("背景色を画面から取得"));
    QVERIFY(pick);
    QTest::mouseClick(pick, Qt::LeftButton);
    // The offscreen platform cannot pick: the reason in the information box, nothing changed.
    QTRY_COMPARE(m_window->Boxes().size(), std::size_t(1));
    QCOMPARE(m_window->Boxes()[0].kind, BoxRequest::Information);
    QVERIFY2(ToQString(m_window->Boxes()[0].text).contains(QStringLiteral("offscreen")),
        qPrintable(ToQString(m_window->Boxes()[0].text)));
    QCOMPARE(m_contrast->BackgroundColour(), (Rgb { 0x12, 0x34, 0x56 }));
}

void TstContrastWindow::visionFollowsSeverity()
{
    QVERIFY(Open());
    Type(Box("文字色"), QStringLiteral("red"));
    Type(Box("背景色"), QStringLiteral("black"));
    auto protan = [this] {
        const QLabel* label = One<QLabel>(m_contrast, U("1型色覚（P型）のコントラスト比 "));
        return label ? label->text().chopped(2).toDouble() : -1.0;
    };
    QSlider* severity = One<QSlider>(m_contrast, U("色覚の程度"));
    QVERIFY(severity);
    const double normal = ContrastRatio({ 255, 0, 0 }, { 0, 0, 0 });
    // Red darkens for a protan eye, the more the stronger the deficiency.
    const double full = protan();
    severity->setValue(severity->minimum());
    const double slight = protan();
    QVERIFY2(0 < full && full < slight && slight <= normal,
        qPrintable(QStringLiteral("%1 %2 %3").arg(full).arg(slight).arg(normal)));
    // Achromatopsia sees the luminance the ratio is made of: nearly the same ratio.
    const QLabel* achroma = One<QLabel>(m_contrast, U("1色覚のコントラスト比 "));
    QVERIFY(achroma);
    QVERIFY(qAbs(achroma->text().chopped(2).toDouble() - normal) < 0.05);
}

QTEST_MAIN(TstContrastWindow)
#include "tst_contrast_window.moc"

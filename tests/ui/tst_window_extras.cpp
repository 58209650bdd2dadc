// What the window offers beside its controls' own commands, on the real window and the real
// clipboard of the platform: pasting a colour (HEX box menu and Ctrl+Shift+V), the copy menus of
// the copy button and the swatch, the swatch's hint and the shortcuts.

#include <optional>
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolTip>
#include <QtTest>

#include "platform/codepage.h"
#include "tests/support/window_on_file.h"
#include "ui/boxes_p.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// What the colour display shows: the four boxes, the swatch and CurrentHex.
struct Shown
{
    QString hex, red, green, blue;
    TColor swatch;
    QString current;

    friend bool operator==(const Shown&, const Shown&) = default;
};

char* toString(const Shown& shown)
{
    return QTest::toString(QStringLiteral("HEX %1, R %2, G %3, B %4, swatch %5, CurrentHex %6")
                               .arg(shown.hex, shown.red, shown.green, shown.blue,
                                   QString::number(shown.swatch, 16), shown.current));
}

Shown ShownIn(const TForm1& form)
{
    return { form.Edit1->text(), form.Edit2->text(), form.Edit3->text(), form.Edit4->text(),
        form.Shape1->BrushColor(), ToQString(CurrentHex) };
}

// The popup menu that a context menu request on control opens (the right button's event).
QMenu* OpenContextMenu(QWidget* control)
{
    const QPoint inside(control->width() / 2, control->height() / 2);
    QContextMenuEvent request(QContextMenuEvent::Mouse, inside, control->mapToGlobal(inside));
    QApplication::sendEvent(control, &request);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QStringList EntryTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

} // namespace

class TstWindowExtras : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pasteShortcut_data();
    void pasteShortcut();
    void pasteFromAnyControl_data();
    void pasteFromAnyControl();
    void hexBoxMenuKeepsEditEntriesAndPastes();
    void pastedColourIsRegistered();
    void copyMenus_data();
    void copyMenus();
    void swatchMenuOffersThePick();
    void pasteOutsideSrgb();
    void pasteRefusalQuotesTheText();
    void copyButtonClickStaysTheHexBoxCopy();
    void swatchHint_data();
    void swatchHint();
    void pickShortcut();

private:
    TForm1& Form() const { return m_window->Form(); }
    void Activate();

    std::optional<WindowOnFile> m_window;
};

void TstWindowExtras::init()
{
    m_window.emplace();
    m_window->Open();
    Activate();
}

void TstWindowExtras::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    m_window.reset();
}

void TstWindowExtras::Activate()
{
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
}

void TstWindowExtras::pasteShortcut_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("hex"); // empty: refused
    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("green");
    QTest::addColumn<QString>("blue");

    const struct
    {
        const char* name;
        QString clipboard;
        const char *hex, *red, *green, *blue;
    } rows[] = {
        { "#RRGGBB", "#FF8000", "FF8000", "255", "128", "0" },
        { "lower case, blanks and line end", " \t#ff8000\r\n", "FF8000", "255", "128", "0" },
        { "RRGGBB", "0780FF", "0780FF", "7", "128", "255" },
        { "#RGB", "#F80", "FF8800", "255", "136", "0" },
        { "#RRGGBBAA", "#FF800080", "FF8000", "255", "128", "0" },
        { "rgb() with commas", "rgb(255, 128, 0)", "FF8000", "255", "128", "0" },
        { "rgba() with percentages and alpha", "rgba(100% 0% 100% / 50%)", "FF00FF", "255", "0",
            "255" },
        { "rgb() out of range, clamped", "rgb(300, -5, 0)", "FF0000", "255", "0", "0" },
        { "hsl() spaces", "hsl(30 100% 50%)", "FF8000", "255", "128", "0" },
        { "hsl() in turns", "hsl(0.5turn, 100%, 50%)", "00FFFF", "0", "255", "255" },
        { "R,G,B", "255,128,0", "FF8000", "255", "128", "0" },
        { "R G B", "1 2 3", "010203", "1", "2", "3" },
        { "CSS name in any case", "DarkOrange", "FF8C00", "255", "140", "0" },
        { "CSS name wins over the list", "green", "008000", "0", "128", "0" },
        { "oklch()", "oklch(73.2% 0.1858 53)", "FF8000", "255", "128", "0" },
        { "declaration", "color: #ff8000 !important;", "FF8000", "255", "128", "0" },
        { "list name with a blank", "medium turquise", "70DBDB", "112", "219", "219" },
        { "full-width as typed in Japanese", U("＃ＦＦ８０００"), "FF8000", "255", "128", "0" },
        { "full-width comma and brackets", U("rgb（255，128，0）"), "FF8000", "255", "128", "0" },
        { "empty clipboard", "", "", "", "", "" },
        { "blanks only", " \n", "", "", "", "" },
        { "four digits", "#FF80", "", "", "", "" },
        { "fully transparent", "rgba(255, 128, 0, 0)", "", "", "", "" },
        { "two components", "rgb(1,2)", "", "", "", "" },
        { "hsl() without percent", "hsl(30,100,50)", "", "", "", "" },
        { "bare triple out of range", "256 0 0", "", "", "", "" },
        { "a sentence", U("オレンジ色"), "", "", "", "" },
        { "1 MiB of text", QString(1 << 20, QLatin1Char('F')), "", "", "", "" },
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << row.clipboard << row.hex << row.red << row.green << row.blue;
    }
}

// The shortcut reads the clipboard: a colour is shown as the RGB-to-colour command shows one and
// becomes CurrentHex; anything else is answered by the information box and changes nothing.
void TstWindowExtras::pasteShortcut()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, hex);
    QFETCH(QString, red);
    QFETCH(QString, green);
    QFETCH(QString, blue);

    TForm1& form = Form();
    form.Edit1->setText(QStringLiteral("zz"));
    form.Edit2->setText(QStringLiteral("1"));
    form.Edit3->setText(QStringLiteral("2"));
    form.Edit4->setText(QStringLiteral("x"));
    form.Shape1->SetBrushColor(0x00123456);
    CurrentHex = "ABCDEF";
    const Shown before = ShownIn(form);
    QApplication::clipboard()->setText(clipboard);

    form.Edit1->setFocus();
    QTest::keyClick(form.Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);

    if (hex.isEmpty()) {
        QCOMPARE(ShownIn(form), before);
        QCOMPARE(m_window->Boxes().size(), std::size_t(1));
        const BoxRequest& box = m_window->Boxes().front();
        QCOMPARE(box.kind, BoxRequest::Information);
        const QString text = ToQString(box.text);
        for (const char* form : { "#FF8000", "#F80", "rgb(", "hsl(", "255, 128, 0", "CSS" }) {
            QVERIFY2(text.contains(QLatin1String(form)), form);
        }
        // The box says why a colour written correctly may still be refused.
        QVERIFY(text.contains(U("完全に透明な色")));
    } else {
        QVERIFY(m_window->Boxes().empty());
        const TColor colour = static_cast<TColor>(hex.toUInt(nullptr, 16));
        const TColor swatch = (colour >> 16 & 0xFF) | (colour & 0xFF00) | (colour & 0xFF) << 16;
        QCOMPARE(ShownIn(form), (Shown { hex, red, green, blue, swatch, hex }));
    }
    // The clipboard is read, never changed.
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
}

void TstWindowExtras::pasteFromAnyControl_data()
{
    QTest::addColumn<QString>("control");
    for (const char* name : { "Button1", "Edit2", "Edit4", "Button3", "ComboBox1", "ComboBox2" }) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

// Ctrl+Shift+V pastes wherever the focus is in the window, the drop-downs' text fields included.
void TstWindowExtras::pasteFromAnyControl()
{
    QFETCH(QString, control);
    auto* focus = Form().findChild<QWidget*>(control);
    QVERIFY(focus);
    focus->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("#336699"));
    QTest::keyClick(
        QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Form().Edit1->text(), QStringLiteral("336699"));
    QCOMPARE(Form().Edit4->text(), QStringLiteral("153"));
    QVERIFY(m_window->Boxes().empty());
}

// The HEX box's menu is Qt's edit menu of the box with the paste command added at its end.
void TstWindowExtras::hexBoxMenuKeepsEditEntriesAndPastes()
{
    QMenu* standard = Form().Edit1->createStandardContextMenu();
    const QStringList editEntries = EntryTexts(standard);
    delete standard;

    QMenu* menu = OpenContextMenu(Form().Edit1);
    QVERIFY(menu);
    const QStringList entries = EntryTexts(menu);
    QCOMPARE(entries.mid(0, editEntries.size()), editEntries);
    QCOMPARE(entries.mid(editEntries.size()),
        QStringList({ QStringLiteral("-"), U("色として貼り付け") }));

    QApplication::clipboard()->setText(QStringLiteral("rgb(0, 128, 255)"));
    menu->actions().last()->trigger();
    menu->close();
    QCOMPARE(ShownIn(Form()),
        (Shown { "0080FF", "0", "128", "255", 0x00FF8000, QStringLiteral("0080FF") }));
}

// A pasted code is what the register button stores.
void TstWindowExtras::pastedColourIsRegistered()
{
    QApplication::clipboard()->setText(QStringLiteral("#ff8000\n"));
    QTest::keyClick(Form().Button1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    Form().ComboBox2->SetText("orange");
    QTest::mouseClick(Form().Button4, Qt::LeftButton);
    QVERIFY(m_window->Boxes().empty());
    QCOMPARE(m_window->Stored(), std::string("[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n"));
}

void TstWindowExtras::copyMenus_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("copy button") << "SpeedButton4";
    QTest::newRow("swatch") << "Shape1";
}

// Each entry shows the text it copies and puts exactly that on the clipboard; the colour is the
// swatch's, whatever the HEX box holds.
void TstWindowExtras::copyMenus()
{
    QFETCH(QString, control);
    Form().Edit1->setText(QStringLiteral("zz"));
    Form().Shape1->SetBrushColor(0x000080FF);
    const QStringList forms = { "#FF8000", "FF8000", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)",
        "255, 128, 0", "oklch(73.2% 0.1858 53)" };

    for (qsizetype i = 0; i < forms.size(); ++i) {
        QMenu* menu = OpenContextMenu(Form().findChild<QWidget*>(control));
        QVERIFY(menu);
        const QList<QAction*> entries = menu->actions();
        QVERIFY(entries.size() >= forms.size());
        QCOMPARE(entries[i]->text(), forms[i] + U(" をコピー"));
        QApplication::clipboard()->setText(QStringLiteral("previous"));
        entries[i]->trigger();
        menu->close();
        QCOMPARE(QApplication::clipboard()->text(), forms[i]);
    }
    QCOMPARE(Form().Edit1->text(), QStringLiteral("zz"));
    QVERIFY(m_window->Boxes().empty());
}

void TstWindowExtras::swatchMenuOffersThePick()
{
    QMenu* menu = OpenContextMenu(Form().Shape1);
    QVERIFY(menu);
    const QStringList entries = EntryTexts(menu);
    QCOMPARE(entries.mid(6),
        QStringList({ "-", U("最近の色"), "-", U("画像から色を取得…"), U("コントラストの確認…"),
            U("画面から色を取得") }));
    // The copy button's menu copies only.
    menu->close();
    QMenu* copyMenu = OpenContextMenu(Form().SpeedButton4);
    QVERIFY(copyMenu);
    QCOMPARE(copyMenu->actions().size(), 6);
}

// A colour outside sRGB is shown as the nearest colour sRGB can show; a box says so, and so does
// the swatch's hint for as long as the swatch shows that colour.
void TstWindowExtras::pasteOutsideSrgb()
{
    Activate();
    TForm1& form = Form();
    QApplication::clipboard()->setText(QStringLiteral("color(display-p3 1 0 0)"));
    form.Edit1->setFocus();
    QTest::keyClick(form.Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(form.Edit1->text(), QStringLiteral("FF0B0C"));
    QCOMPARE(m_window->Boxes().size(), std::size_t(1));
    QCOMPARE(ToQString(m_window->Boxes().front().text),
        U("貼り付けた色は sRGB の範囲外のため、見た目がいちばん近い表示できる色にしました。"));

    const QString note =
        U("この色は sRGB の範囲外のため、いちばん近い表示できる色で示しています");
    const QPoint inside(10, 10);
    QHelpEvent first(QEvent::ToolTip, inside, form.Shape1->mapToGlobal(inside));
    QApplication::sendEvent(form.Shape1, &first);
    QTRY_VERIFY(QToolTip::text().endsWith(note));
    QToolTip::hideText();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    form.Shape1->SetBrushColor(0x00FFFFFF);
    QHelpEvent second(QEvent::ToolTip, inside, form.Shape1->mapToGlobal(inside));
    QApplication::sendEvent(form.Shape1, &second);
    QTRY_VERIFY(QToolTip::text().contains(U("白とのコントラスト比: 1.00:1")));
    QVERIFY(!QToolTip::text().contains(note));
    QToolTip::hideText();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A refusal quotes the text read and says what was expected before listing the forms.
void TstWindowExtras::pasteRefusalQuotesTheText()
{
    Activate();
    QApplication::clipboard()->setText(QStringLiteral("border: 1px solid red"));
    Form().Edit1->setFocus();
    QTest::keyClick(Form().Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_window->Boxes().size(), std::size_t(1));
    QVERIFY(
        ToQString(m_window->Boxes().front().text)
            .startsWith(U(
                "クリップボードの内容「border: 1px solid red」を色として読み取れませんでした。\n"
                "色を一つだけ書いてください（例: color: #1E90FF;）。\n")));
}

// Its menu beside it, the copy button's click still copies the HEX box's text as typed.
void TstWindowExtras::copyButtonClickStaysTheHexBoxCopy()
{
    Form().Edit1->setText(QStringLiteral("ff8000"));
    Form().Shape1->SetBrushColor(0x00000000);
    QTest::mouseClick(Form().SpeedButton4, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ff8000"));
}

void TstWindowExtras::swatchHint_data()
{
    QTest::addColumn<TColor>("swatch");
    QTest::addColumn<QString>("hint");
    // Colours that are entries of both lists, so the nearest names are the colours' own.
    QTest::newRow("black")
        << TColor(0x000000)
        << U("いちばん近い色名（Color Name）: black（000000）\n"
             "いちばん近い CSS の色名: black（000000）\n"
             "白とのコントラスト比: 21.00:1（満たす基準: AAA、AA、大きな文字の AA）\n"
             "黒とのコントラスト比: 1.00:1（満たす基準: なし）");
    // 3.998:1 against white is cut, not rounded, to the 3.99 that passes only large text.
    QTest::newRow("red") << TColor(0x0000FF)
                         << U("いちばん近い色名（Color Name）: red（FF0000）\n"
                              "いちばん近い CSS の色名: red（FF0000）\n"
                              "白とのコントラスト比: 3.99:1（満たす基準: 大きな文字の AA）\n"
                              "黒とのコントラスト比: 5.25:1（満たす基準: AA、大きな文字の AA）");
    QTest::newRow("blue")
        << TColor(0xFF0000)
        << U("いちばん近い色名（Color Name）: blue（0000FF）\n"
             "いちばん近い CSS の色名: blue（0000FF）\n"
             "白とのコントラスト比: 8.59:1（満たす基準: AAA、AA、大きな文字の AA）\n"
             "黒とのコントラスト比: 2.44:1（満たす基準: なし）");
}

// The hint is worked out from the swatch's colour each time it is shown.
void TstWindowExtras::swatchHint()
{
    QFETCH(TColor, swatch);
    QFETCH(QString, hint);
    TShape* shape = Form().Shape1;
    shape->SetBrushColor(0x00FFFFFF);
    const QPoint inside(10, 10);
    QHelpEvent first(QEvent::ToolTip, inside, shape->mapToGlobal(inside));
    QApplication::sendEvent(shape, &first);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(U("白とのコントラスト比: 1.00:1")));

    shape->SetBrushColor(swatch);
    QHelpEvent second(QEvent::ToolTip, inside, shape->mapToGlobal(inside));
    QApplication::sendEvent(shape, &second);
    QTRY_COMPARE(QToolTip::text(), hint);
    // A hidden tip is deleted later, and its deletion forgets whichever tip is shown by then.
    QToolTip::hideText();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Ctrl+P is the window's own shortcut wherever the focus is.
void TstWindowExtras::pickShortcut()
{
    QShortcut* pick = nullptr;
    for (QShortcut* shortcut : Form().findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_P)) {
            pick = shortcut;
        }
    }
    QVERIFY(pick);
    QCOMPARE(pick->context(), Qt::WindowShortcut);
    QSignalSpy activated(pick, &QShortcut::activated);
    Form().Edit3->setFocus();
    QTest::keyClick(Form().Edit3, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(activated.count(), 1);
}

QTEST_MAIN(TstWindowExtras)
#include "tst_window_extras.moc"

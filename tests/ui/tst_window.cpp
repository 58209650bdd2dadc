#include <memory>
#include <stdexcept>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "ui/boxes_p.h"
#include "ui/help_p.h"
#include "ui/pictures.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList FocusNames(const std::vector<QWidget*>& widgets)
{
    QStringList names;
    for (QWidget* widget : widgets) {
        names << (widget ? widget->objectName() : QStringLiteral("(none)"));
    }
    return names;
}

} // namespace

class TstWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void placement();
    void controlGeometry_data();
    void controlGeometry();
    void texts_data();
    void texts();
    void fonts_data();
    void fonts();
    void formCreateErrorShownBeforeWindowOpens();
    void rgbHeadingStandsOverBoxes();
    void settingsFileBesideProgram();
    void iniComponentWarnsInTheWarningBox();

    void tabOrder();
    void enterAndSpacePressFocusedButton_data();
    void enterAndSpacePressFocusedButton();
    void enterInEditOrDropDownPressesNothing();

    void copyHex_data();
    void copyHex();
    void closeRunsFormCloseOnce_data();
    void closeRunsFormCloseOnce();
    void helpAsksForContents();
    void handlerErrorsGoToExceptionBox();

    void comboBoxChangeAndIndex();
    void comboBoxProgramWritesAreNoEdits();
    void comboBoxDoubleClick();
    void openListKeysSelect_data();
    void openListKeysSelect();
    void openListHoverOnlyHighlights();
    void noLengthLimit();
    void selectingNamedColourRunsItsHandler();

    void swatchPaintsFillAndOutline();
    void hintShowsAfterRestAndNotOnEdits();

private:
    TForm1& Form() { return *m_form; }
    QWidget* Control(const QString& name) { return m_form->findChild<QWidget*>(name); }

    std::unique_ptr<TForm1> m_form;
    std::vector<BoxRequest> m_boxes;
    std::vector<HelpRequest> m_help;
    QString m_iniPath;
};

void TstWindow::initTestCase()
{
    ApplicationTitle() = "Tintora";
    ApplicationHelpFile() = "D:\\app\\tintora\\Tintora.hlp";
    m_iniPath = QDir(QCoreApplication::applicationDirPath()).filePath("Tst_window.ini");
    QFile::remove(m_iniPath);
}

void TstWindow::init()
{
    m_boxes.clear();
    m_help.clear();
    BoxAnswerHook() = [this](const BoxRequest& request) {
        m_boxes.push_back(request);
        return idOK;
    };
    WinHelpHook() = [this](const HelpRequest& request) {
        m_help.push_back(request);
        return 1;
    };
    m_form = std::make_unique<TForm1>();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TstWindow::cleanup()
{
    m_form.reset();
    UserColorList.reset();
    BoxAnswerHook() = nullptr;
    WinHelpHook() = nullptr;
}

void TstWindow::cleanupTestCase()
{
    // Nothing the window does on its own writes the settings file.
    QVERIFY(!QFile::exists(m_iniPath));
}

void TstWindow::placement()
{
    QCOMPARE(Form().windowTitle(), QStringLiteral("Tintora Ver 1.1"));
    QCOMPARE(Form().pos(), QPoint(197, 107));
    // Client area of the 311x222 window less its 4-pixel frame and 19-pixel caption.
    QCOMPARE(Form().size(), QSize(303, 195));
    QCOMPARE(Form().palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(Form().windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(Form().windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(!Form().windowIcon().isNull());
}

void TstWindow::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("takesFocus");
    const struct
    {
        const char* name;
        int left, top, width, height;
        bool focus;
    } rows[] = {
        { "Shape1", 8, 40, 65, 73, false },
        { "Label1", 80, 40, 31, 15, false },
        { "Label2", 80, 68, 106, 15, false },
        { "SpeedButton1", 8, 4, 25, 25, false },
        { "SpeedButton2", 40, 4, 25, 25, false },
        { "SpeedButton3", 104, 4, 25, 25, false },
        { "SpeedButton4", 72, 4, 25, 25, false },
        { "Button1", 208, 40, 89, 25, true },
        { "Edit1", 120, 40, 73, 23, true },
        { "Button2", 208, 88, 89, 25, true },
        { "Edit2", 80, 88, 35, 23, true },
        { "Edit3", 120, 88, 35, 23, true },
        { "Edit4", 160, 88, 35, 23, true },
        { "Button3", 224, 128, 57, 25, true },
        { "ComboBox1", 8, 128, 145, 23, true },
        { "ComboBox2", 8, 160, 145, 23, true },
        { "Button4", 224, 160, 57, 25, true },
        { "Button5", 168, 160, 41, 25, true },
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << QString::fromLatin1(row.name)
                                << QRect(row.left, row.top, row.width, row.height) << row.focus;
    }
}

void TstWindow::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, takesFocus);
    QWidget* control = Control(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->focusPolicy() != Qt::NoFocus, takesFocus);
    // Controls keep their places when the window is resized or maximised.
    Form().resize(640, 480);
    QCOMPARE(control->geometry(), geometry);
    Form().showMaximized();
    QCOMPARE(control->geometry(), geometry);
}

void TstWindow::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("accessibleName");
    const struct
    {
        const char* name;
        const char* caption;
        const char* hint;
        const char* accessible;
    } rows[] = {
        { "Label1", "HEX", "", "HEX" },
        { "Label2", "　Ｒ　 　Ｇ　 　Ｂ", "", "　Ｒ　 　Ｇ　 　Ｂ" },
        { "SpeedButton1", "", "終了", "終了" },
        { "SpeedButton2", "", "ｶﾗｰﾀﾞｲｱﾛｸﾞを表示", "ｶﾗｰﾀﾞｲｱﾛｸﾞを表示" },
        { "SpeedButton3", "", "HELPを表示", "HELPを表示" },
        { "SpeedButton4", "", "HEX値をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ", "HEX値をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ" },
        { "Button1", "色->RGB値", "色を作成しRGBを表示", "色->RGB値" },
        { "Edit1", "", "", "HEX" },
        { "Button2", "RGB値->色", "RGB値から色を表示", "RGB値->色" },
        { "Edit2", "", "", "R" },
        { "Edit3", "", "", "G" },
        { "Edit4", "", "", "B" },
        { "Button3", "クリア", "表示項目をｸﾘｱ", "クリア" },
        { "ComboBox1", "Color Name", "ｶﾗｰ名を選択", "ｶﾗｰ名を選択" },
        { "ComboBox2", "User Color", "ダブルクリックで色を表示します",
            "ダブルクリックで色を表示します" },
        { "Button4", "登録", "ユーザカラーの登録", "登録" },
        { "Button5", "削除", "表示しているユーザカラーを削除します", "削除" },
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << U(row.caption) << U(row.hint)
                                << U(row.accessible);
    }
}

void TstWindow::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QString, accessibleName);
    QWidget* control = Control(name);
    QVERIFY(control);
    QString shown;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        shown = button->text();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        shown = label->text();
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        shown = edit->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        shown = combo->currentText();
    }
    QCOMPARE(shown, caption);
    QCOMPARE(control->toolTip(), hint);
    QCOMPARE(control->accessibleName(), accessibleName);
}

void TstWindow::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("Label1") << "Label1" << 15 << true;
    QTest::newRow("Label2") << "Label2" << 15 << true;
    QTest::newRow("SpeedButton1") << "SpeedButton1" << 12 << false;
    QTest::newRow("Button1") << "Button1" << 12 << false;
    QTest::newRow("Edit1") << "Edit1" << 15 << false;
    QTest::newRow("Edit4") << "Edit4" << 15 << false;
    QTest::newRow("Button3") << "Button3" << 12 << false;
    QTest::newRow("ComboBox1") << "ComboBox1" << 15 << false;
    QTest::newRow("ComboBox2") << "ComboBox2" << 15 << false;
    QTest::newRow("Button5") << "Button5" << 12 << false;
}

void TstWindow::fonts()
{
    QFETCH(QString, name);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    const QFont font = Control(name)->font();
    QCOMPARE(font.family(), U("ＭＳ Ｐゴシック"));
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(font.bold(), bold);
    // The face is not on Linux machines: a Japanese gothic stands in, so no glyph is missing.
    const QString used = QFontInfo(font).family();
    QVERIFY2(used.contains(QStringLiteral("IPA")) || used.contains(QStringLiteral("CJK")),
        qPrintable(used));
}

void TstWindow::formCreateErrorShownBeforeWindowOpens()
{
    // A count beyond any real list makes the load at creation say so in a box.
    QFile settings(m_iniPath);
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Usercolor]\r\nUsercolcnt=2000000\r\n1=FF8000orange\r\n");
    settings.close();

    std::vector<bool> windowShownAtBox;
    BoxAnswerHook() = [&](const BoxRequest& request) {
        m_boxes.push_back(request);
        bool shown = false;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            shown |= window != m_form.get() && qobject_cast<TForm1*>(window) && window->isVisible();
        }
        windowShownAtBox.push_back(shown);
        return idOK;
    };
    TForm1 form;
    QFile::remove(m_iniPath);
    QCOMPARE(m_boxes.size(), std::size_t(1));
    QCOMPARE(m_boxes[0].kind, BoxRequest::Information);
    QCOMPARE(windowShownAtBox, std::vector<bool> { false });

    // The window opens all the same, with what the load had done.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.ComboBox2->ItemCount(), 1);
    QCOMPARE(form.ComboBox2->Text(), std::string("User Color"));
}

void TstWindow::rgbHeadingStandsOverBoxes()
{
    // Whatever face stands in, the heading's letters stay inside the label, each over its box.
    const QFontMetricsF metrics(Form().Label2->font());
    const QString text = Form().Label2->text();
    QVERIFY(metrics.horizontalAdvance(text) <= Form().Label2->width());
    const struct
    {
        QChar letter;
        TEdit* box;
    } letters[] = { { QChar(0xFF32), Form().Edit2 }, { QChar(0xFF27), Form().Edit3 },
        { QChar(0xFF22), Form().Edit4 } };
    for (const auto& [letter, box] : letters) {
        const qsizetype index = text.indexOf(letter);
        const qreal centre = Form().Label2->x() + metrics.horizontalAdvance(text.left(index))
            + metrics.horizontalAdvance(letter) / 2;
        QVERIFY2(centre > box->x() + 4 && centre < box->x() + box->width() - 4,
            qPrintable(QString("%1 at %2").arg(letter).arg(centre)));
    }
}

void TstWindow::settingsFileBesideProgram()
{
    QCOMPARE(QFile::decodeName(QByteArray::fromStdString(Form().IniBrel1->Path())), m_iniPath);
}

// In a designer, the window's INI component shows its warning in the warning box, OK alone.
void TstWindow::iniComponentWarnsInTheWarningBox()
{
    Form().IniBrel1->SetDesigning(true);
    Form().IniBrel1->SetFence(fnVer11Mode);
    QVERIFY(m_boxes.empty());
    Form().IniBrel1->SetFence(fnNone);
    QCOMPARE(m_boxes.size(), std::size_t(1));
    QCOMPARE(m_boxes[0].kind, BoxRequest::Warning);
    QCOMPARE(m_boxes[0].buttons, BoxButtons(mbOK));
    QVERIFY(ToQString(m_boxes[0].text).startsWith(QStringLiteral("fnVer11Mode以外の値")));
}

void TstWindow::tabOrder()
{
    QCOMPARE(QApplication::focusWidget(), Form().Button1);
    const QStringList forward = { "Edit1", "Edit2", "Edit3", "Edit4", "Button2", "Button3",
        "ComboBox1", "ComboBox2", "Button4", "Button5", "Button1" };
    std::vector<QWidget*> visited;
    for (int i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // The drop-downs' text fields stand for their drop-downs.
        visited.push_back(focus && qobject_cast<QComboBox*>(focus->parentWidget())
                ? focus->parentWidget()
                : focus);
    }
    QCOMPARE(FocusNames(visited), forward);

    visited.clear();
    for (int i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QWidget* focus = QApplication::focusWidget();
        visited.push_back(focus && qobject_cast<QComboBox*>(focus->parentWidget())
                ? focus->parentWidget()
                : focus);
    }
    QStringList backward(forward.rbegin() + 1, forward.rend());
    backward << "Button1";
    QCOMPARE(FocusNames(visited), backward);
}

void TstWindow::enterAndSpacePressFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
}

void TstWindow::enterAndSpacePressFocusedButton()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    // The clear button empties the boxes: a visible sign that its handler ran.
    Form().Edit1->SetText("FF8000");
    Form().Button3->setFocus();
    QTest::keyClick(Form().Button3, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(Form().Edit1->Text(), std::string());
}

void TstWindow::enterInEditOrDropDownPressesNothing()
{
    // With FF8000 in the HEX box, a press of the colour button would fill the R box.
    Form().Edit1->SetText("FF8000");
    Form().Edit1->setFocus();
    QTest::keyClick(Form().Edit1, Qt::Key_Return);
    QTest::keyClick(Form().Edit1, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(Form().Edit2->Text(), std::string());

    TComboBox* combo = Form().ComboBox2;
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("red"));
    QTest::keyClick(combo, Qt::Key_Return);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(combo->ItemCount(), 0);
    QCOMPARE(combo->Text(), std::string("red"));
    QCOMPARE(Form().Edit2->Text(), std::string());

    // Typing the name of an entry and pressing Enter does not select that entry either.
    TComboBox* names = Form().ComboBox1;
    names->setFocus();
    names->lineEdit()->selectAll();
    QTest::keyClicks(names, QStringLiteral("red"));
    m_boxes.clear();
    QTest::keyClick(names, Qt::Key_Return);
    QCOMPARE(names->ItemCount(), 64);
    QCOMPARE(names->ItemIndex(), -1);
    QVERIFY(m_boxes.empty());
    QCOMPARE(Form().Edit1->Text(), std::string());
    // Nor does leaving the drop-down.
    QTest::keyClick(names, Qt::Key_Tab);
    QVERIFY(!names->hasFocus());
    QCOMPARE(names->ItemIndex(), -1);
    QCOMPARE(names->Text(), std::string("red"));
    QVERIFY(m_boxes.empty());
    QCOMPARE(Form().Edit1->Text(), std::string());
}

void TstWindow::copyHex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("code") << "FF8000"
                          << "FF8000";
    QTest::newRow("not a code, as typed") << "zz"
                                          << "zz";
    QTest::newRow("Japanese text") << U("赤ｱｶ") << U("赤ｱｶ");
    QTest::newRow("empty box leaves the clipboard") << ""
                                                    << "previous";
}

void TstWindow::copyHex()
{
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QApplication::clipboard()->setText(QStringLiteral("previous"));
    Form().Edit1->setText(text);
    QTest::mouseClick(Form().SpeedButton4, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    QCOMPARE(Form().Edit1->selectedText(), text);
    QVERIFY(m_boxes.empty());
}

void TstWindow::closeRunsFormCloseOnce_data()
{
    QTest::addColumn<bool>("exitButton");
    QTest::newRow("exit button") << true;
    QTest::newRow("close request") << false;
}

void TstWindow::closeRunsFormCloseOnce()
{
    QFETCH(bool, exitButton);
    UserColorList = std::make_unique<TStringList>();
    if (exitButton) {
        QTest::mouseClick(Form().SpeedButton1, Qt::LeftButton);
    } else {
        QVERIFY(Form().close());
    }
    QVERIFY(!Form().isVisible());
    QVERIFY(!UserColorList); // FormClose released it

    // A second close request does not run the close handler again.
    UserColorList = std::make_unique<TStringList>();
    Form().close();
    QVERIFY(UserColorList);
    QVERIFY(m_boxes.empty());
    QVERIFY(m_help.empty());
}

void TstWindow::helpAsksForContents()
{
    QTest::mouseClick(Form().SpeedButton3, Qt::LeftButton);
    QCOMPARE(m_help.size(), std::size_t(1));
    QCOMPARE(m_help[0].owner, static_cast<QWidget*>(&Form()));
    QCOMPARE(m_help[0].file, std::string("D:\\app\\tintora\\Tintora.hlp"));
    QCOMPARE(m_help[0].command, HELP_CONTENTS);
    QCOMPARE(m_help[0].data, std::uintptr_t(0));
    QVERIFY(m_boxes.empty());
}


void TstWindow::handlerErrorsGoToExceptionBox()
{
    RunHandler([] { throw EConvertError("'$' is wrong"); });
    RunHandler([] { throw std::runtime_error("broken"); });
    bool ran = false;
    RunHandler([&] { ran = true; });
    QVERIFY(ran);
    QCOMPARE(m_boxes.size(), std::size_t(2));
    QCOMPARE(m_boxes[0].kind, BoxRequest::Error);
    QCOMPARE(m_boxes[0].text, ExceptionBoxText("'$' is wrong"));
    QCOMPARE(m_boxes[1].kind, BoxRequest::Error);
    QCOMPARE(m_boxes[1].text, ExceptionBoxText("broken"));
}

void TstWindow::comboBoxChangeAndIndex()
{
    TComboBox combo(nullptr);
    combo.SetText("Color Name");
    for (const char* item : { "aqua", "black", "blue" }) {
        combo.AddItem(item);
    }
    combo.show();
    QSignalSpy changes(&combo, &TComboBox::Change);
    QCOMPARE(combo.Text(), std::string("Color Name"));
    QCOMPARE(combo.ItemIndex(), -1);

    // Keyboard selection: the text shows the entry before Change is emitted.
    std::vector<std::string> textsAtChange;
    connect(&combo, &TComboBox::Change, this, [&] { textsAtChange.push_back(combo.Text()); });
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(combo.ItemIndex(), 0);
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(changes.size(), 2);
    QCOMPARE(combo.ItemIndex(), 1);
    QCOMPARE(textsAtChange, (std::vector<std::string> { "aqua", "black" }));

    // Every user edit emits Change and leaves no entry selected.
    QTest::keyClick(&combo, Qt::Key_Backspace);
    QCOMPARE(changes.size(), 3);
    QCOMPARE(combo.ItemIndex(), -1);
    QCOMPARE(combo.Text(), std::string("blac"));

    // Choosing with the mouse the entry Qt still holds as current selects it again.
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    QTRY_VERIFY(list->isVisible());
    const QRect entry = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_COMPARE(changes.size(), 4);
    QCOMPARE(combo.ItemIndex(), 1);
    QCOMPARE(combo.Text(), std::string("black"));
}

void TstWindow::comboBoxProgramWritesAreNoEdits()
{
    TComboBox combo(nullptr);
    QSignalSpy changes(&combo, &TComboBox::Change);
    combo.SetText("User Color");
    combo.AddItem("FF8000orange");
    combo.AddItem(Sjis("0000FF青"));
    QCOMPARE(combo.Text(), std::string("User Color"));
    QCOMPARE(combo.ItemIndex(), -1);
    QCOMPARE(combo.ItemCount(), 2);
    QCOMPARE(combo.Item(1), Sjis("0000FF青"));

    combo.show();
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(combo.ItemIndex(), 0);
    QCOMPARE(changes.size(), 1);

    combo.SetText(Sjis("名前"));
    QCOMPARE(combo.ItemIndex(), -1);
    QCOMPARE(combo.Text(), Sjis("名前"));
    combo.ClearItems();
    QCOMPARE(combo.ItemCount(), 0);
    QCOMPARE(combo.Text(), Sjis("名前"));
    QCOMPARE(changes.size(), 1);
}

void TstWindow::comboBoxDoubleClick()
{
    TComboBox* combo = Form().ComboBox2;
    QSignalSpy doubleClicks(combo, &TComboBox::DblClick);
    // QTest's double-click leaves its button pressed: release it, or later moves are drags.
    QTest::mouseDClick(combo->lineEdit(), Qt::MiddleButton);
    QTest::mouseRelease(combo->lineEdit(), Qt::MiddleButton);
    QCOMPARE(doubleClicks.size(), 0);
    QTest::mouseDClick(combo->lineEdit(), Qt::LeftButton);
    QTest::mouseRelease(combo->lineEdit(), Qt::LeftButton);
    QCOMPARE(doubleClicks.size(), 1);
}

namespace {

// A drop-down of 20 entries "e0".."e19" (a page of 8 shown), its list open.
void FillAndOpen(TComboBox& combo)
{
    combo.SetText("Color Name");
    for (int i = 0; i < 20; ++i) {
        combo.AddItem(QStringLiteral("e%1").arg(i).toStdString());
    }
    combo.show();
    combo.setFocus();
    combo.showPopup();
    QTRY_VERIFY(combo.view()->isVisible());
}

} // namespace

void TstWindow::openListKeysSelect_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("changes"); // the index selected at each Change, in order

    QTest::newRow("Down from none, Down, Up")
        << QList<int> { Qt::Key_Down, Qt::Key_Down, Qt::Key_Up } << QList<int> { 0, 1, 0 };
    QTest::newRow("Up from none") << QList<int> { Qt::Key_Up } << QList<int> { 0 };
    QTest::newRow("End, Home") << QList<int> { Qt::Key_End, Qt::Key_Home } << QList<int> { 19, 0 };
    QTest::newRow("pages") << QList<int> { Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp }
                           << QList<int> { 6, 13, 6 };
    QTest::newRow("page stops at the ends")
        << QList<int> { Qt::Key_End, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp,
               Qt::Key_PageUp, Qt::Key_PageUp }
        << QList<int> { 19, 12, 5, 0 };
    QTest::newRow("no step past the ends runs nothing")
        << QList<int> { Qt::Key_Home, Qt::Key_Up, Qt::Key_End, Qt::Key_Down }
        << QList<int> { 0, 19 };
}

void TstWindow::openListKeysSelect()
{
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, changes);
    TComboBox combo(nullptr);
    FillAndOpen(combo);
    QList<int> seen;
    connect(&combo, &TComboBox::Change, this, [&] {
        // The text field already shows the entry when the change is reported.
        QCOMPARE(combo.Text(), combo.Item(combo.ItemIndex()));
        seen << combo.ItemIndex();
    });
    for (int key : keys) {
        QTest::keyClick(combo.view(), Qt::Key(key));
    }
    QCOMPARE(seen, changes);
    QVERIFY(combo.view()->isVisible());
    QCOMPARE(combo.view()->currentIndex().row(), changes.last());

    // Enter closes the list on the entry reached and reports nothing new.
    QTest::keyClick(combo.view(), Qt::Key_Return);
    QTRY_VERIFY(!combo.view()->isVisible());
    QCOMPARE(seen, changes);
    QCOMPARE(combo.ItemIndex(), changes.last());
    QCOMPARE(combo.Text(), combo.Item(changes.last()));
}

void TstWindow::openListHoverOnlyHighlights()
{
    TComboBox combo(nullptr);
    FillAndOpen(combo);
    QSignalSpy changes(&combo, &TComboBox::Change);
    QAbstractItemView* list = combo.view();
    QTest::mouseMove(list->viewport(), list->visualRect(list->model()->index(3, 0)).center());
    QTRY_COMPARE(list->currentIndex().row(), 3);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(combo.ItemIndex(), -1);
    QCOMPARE(combo.Text(), std::string("Color Name"));

    // The keys go on from the highlighted entry.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(combo.ItemIndex(), 4);
    QCOMPARE(combo.Text(), std::string("e4"));
}

void TstWindow::noLengthLimit()
{
    // 40,000 bytes, above Qt's default limit of 32767 characters, arrive whole by paste.
    const std::string long_text = std::string(39990, 'F') + "END" + std::string(7, '0');
    QApplication::clipboard()->setText(QString::fromStdString(long_text));
    for (QLineEdit* field : { static_cast<QLineEdit*>(Form().Edit1),
             static_cast<QLineEdit*>(Form().Edit2), static_cast<QLineEdit*>(Form().Edit3),
             static_cast<QLineEdit*>(Form().Edit4), Form().ComboBox1->lineEdit(),
             Form().ComboBox2->lineEdit() }) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(FromQString(field->text()), long_text);
    }
    QCOMPARE(Form().ComboBox2->Text().size(), std::size_t(40000));
    Form().Edit1->SetText(long_text + long_text);
    QCOMPARE(Form().Edit1->Text().size(), std::size_t(80000));
}

void TstWindow::selectingNamedColourRunsItsHandler()
{
    TComboBox* names = Form().ComboBox1;
    QCOMPARE(names->ItemCount(), 64);
    QCOMPARE(names->Item(0), std::string("aquamarine"));
    QCOMPARE(names->Item(63), std::string());
    names->setFocus();
    QTest::keyClick(names, Qt::Key_Down);
    QCOMPARE(names->Text(), std::string("aquamarine"));
    QCOMPARE(Form().Edit1->Text(), std::string("70DB93"));
    QCOMPARE(Form().Edit2->Text(), std::string("112"));
}

void TstWindow::swatchPaintsFillAndOutline()
{
    TShape* swatch = Form().Shape1;
    auto pixels = [swatch] { return swatch->grab().toImage(); };
    QImage image = pixels();
    QCOMPARE(image.size(), QSize(65, 73));
    for (const QPoint corner : { QPoint(0, 0), QPoint(64, 0), QPoint(0, 72), QPoint(64, 72),
             QPoint(32, 0), QPoint(0, 36) }) {
        QCOMPARE(image.pixelColor(corner), QColor(Qt::black));
    }
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
    QCOMPARE(image.pixelColor(63, 71), QColor(Qt::white));

    swatch->SetBrushColor(0x000080FF); // orange, blue byte highest
    image = pixels();
    QCOMPARE(image.pixelColor(32, 36), QColor(255, 128, 0));
    QCOMPARE(image.pixelColor(64, 72), QColor(Qt::black));

    swatch->SetBrushColor(static_cast<TColor>(0x8000000F)); // the system's 3-D face colour
    QCOMPARE(pixels().pixelColor(32, 36), QColor(192, 192, 192));
}

void TstWindow::hintShowsAfterRestAndNotOnEdits()
{
    QTest::mouseMove(Form().Edit1);
    QTest::qWait(700);
    QVERIFY(!QToolTip::isVisible());

    QTest::mouseMove(Form().SpeedButton4);
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
    QCOMPARE(QToolTip::text(), U("HEX値をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ"));
    QTest::mouseMove(Form().Edit1);
    QTRY_VERIFY(!QToolTip::isVisible());
}


QTEST_MAIN(TstWindow)
#include "tst_window.moc"

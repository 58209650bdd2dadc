// The user colours on the real window: loading small settings files, registering, showing with a
// double-click and deleting, with the file's exact bytes checked after every command.

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QtTest>

#include "platform/codepage.h"
#include "platform/file_replace_p.h"
#include "settings/usercolor_store.h"
#include "tests/support/restore.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/window_on_file.h"
#include "ui/boxes_p.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

namespace fs = std::filesystem;

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

std::string NotAnInteger(const std::string& text)
{
    return "'" + text + "' " + Sjis(u8"は整数ではありません") + ".";
}

const std::string TwoColours = "[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n";

} // namespace

class TstUserColors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loads_data();
    void loads();
    void doubleClickShows_data();
    void doubleClickShows();
    void registers_data();
    void registers();
    void deleteAsks_data();
    void deleteAsks();
    void deleteAfterRegisterKeepsTheNewColour();
    void refusedDeleteChangesNothing();
    void closeReleasesTheList();

private:
    // Opens the window on a settings file holding bytes (none when bytes is null): the window's
    // settings component is pointed at the test's file and the load runs again.
    void Open(const QByteArray& bytes);
    std::string Stored() const { return m_window->Stored(); }
    void Select(TComboBox* box, int index);
    std::vector<std::string> Items() const;
    TForm1& Form() const { return m_window->Form(); }
    std::vector<BoxRequest>& Boxes() { return m_window->Boxes(); }

    std::optional<WindowOnFile> m_window;
};

void TstUserColors::init()
{
    m_window.emplace();
    CurrentHex = "PREV";
}

void TstUserColors::cleanup()
{
    m_window.reset();
}

void TstUserColors::Open(const QByteArray& bytes)
{
    if (!bytes.isNull()) {
        WriteBytes(m_window->Path(), bytes.toStdString());
    }
    m_window->Open();
    QVERIFY(QTest::qWaitForWindowExposed(&Form()));
}

void TstUserColors::Select(TComboBox* box, int index)
{
    box->setFocus();
    for (int i = 0; i <= index; ++i) {
        QTest::keyClick(box, Qt::Key_Down);
    }
    QCOMPARE(box->ItemIndex(), index);
}

std::vector<std::string> TstUserColors::Items() const
{
    std::vector<std::string> items;
    for (int i = 0; i < Form().ComboBox2->ItemCount(); ++i) {
        items.push_back(Form().ComboBox2->Item(i));
    }
    return items;
}

void TstUserColors::loads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArrayList>("items"); // CP932
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("box"); // the notice shown at start, if any

    const std::string name1017(1017, 'n');
    QTest::newRow("no file") << QByteArray() << QByteArrayList {} << 0 << QByteArray();
    QTest::newRow("no section") << QByteArray("[Other]\r\nk=v\r\n") << QByteArrayList {} << 0
                                << QByteArray();
    QTest::newRow("count 0") << QByteArray("[Usercolor]\r\nUsercolcnt=0\r\n1=AAAAAAa\r\n")
                             << QByteArrayList {} << 0 << QByteArray();
    QTest::newRow("count 2, only key 1")
        << QByteArray("[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n")
        << QByteArrayList { "orange", "" } << 2 << QByteArray();
    QTest::newRow("count -3") << QByteArray("[Usercolor]\r\nUsercolcnt=-3\r\n1=AAAAAAa\r\n")
                              << QByteArrayList {} << -3 << QByteArray();
    QTest::newRow("count 0x2") << QByteArray(
        Bytes("[Usercolor]\r\nUsercolcnt=0x2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n"))
                               << QByteArrayList { "a", "b" } << 2 << QByteArray();
    QTest::newRow("short entries")
        << QByteArray("[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000\r\n2=FF80\r\n3=FF8000x\r\n")
        << QByteArrayList { "", "", "x" } << 3 << QByteArray();
    QTest::newRow("Japanese name")
        << QByteArray("[Usercolor]\r\nUsercolcnt=1\r\n1=87CEEB\x8B\xF3\x90\x46\r\n")
        << QByteArrayList { "\x8B\xF3\x90\x46" } << 1 << QByteArray();
    QTest::newRow("entry over 1023 bytes")
        << Bytes("[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000" + name1017 + "tail\r\n")
        << QByteArrayList { Bytes(name1017) } << 1 << QByteArray();
    QTest::newRow("damaged count")
        << QByteArray("[Usercolor]\r\nUsercolcnt=2147483647\r\n1=AAAAAAa\r\n3=CCCCCCc\r\n")
        << QByteArrayList { "a", "", "c" } << 3
        << Bytes(Sjis(
               u8"設定ファイルの色の数（Usercolcnt=2147483647）が多すぎるため、実際に保存されて"
               u8"いる3色を読み込みました。このまま使えます。"));
}

void TstUserColors::loads()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArrayList, items);
    QFETCH(int, count);
    QFETCH(QByteArray, box);

    Open(file);
    std::vector<std::string> expected;
    for (const QByteArray& item : items) {
        expected.push_back(item.toStdString());
    }
    QCOMPARE(Items(), expected);
    QVERIFY(UserColorList);
    QCOMPARE(UserColorList->size(), expected.size());
    QCOMPARE(UserColorCount, count);
    QCOMPARE(Form().ComboBox2->Text(), std::string("User Color"));
    QCOMPARE(Form().ComboBox2->ItemIndex(), -1);
    if (box.isEmpty()) {
        QCOMPARE(Boxes().size(), std::size_t(0));
    } else {
        QCOMPARE(Boxes().size(), std::size_t(1));
        QCOMPARE(Boxes()[0].kind, BoxRequest::Information);
        QCOMPARE(Bytes(Boxes()[0].text), box);
    }
    QCOMPARE(Bytes(Stored()), file); // loading never writes
}

void TstUserColors::doubleClickShows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("after"); // HEX, R, G, B
    QTest::addColumn<int>("swatch");
    QTest::addColumn<QByteArray>("box");

    const QByteArray error = Bytes(NotAnInteger("$"));
    QTest::newRow("six digits and a name")
        << 0 << QStringList { "FF8000", "255", "128", "0" } << 0x000080FF << QByteArray();
    QTest::newRow("four bytes: blue fails")
        << 1 << QStringList { "FF80", "255", "128", "b" } << 0x00FFFFFF << error;
    QTest::newRow("Japanese name")
        << 2 << QStringList { "87CEEB", "135", "206", "235" } << 0x00EBCE87 << QByteArray();
    QTest::newRow("long code cut at byte 6")
        << 3 << QStringList { "100000", "16", "0", "0" } << 0x00000010 << QByteArray();
    QTest::newRow("empty entry") << 4 << QStringList { "", "r", "g", "b" } << 0x00FFFFFF << error;
    QTest::newRow("nothing selected") << -1 << QStringList { "", "r", "g", "b" } << 0x00FFFFFF
                                      << Bytes(Sjis(u8"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (-1)"));
}

void TstUserColors::doubleClickShows()
{
    QFETCH(int, index);
    QFETCH(QStringList, after);
    QFETCH(int, swatch);
    QFETCH(QByteArray, box);

    Open("[Usercolor]\r\nUsercolcnt=5\r\n1=FF8000orange\r\n2=FF80\r\n3=87CEEB\x8B\xF3\x90\x46\r\n"
         "4=1000000sea\r\n");
    QCOMPARE(Items(), (std::vector<std::string> { "orange", "", "\x8B\xF3\x90\x46", "0sea", "" }));
    Form().Edit2->SetText("r");
    Form().Edit3->SetText("g");
    Form().Edit4->SetText("b");
    if (index >= 0) {
        Select(Form().ComboBox2, index);
    }
    QTest::mouseDClick(Form().ComboBox2->lineEdit(), Qt::LeftButton);

    TEdit* const boxes[] = { Form().Edit1, Form().Edit2, Form().Edit3, Form().Edit4 };
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(QString::fromStdString(boxes[i]->Text()), after[i]);
    }
    QCOMPARE(Form().Shape1->BrushColor(), swatch);
    QCOMPARE(CurrentHex, std::string("PREV"));
    QCOMPARE(Boxes().size(), std::size_t(box.isEmpty() ? 0 : 1));
    if (!box.isEmpty()) {
        QCOMPARE(Bytes(Boxes()[0].text), box);
    }
}

void TstUserColors::registers_data()
{
    QTest::addColumn<QByteArray>("currentHex");
    // empty: the box's own text is left; "-": emptied; a text with a line end or outside the
    // basic plane goes in as a paste puts it, any other as typed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal"); // the box as shown
    QTest::addColumn<QByteArray>("after");

    const QString showFirst = QString::fromUtf8(u8"色を表示してから登録してね");
    const QString nameFirst = QString::fromUtf8(u8"色に名前をつけてから登録してね");
    // The refusal quotes the first character the file cannot hold, a surrogate pair whole.
    auto cannotHold = [](const char8_t* character) {
        return QString::fromUtf8(u8"名前に使えない文字（") + QString::fromUtf8(character)
            + QString::fromUtf8(u8"）が含まれています。\nこの文字を除いてから、もう一度「登録」を"
                                u8"クリックしてください。");
    };
    const QByteArray unchanged = Bytes(TwoColours);
    QTest::newRow("no colour shown yet") << QByteArray("") << "mine" << showFirst << unchanged;
    QTest::newRow("empty name") << QByteArray("FF8000") << "-" << nameFirst << unchanged;
    QTest::newRow("User Color") << QByteArray("FF8000") << "" << nameFirst << unchanged;
    QTest::newRow("user color")
        << QByteArray("FF8000") << "user color" << QString()
        << QByteArray(
               "[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3=FF8000user color\r\n");
    QTest::newRow("Japanese name")
        << QByteArray("87CEEB") << QString::fromUtf8(u8"空色") << QString()
        << QByteArray("[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3="
                      "87CEEB\x8B\xF3\x90\x46\r\n");
    // The checks look at the name that would be stored: up to its first line end, in CP932.
    QTest::newRow("line end first") << QByteArray("FF8000") << "\nabc" << nameFirst << unchanged;
    QTest::newRow("User Color, line end")
        << QByteArray("FF8000") << "User Color\r\nx" << nameFirst << unchanged;
    QTest::newRow("accented letter")
        << QByteArray("FF8000") << QString::fromUtf8(u8"Café") << cannotHold(u8"é") << unchanged;
    QTest::newRow("emoji") << QByteArray("FF8000") << QString::fromUtf8(u8"空\U0001F3A8")
                           << cannotHold(u8"\U0001F3A8") << unchanged;
    QTest::newRow("empty before the accented letter")
        << QByteArray("FF8000") << QString::fromUtf8(u8"\nCafé") << nameFirst << unchanged;
    QTest::newRow("accented letter after the line end")
        << QByteArray("FF8000") << QString::fromUtf8(u8"sea\nCafé") << QString()
        << QByteArray("[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3=FF8000sea\r\n");
    QTest::newRow("code longer than six digits")
        << QByteArray("1000000") << "sea" << QString()
        << QByteArray("[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3=1000000sea\r\n");
}

void TstUserColors::registers()
{
    QFETCH(QByteArray, currentHex);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, after);

    Open(Bytes(TwoColours));
    CurrentHex = currentHex.toStdString();
    TComboBox* box = Form().ComboBox2;
    if (typed == "-") {
        box->SetText(std::string());
    } else if (!typed.isEmpty()) {
        box->setFocus();
        box->lineEdit()->selectAll();
        const bool pasted = typed.contains(QLatin1Char('\n')) || typed.contains(QLatin1Char('\r'))
            || std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.isSurrogate(); });
        if (pasted) {
            box->lineEdit()->insert(typed);
        } else {
            // Key events carrying the text, as an input method delivers Japanese.
            for (const QChar c : typed) {
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
        QCOMPARE(box->currentText(), typed);
    }
    const std::string name = box->Text();
    QTest::mouseClick(Form().Button4, Qt::LeftButton);

    QCOMPARE(Bytes(Stored()), after);
    if (refusal.isEmpty()) {
        QCOMPARE(Boxes().size(), std::size_t(0));
        QCOMPARE(UserColorCount, 3);
    } else {
        QCOMPARE(Boxes().size(), std::size_t(1));
        QCOMPARE(Boxes()[0].kind, BoxRequest::Information);
        const BoxRequest& shown = Boxes()[0];
        QCOMPARE(shown.wide.isNull() ? ToQString(shown.text) : shown.wide, refusal);
        QCOMPARE(UserColorCount, 2);
    }
    // The list, the drop-down and the display stay as they were.
    QCOMPARE(Items(), (std::vector<std::string> { "a", "b" }));
    QCOMPARE(UserColorList->size(), std::size_t(2));
    QCOMPARE(box->Text(), name);
    QCOMPARE(CurrentHex, currentHex.toStdString());
}

void TstUserColors::deleteAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << idYes;
    QTest::newRow("No") << idNo;
    QTest::newRow("Cancel or close box") << idCancel;
}

void TstUserColors::deleteAsks()
{
    QFETCH(int, answer);
    const std::string file = "[Other]\r\nk=v\r\n[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n"
                             "2=87CEEB\x8B\xF3\x90\x46\r\n3=336699sea\r\n";
    Open(Bytes(file));
    Select(Form().ComboBox2, 1);
    QTest::mouseDClick(Form().ComboBox2->lineEdit(), Qt::LeftButton);
    m_window->Answer(answer);
    QTest::mouseClick(Form().Button5, Qt::LeftButton);

    QCOMPARE(Boxes().size(), std::size_t(1));
    QCOMPARE(Boxes()[0].kind, BoxRequest::Warning);
    QCOMPARE(Boxes()[0].text, Sjis(u8"表示しているユーザカラーを削除しますよ"));
    QCOMPARE(Boxes()[0].buttons, BoxButtons(mbYes | mbNo | mbCancel));
    QCOMPARE(CurrentHex, std::string("PREV"));
    if (answer != idYes) {
        QCOMPARE(Stored(), file);
        QCOMPARE(Items().size(), std::size_t(3));
        QCOMPARE(Form().Edit1->Text(), std::string("87CEEB"));
        QCOMPARE(Form().ComboBox2->ItemIndex(), 1);
        return;
    }
    QCOMPARE(
        Stored(), std::string("[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n2=336699sea\r\n"));
    QCOMPARE(Items(), (std::vector<std::string> { "orange", "sea" }));
    QCOMPARE(*UserColorList, (TStringList { "FF8000orange", "336699sea" }));
    QCOMPARE(UserColorCount, 2);
    for (TEdit* box : { Form().Edit1, Form().Edit2, Form().Edit3, Form().Edit4 }) {
        QCOMPARE(box->Text(), std::string());
    }
    QCOMPARE(Form().Shape1->BrushColor(), 0x00FFFFFF);
    QCOMPARE(Form().ComboBox1->Text(), std::string("Color Name"));
    QCOMPARE(Form().ComboBox2->Text(), std::string("User Color"));
    QCOMPARE(Form().ComboBox2->ItemIndex(), -1);

    // Delete again with nothing selected: the question, then the list index error.
    Boxes().clear();
    QTest::mouseClick(Form().Button5, Qt::LeftButton);
    QCOMPARE(Boxes().size(), std::size_t(2));
    QCOMPARE(Boxes()[1].text, Sjis(u8"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (-1)"));
    QCOMPARE(Items().size(), std::size_t(2));
}

void TstUserColors::deleteAfterRegisterKeepsTheNewColour()
{
    Open(Bytes(TwoColours));
    CurrentHex = "FF8000";
    Form().ComboBox2->SetText("mine");
    QTest::mouseClick(Form().Button4, Qt::LeftButton);
    QCOMPARE(Items().size(), std::size_t(2));

    m_window->Answer(idYes);
    Select(Form().ComboBox2, 0);
    QTest::mouseClick(Form().Button5, Qt::LeftButton);

    QCOMPARE(Stored(), std::string("[Usercolor]\r\nUsercolcnt=2\r\n1=BBBBBBb\r\n2=FF8000mine\r\n"));
    QCOMPARE(Items(), (std::vector<std::string> { "b", "mine" }));
    QCOMPARE(*UserColorList, (TStringList { "BBBBBBb", "FF8000mine" }));
    QCOMPARE(UserColorCount, 2);
    QCOMPARE(Boxes().size(), std::size_t(1)); // the question only
}

void TstUserColors::refusedDeleteChangesNothing()
{
    Open(Bytes(TwoColours));
    const Restore keep(RenameForReplace());
    RenameForReplace() = [](const char*, const char*) { return -1; };
    m_window->Answer(idYes);
    Select(Form().ComboBox2, 0);
    Form().Edit1->SetText("FF8000");
    QTest::mouseClick(Form().Button5, Qt::LeftButton);

    QCOMPARE(Boxes().size(), std::size_t(2));
    QCOMPARE(Boxes()[1].kind, BoxRequest::Error);
    QCOMPARE(Boxes()[1].text, m_window->Path() + Sjis(u8" に書き込めません."));
    QCOMPARE(Stored(), TwoColours);
    // Nothing beside the settings file but its lock file, which stays for the next write.
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_window->Dir()))
        files.insert(entry.path().filename().string());
    QCOMPARE(files, (std::set<std::string> { ".Tintora.ini.lock", "Tintora.ini" }));
    QCOMPARE(Items(), (std::vector<std::string> { "a", "b" }));
    QCOMPARE(*UserColorList, (TStringList { "AAAAAAa", "BBBBBBb" }));
    QCOMPARE(UserColorCount, 2);
    QCOMPARE(Form().Edit1->Text(), std::string("FF8000"));
}

void TstUserColors::closeReleasesTheList()
{
    Open(Bytes(TwoColours));
    QVERIFY(UserColorList);
    Form().close();
    QVERIFY(!UserColorList);
    QCOMPARE(Stored(), TwoColours);
}

QTEST_MAIN(TstUserColors)
#include "tst_usercolors.moc"

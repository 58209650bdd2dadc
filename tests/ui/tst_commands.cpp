// The colour display commands: colour to RGB values, RGB values to colour, the colour dialog and
// clear, driven by clicks on the real window with the boxes and the colour dialog answered here.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QtTest>

#include "platform/codepage.h"
#include "ui/boxes_p.h"
#include "ui/colordialog.h"
#include "ui/colordialog_p.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

// The exception box's text for a conversion error: the message and the appended ".".
std::string NotAnInteger(const std::string& text)
{
    return "'" + text + "' " + Sjis(u8"は整数ではありません") + ".";
}

enum Command { ColourToRgb, RgbToColour, ColourDialog };

} // namespace

class TstCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsColour_data();
    void showsColour();
    void clearKeepsCurrentHexAndRunsNoHandler();
    void dialogStartsFromLastChosenColour();

private:
    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    std::unique_ptr<TForm1> m_form;
    std::vector<BoxRequest> m_boxes;
    std::optional<DWORD> m_dialogAnswer; // empty: the dialog is cancelled
    std::vector<DWORD> m_dialogStarts;
};

void TstCommands::init()
{
    m_boxes.clear();
    m_dialogStarts.clear();
    m_dialogAnswer.reset();
    BoxAnswerHook() = [this](const BoxRequest& request) {
        m_boxes.push_back(request);
        return idOK;
    };
    ChooseColorHook() = [this](CHOOSECOLORA* record) {
        m_dialogStarts.push_back(record->rgbResult);
        if (!m_dialogAnswer) {
            return BOOL { 0 };
        }
        record->rgbResult = *m_dialogAnswer;
        return BOOL { 1 };
    };
    CurrentHex = "PREV";
    m_form = std::make_unique<TForm1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TstCommands::cleanup()
{
    m_form.reset();
    BoxAnswerHook() = nullptr;
    ChooseColorHook() = nullptr;
    CurrentHex.clear();
}

void TstCommands::showsColour_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("before"); // HEX, R, G, B
    QTest::addColumn<int>("dialog"); // -1: cancelled, else the colour chosen (0x00BBGGRR)
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("swatch"); // 0x00BBGGRR
    QTest::addColumn<QString>("currentHex");
    QTest::addColumn<QString>("box"); // what a box showed, UTF-8; empty for none

    const QString error = QString::fromStdString(Cp932ToUtf8(NotAnInteger("$")));
    auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

    row("typed code") << int(ColourToRgb) << QStringList { "FF8000", "r", "g", "b" } << -1
                      << QStringList { "FF8000", "255", "128", "0" } << 0x000080FF << "PREV"
                      << "";
    row("lower case code") << int(ColourToRgb) << QStringList { "ff8000", "r", "g", "b" } << -1
                           << QStringList { "ff8000", "255", "128", "0" } << 0x000080FF << "PREV"
                           << "";
    row("four digits: blue fails")
        << int(ColourToRgb) << QStringList { "FF80", "r", "g", "b" } << -1
        << QStringList { "FF80", "255", "128", "b" } << 0x0080FF00 << "PREV" << error;
    row("two digits: green fails")
        << int(ColourToRgb) << QStringList { "FF", "r", "g", "b" } << -1
        << QStringList { "FF", "255", "g", "b" } << 0x00FF0000 << "PREV" << error;
    row("eight digits") << int(ColourToRgb) << QStringList { "FF8000AB", "r", "g", "b" } << -1
                        << QStringList { "FF8000AB", "255", "128", "0" } << 0x00AB0080 << "PREV"
                        << "";
    row("leading blank") << int(ColourToRgb) << QStringList { " FF8000", "r", "g", "b" } << -1
                         << QStringList { " FF8000", "r", "g", "b" } << 0 << "PREV"
                         << QString::fromStdString(Cp932ToUtf8(NotAnInteger("$ F")));
    row("not hexadecimal") << int(ColourToRgb) << QStringList { "GG0000", "r", "g", "b" } << -1
                           << QStringList { "GG0000", "r", "g", "b" } << 0 << "PREV"
                           << QString::fromStdString(Cp932ToUtf8(NotAnInteger("$GG")));
    row("empty HEX, dialog OK") << int(ColourToRgb) << QStringList { "", "r", "g", "b" }
                                << 0x00996633 << QStringList { "336699", "51", "102", "153" }
                                << 0x00996633 << "336699"
                                << "";
    row("empty HEX, dialog cancelled")
        << int(ColourToRgb) << QStringList { "", "r", "g", "b" } << -1
        << QStringList { "", "r", "g", "b" } << 0x00FFFFFF << "PREV" << error;

    row("HEX box wins over R, G, B")
        << int(RgbToColour) << QStringList { "FF8000", "1", "2", "3" } << -1
        << QStringList { "FF8000", "255", "128", "0" } << 0x000080FF << "PREV"
        << "";
    row("007, +128, $FF") << int(RgbToColour) << QStringList { "", "007", "+128", "$FF" } << -1
                          << QStringList { "0780FF", "7", "128", "255" } << 0x00FF8007 << "0780FF"
                          << "";
    row("256, 0, 0") << int(RgbToColour) << QStringList { "", "256", "0", "0" } << -1
                     << QStringList { "1000000", "16", "0", "0" } << 0 << "1000000"
                     << "";
    row("-1, 0, 0") << int(RgbToColour) << QStringList { "", "-1", "0", "0" } << -1
                    << QStringList { "FFFFFFFF0000", "255", "255", "255" } << 0 << "FFFFFFFF0000"
                    << "";
    const QString putCode = QString::fromUtf8(u8"何かコードいれてね");
    row("empty G box") << int(RgbToColour) << QStringList { "", "1", "", "" } << -1
                       << QStringList { "", "1", "", "" } << 0x00FFFFFF << "PREV" << putCode;
    row("empty R box") << int(RgbToColour) << QStringList { "", "", "2", "3" } << -1
                       << QStringList { "", "", "2", "3" } << 0x00FFFFFF << "PREV" << putCode;
    row("12.5") << int(RgbToColour) << QStringList { "", "12.5", "0", "0" } << -1
                << QStringList { "", "12.5", "0", "0" } << 0x00FFFFFF << "PREV"
                << QString::fromStdString(Cp932ToUtf8(NotAnInteger("12.5")));
    row("blank passes the empty check")
        << int(RgbToColour) << QStringList { "", "0", " ", "0" } << -1
        << QStringList { "", "0", " ", "0" } << 0x00FFFFFF << "PREV"
        << QString::fromStdString(Cp932ToUtf8(NotAnInteger(" ")));

    row("dialog OK replaces the HEX box")
        << int(ColourDialog) << QStringList { "zz", "r", "g", "b" } << 0x00996633
        << QStringList { "336699", "51", "102", "153" } << 0x00996633 << "336699"
        << "";
    row("dialog cancelled") << int(ColourDialog) << QStringList { "zz", "r", "g", "b" } << -1
                            << QStringList { "zz", "r", "g", "b" } << 0x00FFFFFF << "PREV"
                            << "";
}

void TstCommands::showsColour()
{
    QFETCH(int, command);
    QFETCH(QStringList, before);
    QFETCH(int, dialog);
    QFETCH(QStringList, after);
    QFETCH(int, swatch);
    QFETCH(QString, currentHex);
    QFETCH(QString, box);

    TEdit* const boxes[] = { m_form->Edit1, m_form->Edit2, m_form->Edit3, m_form->Edit4 };
    for (int i = 0; i < 4; ++i) {
        boxes[i]->SetText(before[i].toStdString());
    }
    if (dialog >= 0) {
        m_dialogAnswer = DWORD(dialog);
    }

    QAbstractButton* const buttons[] = { m_form->Button1, m_form->Button2, m_form->SpeedButton2 };
    Click(buttons[command]);

    for (int i = 0; i < 4; ++i) {
        QCOMPARE(QString::fromStdString(boxes[i]->Text()), after[i]);
    }
    QCOMPARE(m_form->Shape1->BrushColor(), swatch);
    QCOMPARE(QString::fromStdString(CurrentHex), currentHex);
    if (box.isEmpty()) {
        QCOMPARE(m_boxes.size(), std::size_t(0));
    } else {
        QCOMPARE(m_boxes.size(), std::size_t(1));
        QCOMPARE(ToQString(m_boxes[0].text), box);
    }
}

void TstCommands::clearKeepsCurrentHexAndRunsNoHandler()
{
    // Show a named colour first, so that CurrentHex and the drop-down's selection are set.
    m_form->ComboBox1->setFocus();
    QTest::keyClick(m_form->ComboBox1, Qt::Key_Down);
    QCOMPARE(CurrentHex, std::string("70DB93"));
    m_form->ComboBox2->SetText("mine");

    Click(m_form->Button3);

    for (TEdit* box : { m_form->Edit1, m_form->Edit2, m_form->Edit3, m_form->Edit4 }) {
        QCOMPARE(box->Text(), std::string());
    }
    QCOMPARE(m_form->Shape1->BrushColor(), 0x00FFFFFF);
    QCOMPARE(m_form->ComboBox1->Text(), std::string("Color Name"));
    QCOMPARE(m_form->ComboBox2->Text(), std::string("User Color"));
    QCOMPARE(m_form->ComboBox1->ItemIndex(), -1);
    QCOMPARE(m_form->ComboBox1->ItemCount(), 64);
    QCOMPARE(CurrentHex, std::string("70DB93"));
    QCOMPARE(m_boxes.size(), std::size_t(0)); // the named colour handler did not run
}

void TstCommands::dialogStartsFromLastChosenColour()
{
    m_form->Edit1->SetText("FF8000");
    m_dialogAnswer = 0x00996633;
    Click(m_form->SpeedButton2); // starts white although the HEX box shows orange
    m_dialogAnswer.reset();
    m_form->Edit1->SetText(std::string());
    Click(m_form->Button1); // starts at the colour chosen, is cancelled
    Click(m_form->SpeedButton2);
    QCOMPARE(m_dialogStarts, (std::vector<DWORD> { 0x00FFFFFF, 0x00996633, 0x00996633 }));
}

QTEST_MAIN(TstCommands)
#include "tst_commands.moc"

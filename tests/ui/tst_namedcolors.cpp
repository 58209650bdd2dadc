// The named colour list: every entry shows its code and components when the user selects it,
// typing into the list's text field never looks the text up, and program-written text runs nothing.

#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QtTest>

#include "platform/codepage.h"
#include "ui/boxes_p.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

struct Row
{
    const char* name;
    const char* hex;
    int red, green, blue;
};

const Row Table[] = {
    { "aquamarine", "70DB93", 112, 219, 147 },
    { "madium aquamarine", "32CC99", 50, 204, 153 },
    { "black", "000000", 0, 0, 0 },
    { "blue", "0000FF", 0, 0, 255 },
    { "cadet blue", "5F9F9F", 95, 159, 159 },
    { "cornflower blue", "42426F", 66, 66, 111 },
    { "dark slate blue", "6B23BE", 107, 35, 190 },
    { "light blue", "BFD8D8", 191, 216, 216 },
    { "light steel blue", "8F8FBC", 143, 143, 188 },
    { "medium blue", "3232CC", 50, 50, 204 },
    { "medium slate blue", "7F00FF", 127, 0, 255 },
    { "midnight blue", "2F2F4F", 47, 47, 79 },
    { "navy blue", "23238E", 35, 35, 142 },
    { "sky blue", "3299CC", 50, 153, 204 },
    { "slate blue", "007FFF", 0, 127, 255 },
    { "firebrick", "8E2323", 142, 35, 35 },
    { "brown", "A52A2A", 165, 42, 42 },
    { "gold", "CC7F32", 204, 127, 50 },
    { "goldenrod", "DBDB70", 219, 219, 112 },
    { "mediumgoldenrod", "EAEAAD", 234, 234, 173 },
    { "green", "00FF00", 0, 255, 0 },
    { "dark green", "2F4F2F", 47, 79, 47 },
    { "dark olive green", "4F4F2F", 79, 79, 47 },
    { "forest green", "238E23", 35, 142, 35 },
    { "lime green", "32CC32", 50, 204, 50 },
    { "medium forest green", "6B8E23", 107, 142, 35 },
    { "medium sea green", "426F42", 66, 111, 66 },
    { "medium spring green", "7FFF00", 127, 255, 0 },
    { "pale green", "8FBC8F", 143, 188, 143 },
    { "sea green", "238E6B", 35, 142, 107 },
    { "spring green", "00FF7F", 0, 255, 127 },
    { "yellow green", "99CC32", 153, 204, 50 },
    { "dark slate grey", "2F4F4F", 47, 79, 79 },
    { "dim grey", "545454", 84, 84, 84 },
    { "light grey", "A8A8A8", 168, 168, 168 },
    { "grey", "C0C0C0", 192, 192, 192 },
    { "khaki", "9F9F5F", 159, 159, 95 },
    { "magenta", "FF00FF", 255, 0, 255 },
    { "maroom", "8E236B", 142, 35, 107 },
    { "orange", "FFA500", 255, 165, 0 },
    { "orchid", "DB70DB", 219, 112, 219 },
    { "dark orchid", "9932CC", 153, 50, 204 },
    { "medium orchid", "9370DB", 147, 112, 219 },
    { "pink", "BC8F8F", 188, 143, 143 },
    { "plum", "F3ADEA", 243, 173, 234 },
    { "red", "FF0000", 255, 0, 0 },
    { "indian red", "4F2F2F", 79, 47, 47 },
    { "medium violet red", "DB7093", 219, 112, 147 },
    { "orange red", "FF007F", 255, 0, 127 },
    { "violet red", "CC3299", 204, 50, 153 },
    { "salmon", "6F4242", 111, 66, 66 },
    { "sienna", "8E6B23", 142, 107, 35 },
    { "tan", "CD853F", 205, 133, 63 },
    { "thistle", "D8BFD8", 216, 191, 216 },
    { "turquoise", "ADEAEA", 173, 234, 234 },
    { "dark turquoise", "7093DB", 112, 147, 219 },
    { "medium turquise", "70DBDB", 112, 219, 219 },
    { "violet", "4F2F4F", 79, 47, 79 },
    { "blue violet", "9F5F9F", 159, 95, 159 },
    { "wheat", "D8D8BF", 216, 216, 191 },
    { "white", "FCFCFC", 252, 252, 252 },
    { "yellow", "FFFF00", 255, 255, 0 },
    { "green yellow", "93DB70", 147, 219, 112 },
};

std::string NoDigits()
{
    return "'$' " + Sjis(u8"は整数ではありません") + ".";
}

} // namespace

class TstNamedColors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void arrowKeysShowEachEntry_data();
    void arrowKeysShowEachEntry();
    void mouseSelectsAnEntry();
    void typingActsOnNoEntry();
    void openListEndReachesEmptyEntry();

private:
    void CheckShown(const Row& row);

    std::unique_ptr<TForm1> m_form;
    std::vector<std::string> m_boxes;
};

void TstNamedColors::init()
{
    m_boxes.clear();
    BoxAnswerHook() = [this](const BoxRequest& request) {
        m_boxes.push_back(request.text);
        return idOK;
    };
    CurrentHex.clear();
    m_form = std::make_unique<TForm1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->ComboBox1->setFocus();
}

void TstNamedColors::cleanup()
{
    m_form.reset();
    BoxAnswerHook() = nullptr;
    CurrentHex.clear();
}

void TstNamedColors::CheckShown(const Row& row)
{
    QCOMPARE(m_form->Edit1->Text(), std::string(row.hex));
    QCOMPARE(CurrentHex, std::string(row.hex));
    QCOMPARE(m_form->Edit2->Text(), std::to_string(row.red));
    QCOMPARE(m_form->Edit3->Text(), std::to_string(row.green));
    QCOMPARE(m_form->Edit4->Text(), std::to_string(row.blue));
    const QImage swatch = m_form->Shape1->grab().toImage();
    QCOMPARE(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2),
        QColor(row.red, row.green, row.blue));
}

void TstNamedColors::arrowKeysShowEachEntry_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(Table)); ++i) {
        QTest::newRow(Table[i].name) << i;
    }
    QTest::newRow("empty last entry") << int(std::size(Table));
}

void TstNamedColors::arrowKeysShowEachEntry()
{
    QFETCH(int, index);
    QCOMPARE(m_form->ComboBox1->Text(), std::string("Color Name"));
    QCOMPARE(m_form->ComboBox1->ItemCount(), 64);
    QCOMPARE(m_form->ComboBox1->maxVisibleItems(), 8);
    for (int i = 0; i <= index; ++i) {
        QTest::keyClick(m_form->ComboBox1, Qt::Key_Down);
    }
    QCOMPARE(m_form->ComboBox1->ItemIndex(), index);
    if (index < int(std::size(Table))) {
        QCOMPARE(m_form->ComboBox1->Text(), std::string(Table[index].name));
        CheckShown(Table[index]);
        QVERIFY(m_boxes.empty());
        return;
    }
    // The empty entry has no code: the HEX box and CurrentHex are emptied, the red piece fails,
    // and the boxes and the swatch keep the previous entry's colour.
    QCOMPARE(m_form->ComboBox1->Text(), std::string());
    QCOMPARE(m_boxes, std::vector<std::string> { NoDigits() });
    QCOMPARE(m_form->Edit1->Text(), std::string());
    QCOMPARE(CurrentHex, std::string());
    const Row& last = Table[std::size(Table) - 1];
    QCOMPARE(m_form->Edit2->Text(), std::to_string(last.red));
    QCOMPARE(m_form->Shape1->BrushColor(), 0x0070DB93);
}

void TstNamedColors::mouseSelectsAnEntry()
{
    TComboBox* box = m_form->ComboBox1;
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex white = view->model()->index(60, 0);
    view->scrollTo(white);
    const QPoint centre = view->visualRect(white).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(box->ItemIndex(), 60);
    CheckShown(Table[60]);
}

void TstNamedColors::typingActsOnNoEntry()
{
    TComboBox* box = m_form->ComboBox1;
    QTest::keyClick(box, Qt::Key_Down); // aquamarine
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, "red");
    // Every keystroke runs the handler with no entry selected; the text is never looked up.
    QCOMPARE(m_boxes, std::vector<std::string>(3, NoDigits()));
    QCOMPARE(box->Text(), std::string("red"));
    QCOMPARE(box->ItemIndex(), -1);
    QCOMPARE(m_form->Edit1->Text(), std::string());
    QCOMPARE(CurrentHex, std::string());
    QCOMPARE(m_form->Edit2->Text(), std::string("112"));
    QCOMPARE(m_form->Shape1->BrushColor(), 0x0093DB70);

    // Selecting an entry again acts on it.
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->ItemIndex(), 1);
    CheckShown(Table[1]);
}

void TstNamedColors::openListEndReachesEmptyEntry()
{
    // End in the open list runs the handler on the empty last entry at once; its error box
    // closes the list before it is shown.
    TComboBox* box = m_form->ComboBox1;
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    QTest::keyClick(box->view(), Qt::Key_Up);
    CheckShown(Table[0]);
    QTest::keyClick(box->view(), Qt::Key_End);
    QCOMPARE(box->ItemIndex(), 63);
    QCOMPARE(m_boxes, std::vector<std::string> { NoDigits() });
    QVERIFY(!box->view()->isVisible());
    QCOMPARE(m_form->Edit1->Text(), std::string());
}

QTEST_MAIN(TstNamedColors)
#include "tst_namedcolors.moc"

#include <array>
#include <functional>
#include <map>
#include <string>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/colordialog.h"
#include "ui/colordialog_p.h"

namespace {

using Slots = std::array<DWORD, 16>;
using Names = std::map<std::string, std::string>;

// A home of the test's own: nothing the dialog does may leave a file in it.
QTemporaryDir& Home()
{
    static QTemporaryDir dir;
    return dir;
}

QStringList FilesUnder(const QString& path)
{
    QStringList files;
    QDirIterator it(
        path, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// What the dialog was handed.
struct Offer
{
    DWORD size = 0;
    DWORD flags = 0;
    DWORD start = 0;
    Slots custom {};
    std::function<void(int&, int&, int, int, int, int)> place;
};

Names AllUnsetBut(std::map<std::string, std::string> set)
{
    Names names;
    for (char letter = 'A'; letter <= 'P'; ++letter)
        names[std::string("Color") + letter] = "FFFFFFFF";
    for (const auto& [name, value] : set)
        names[name] = value;
    return names;
}

// Runs action on Qt's colour dialog once its own event loop is running; closes it should the
// action leave it open.
void WhenDialogOpens(std::function<void(QColorDialog*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QPointer<QColorDialog> dialog =
            qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog || QApplication::activeWindow() != dialog)
            return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}

QPushButton* ButtonWithText(QWidget* parent, const QString& text)
{
    for (auto* button : parent->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

bool HasLabel(QWidget* parent, const QString& text)
{
    for (auto* label : parent->findChildren<QLabel*>()) {
        if (label->text() == text)
            return true;
    }
    return false;
}

} // namespace

class TestColorDialog : public QObject
{
    Q_OBJECT

public:
    // Before the application exists: the user's configuration, data and cache all go to a
    // temporary home, so the test can see whether anything was written there.
    static void initMain()
    {
        const QByteArray home = Home().path().toLocal8Bit();
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", home + "/.config");
        qputenv("XDG_DATA_HOME", home + "/.local/share");
        qputenv("XDG_CACHE_HOME", home + "/.cache");
    }

private slots:
    void cleanup();
    void firstDialogStartsAtWhiteWithUnsetSlots();
    void okStoresColourAndEverySlot();
    void nextDialogStartsFromTheStoredChoice();
    void cancelChangesNothing();
    void systemColourStartsAtItsCurrentValue();
    void placement_data();
    void placement();
    void realDialogSpeaksJapaneseAndSitsInPlace();
    void realDialogOkGivesChoiceAndWritesNoFile();
    void realDialogEscKeepsEverything();
};

void TestColorDialog::cleanup()
{
    ChooseColorHook() = nullptr;
    QCOMPARE(FilesUnder(Home().path()), QStringList());
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
}

namespace {

// Installs a hook that records the offer into *offer and answers with answer.
void Answer(Offer* offer, std::function<BOOL(CHOOSECOLORA&)> answer)
{
    ChooseColorHook() = [offer, answer](CHOOSECOLORA* record) {
        offer->size = record->lStructSize;
        offer->flags = record->Flags;
        offer->start = record->rgbResult;
        std::copy_n(record->lpCustColors, 16, offer->custom.begin());
        offer->place = record->lpfnHook;
        return answer(*record);
    };
}

BOOL Cancel(CHOOSECOLORA&)
{
    return 0;
}

} // namespace

void TestColorDialog::firstDialogStartsAtWhiteWithUnsetSlots()
{
    TColorDialog dialog(nullptr);
    Offer offer;
    Answer(&offer, Cancel);

    QVERIFY(!dialog.RunDialog());
    QCOMPARE(offer.size, DWORD(36));
    QCOMPARE(offer.flags, DWORD(0x11));
    QCOMPARE(offer.start, DWORD(0x00FFFFFF));
    for (DWORD slot : offer.custom)
        QCOMPARE(slot, DWORD(0xFFFFFFFF));
    QVERIFY(offer.place);
}

void TestColorDialog::okStoresColourAndEverySlot()
{
    TColorDialog dialog(nullptr);
    Offer offer;
    Answer(&offer, [](CHOOSECOLORA& record) {
        record.rgbResult = 0x00332211;
        record.lpCustColors[0] = 0x00563412;
        record.lpCustColors[2] = 0x000000FF;
        record.lpCustColors[15] = 0x00000000;
        return 1;
    });

    QVERIFY(dialog.RunDialog());
    QCOMPARE(dialog.Color, TColor(0x00332211));
    QCOMPARE(dialog.CustomColors,
        AllUnsetBut({ { "ColorA", "563412" }, { "ColorC", "0000FF" }, { "ColorP", "000000" } }));
}

void TestColorDialog::nextDialogStartsFromTheStoredChoice()
{
    TColorDialog dialog(nullptr);
    dialog.Color = 0x00332211;
    dialog.CustomColors = AllUnsetBut({ { "ColorA", "563412" }, { "ColorP", "000000" } });
    Offer offer;
    Answer(&offer, [](CHOOSECOLORA&) { return 1; });

    QVERIFY(dialog.RunDialog());
    QCOMPARE(offer.start, DWORD(0x00332211));
    Slots expected;
    expected.fill(0xFFFFFFFF); // stored as the text FFFFFFFF, handed over as all bits set
    expected[0] = 0x00563412;
    expected[15] = 0x00000000;
    QCOMPARE(offer.custom, expected);
    QCOMPARE(dialog.CustomColors, AllUnsetBut({ { "ColorA", "563412" }, { "ColorP", "000000" } }));

    // A name that is missing or empty is an unset slot as well.
    dialog.CustomColors = { { "ColorB", "" }, { "ColorC", "ABCDEF" } };
    QVERIFY(dialog.RunDialog());
    expected.fill(0xFFFFFFFF);
    expected[2] = 0x00ABCDEF;
    QCOMPARE(offer.custom, expected);
}

void TestColorDialog::cancelChangesNothing()
{
    TColorDialog dialog(nullptr);
    dialog.Color = 0x00102030;
    dialog.CustomColors = AllUnsetBut({ { "ColorD", "445566" } });
    const Names before = dialog.CustomColors;
    Offer offer;
    Answer(&offer, [](CHOOSECOLORA& record) {
        record.rgbResult = 0x00000000;
        record.lpCustColors[0] = 0x00112233;
        return 0;
    });

    QVERIFY(!dialog.RunDialog());
    QCOMPARE(dialog.Color, TColor(0x00102030));
    QCOMPARE(dialog.CustomColors, before);
}

void TestColorDialog::systemColourStartsAtItsCurrentValue()
{
    TColorDialog dialog(nullptr);
    dialog.Color = TColor(0x8000000F); // the 3-D face colour
    Offer offer;
    Answer(&offer, Cancel);
    QVERIFY(!dialog.RunDialog());
    QCOMPARE(offer.start, DWORD(0x00C0C0C0));
}

void TestColorDialog::placement_data()
{
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("even") << QSize(400, 300) << QSize(1024, 768) << QPoint(312, 156);
    QTest::newRow("odd, truncated") << QSize(401, 301) << QSize(1024, 768) << QPoint(311, 155);
    QTest::newRow("larger than the screen, toward zero")
        << QSize(1100, 800) << QSize(1024, 768) << QPoint(-38, -10);
}

void TestColorDialog::placement()
{
    QFETCH(QSize, dialog);
    QFETCH(QSize, screen);
    QFETCH(QPoint, expected);

    TColorDialog component(nullptr);
    Offer offer;
    Answer(&offer, Cancel);
    component.RunDialog();
    QVERIFY(offer.place);

    int x = 7;
    int y = 9;
    offer.place(x, y, dialog.width(), dialog.height(), screen.width(), screen.height());
    QCOMPARE(QPoint(x, y), expected);
}

void TestColorDialog::realDialogSpeaksJapaneseAndSitsInPlace()
{
    TColorDialog component(nullptr);
    bool checked = false;
    WhenDialogOpens([&](QColorDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("色を選択"));
        QVERIFY(HasLabel(dialog, QStringLiteral("基本カラー(&B)")));
        QVERIFY(HasLabel(dialog, QStringLiteral("カスタムカラー(&C)")));
        QVERIFY(ButtonWithText(dialog, QStringLiteral("カスタムカラーに追加(&A)")));
        auto* box = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(box);
        QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        QVERIFY(!box->button(QDialogButtonBox::Help));
        QCOMPARE(dialog->currentColor(), QColor(255, 255, 255));
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);

        // Placed by its outer size, the frame counted.
        const QRect screen = dialog->screen()->geometry();
        const QRect outer = dialog->frameGeometry();
        QVERIFY(outer.size() != dialog->size());
        QCOMPARE(outer.topLeft(),
            QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 3));
        checked = true;
    });
    QVERIFY(!component.RunDialog());
    QVERIFY(checked);
}

void TestColorDialog::realDialogOkGivesChoiceAndWritesNoFile()
{
    TColorDialog component(nullptr);
    component.Color = 0x000080FF;
    component.CustomColors = { { "ColorB", "123456" } };
    bool checked = false;
    WhenDialogOpens([&](QColorDialog* dialog) {
        QCOMPARE(dialog->currentColor(), QColor(255, 128, 0));
        QCOMPARE(QColorDialog::customColor(1), QColor(0x56, 0x34, 0x12));

        // Define a custom colour (it goes to the first slot), then choose it with OK.
        dialog->setCurrentColor(QColor(0x11, 0x22, 0x33));
        auto* add = ButtonWithText(dialog, QStringLiteral("カスタムカラーに追加(&A)"));
        QVERIFY(add);
        add->click();
        QCOMPARE(QColorDialog::customColor(0), QColor(0x11, 0x22, 0x33));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        checked = true;
    });
    QVERIFY(component.RunDialog());
    QVERIFY(checked);
    QCOMPARE(component.Color, TColor(0x00332211));
    QCOMPARE(
        component.CustomColors, AllUnsetBut({ { "ColorA", "332211" }, { "ColorB", "123456" } }));

    QCOMPARE(FilesUnder(Home().path()), QStringList());
}

void TestColorDialog::realDialogEscKeepsEverything()
{
    TColorDialog component(nullptr);
    component.Color = 0x00445566;
    component.CustomColors = AllUnsetBut({});
    WhenDialogOpens([](QColorDialog* dialog) {
        dialog->setCurrentColor(QColor(1, 2, 3));
        ButtonWithText(dialog, QStringLiteral("カスタムカラーに追加(&A)"))->click();
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
    });
    QVERIFY(!component.RunDialog());
    QCOMPARE(component.Color, TColor(0x00445566));
    QCOMPARE(component.CustomColors, AllUnsetBut({}));

    // The custom colour defined in the cancelled dialog is not offered again.
    WhenDialogOpens([](QColorDialog* dialog) {
        QCOMPARE(QColorDialog::customColor(0), QColor(Qt::white));
        QCOMPARE(dialog->currentColor(), QColor(0x66, 0x55, 0x44));
        dialog->reject();
    });
    QVERIFY(!component.RunDialog());
}

QTEST_MAIN(TestColorDialog)
#include "tst_colordialog.moc"

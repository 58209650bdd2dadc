// The colours taken last, on the real window: a paste is remembered, the swatch's 「最近の色」
// lists them with their chips, choosing one shows it, the list can be emptied, and a history file
// that cannot be read is said so without stopping anything.

#include <filesystem>
#include <optional>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>

#include "settings/colour_history.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/window_on_file.h"
#include "ui/unit1.h"

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class TstRecentColours : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pastesAreListedNewestFirstAndChosenAsAPaste();
    void clearEmptiesTheList();
    void damagedOrUnreadableFileIsSaidAndPasteStillWorks();

private:
    TForm1& Form() const { return m_window->Form(); }
    void Paste(const QString& text);
    QMenu* OpenRecentColours();
    QStringList Entries(const QMenu* menu) const;

    std::optional<ScratchDir> m_state;
    std::optional<WindowOnFile> m_window;
    std::string m_history;
};

void TstRecentColours::init()
{
    m_state.emplace("tintora-state-");
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(m_state->Dir().string()));
    m_history = ColourHistoryPath();
    QCOMPARE(m_history, m_state->File("tintora/recent-colours"));
    m_window.emplace();
    m_window->Open();
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
}

void TstRecentColours::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    m_window.reset();
    m_state.reset();
}

void TstRecentColours::Paste(const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(Form().Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
}

// The submenu of the swatch's context menu, filled as when it opens.
QMenu* TstRecentColours::OpenRecentColours()
{
    QWidget* swatch = Form().Shape1;
    const QPoint inside(swatch->width() / 2, swatch->height() / 2);
    QContextMenuEvent request(QContextMenuEvent::Mouse, inside, swatch->mapToGlobal(inside));
    QApplication::sendEvent(swatch, &request);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu)
        return nullptr;
    for (QAction* entry : menu->actions()) {
        if (entry->text() == U("最近の色") && entry->menu()) {
            emit entry->menu()->aboutToShow();
            return entry->menu();
        }
    }
    return nullptr;
}

// Each entry's text, with "(off)" after a disabled one and "-" for a separator.
QStringList TstRecentColours::Entries(const QMenu* menu) const
{
    QStringList texts;
    for (const QAction* entry : menu->actions())
        texts << (entry->isSeparator() ? QStringLiteral("-")
                                       : entry->text() + (entry->isEnabled() ? "" : "(off)"));
    return texts;
}

void TstRecentColours::pastesAreListedNewestFirstAndChosenAsAPaste()
{
    QMenu* recent = OpenRecentColours();
    QVERIFY(recent);
    QCOMPARE(
        Entries(recent), QStringList({ U("（記録された色はまだありません）(off)"), "-", U("最近の色を消去(off)") }));
    QApplication::activePopupWidget()->close();

    Paste(QStringLiteral("orange"));
    Paste(QStringLiteral("#00ff00"));
    Paste(QStringLiteral("not a colour")); // refused: not remembered
    m_window->Boxes().clear();
    Paste(QStringLiteral("rgb(255 165 0)")); // orange again: moves to the top
    QCOMPARE(ReadBytes(m_history), std::string("#FFA500\n#00FF00\n"));

    recent = OpenRecentColours();
    QVERIFY(recent);
    QCOMPARE(Entries(recent), QStringList({ "#FFA500", "#00FF00", "-", U("最近の色を消去") }));
    // The chip shows the colour itself.
    const QImage chip = recent->actions()[1]->icon().pixmap(16, 16).toImage();
    QCOMPARE(chip.pixelColor(8, 8), QColor(0, 255, 0));

    recent->actions()[1]->trigger();
    QCOMPARE(Form().Edit1->text(), QStringLiteral("00FF00"));
    QCOMPARE(Form().Edit3->text(), QStringLiteral("255"));
    QCOMPARE(ToQString(CurrentHex), QStringLiteral("00FF00"));
    QCOMPARE(ReadBytes(m_history), std::string("#00FF00\n#FFA500\n"));
}

void TstRecentColours::clearEmptiesTheList()
{
    Paste(QStringLiteral("navy"));
    QMenu* recent = OpenRecentColours();
    QVERIFY(recent);
    recent->actions().last()->trigger();
    QCOMPARE(ReadColourHistory(m_history).colours, std::vector<Rgb>());
    QCOMPARE(Form().Edit1->text(), QStringLiteral("000080")); // the window keeps its colour
}

void TstRecentColours::damagedOrUnreadableFileIsSaidAndPasteStillWorks()
{
    std::filesystem::create_directories(m_state->Dir() / "tintora");
    WriteBytes(m_history, "#123456\ngarbage\n");
    QMenu* recent = OpenRecentColours();
    QVERIFY(recent);
    QCOMPARE(Entries(recent),
        QStringList({ "#123456", U("最近の色のファイルに読み取れない行があります(off)"), "-",
            U("最近の色を消去") }));
    QApplication::activePopupWidget()->close();

    std::filesystem::remove(m_history);
    std::filesystem::create_directory(m_history);
    recent = OpenRecentColours();
    QVERIFY(recent);
    QCOMPARE(Entries(recent), QStringList({ U("最近の色のファイルを読み取れません(off)") }));
    QApplication::activePopupWidget()->close();

    Paste(QStringLiteral("#FF8000"));
    QCOMPARE(Form().Edit1->text(), QStringLiteral("FF8000"));
    QVERIFY(m_window->Boxes().empty());
    QVERIFY(std::filesystem::is_directory(m_history));
}

QTEST_MAIN(TstRecentColours)
#include "tst_recent_colours.moc"

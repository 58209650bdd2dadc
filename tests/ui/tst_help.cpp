// The help viewer: the built-in page in a window of its own, its links, raising and quitting, the
// notice for a help file without a page; and that the page explains every message the program can
// show, collected from the program itself.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextTable>
#include <QtTest>

#include "colour/named_colors.h"
#include "platform/codepage.h"
#include "settings/profile_file.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/window_on_file.h"
#include "ui/boxes_p.h"
#include "ui/help.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

const char* const ProgramHelp = "D:\\app\\tintora\\Tintora.hlp";

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QWidget* ShownWindow(const char* objectName)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(objectName) && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

QTextBrowser* Viewer()
{
    return qobject_cast<QTextBrowser*>(ShownWindow("HelpViewer"));
}

// Every link target and every anchor name of a document.
void Links(const QTextDocument& document, std::set<QString>& hrefs, std::set<QString>& names)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor()) {
                if (!format.anchorHref().isEmpty()) {
                    hrefs.insert(format.anchorHref());
                }
                for (const QString& name : format.anchorNames()) {
                    names.insert(name);
                }
            }
        }
    }
}

// The help's pages as the viewer finds them in the program's resources.
const QStringList HelpPages = { QStringLiteral("help.html"), QStringLiteral("details.html"),
    QStringLiteral("colours.html") };

QString PageSource(const QString& page)
{
    QFile file(QStringLiteral(":/help/") + page);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Where the first link to href starts, in the viewer's viewport.
std::optional<QPoint> LinkPoint(QTextBrowser& viewer, const QString& href)
{
    for (QTextBlock block = viewer.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() == href) {
                QTextCursor cursor(viewer.document());
                cursor.setPosition(it.fragment().position() + 1);
                return viewer.cursorRect(cursor).center();
            }
        }
    }
    return std::nullopt;
}

// Stands in for the desktop's opener of local files.
class FileOpener : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

} // namespace

class TstHelp : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void contentsShowsThePageInItsOwnWindow();
    void contentsAgainRaisesTheSameWindowAtTheTop();
    void linksInsideThePageWork();
    void pageShowsThePictureOfTheWindow();
    void headingLevelsAndQuestionsLookApart();
    void quitClosesTheViewer();
    void noticeForAHelpFileWithoutAPage();
    void helpFileInAJapaneseFolder();
    void pageExplainsEveryMessage();
    void pageListsEveryNamedColourWithItsCode();
    void pageShowsNoStraySpaceBetweenJapaneseCharacters();
    void pageNamesTheProjectVersion();
};

void TstHelp::cleanup()
{
    WinHelpA(nullptr, ProgramHelp, HELP_QUIT, 0);
    QTRY_VERIFY(!Viewer());
    BoxAnswerHook() = nullptr;
    CurrentHex.clear();
    UserColorList.reset();
}

void TstHelp::contentsShowsThePageInItsOwnWindow()
{
    QWidget owner;
    owner.show();
    QCOMPARE(WinHelpA(&owner, ProgramHelp, HELP_CONTENTS, 0), 1);
    QTextBrowser* viewer = Viewer();
    QVERIFY(viewer);
    QVERIFY(viewer->isWindow());
    QVERIFY(!viewer->isModal());
    QCOMPARE(viewer->windowTitle(), U("Tintora ヘルプ"));
    QVERIFY(viewer->toPlainText().contains(U("よくある質問")));
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QCOMPARE(viewer->verticalScrollBar()->value(), 0);
    // The page is the program's own: it does not depend on any file beside the binary.
    QCOMPARE(viewer->source().scheme(), QStringLiteral("qrc"));

    // Windows file names match in either case.
    WinHelpA(&owner, ProgramHelp, HELP_QUIT, 0);
    QTRY_VERIFY(!Viewer());
    QCOMPARE(WinHelpA(&owner, "d:\\APP\\Tintora\\TINTORA.HLP", HELP_CONTENTS, 0), 1);
    QVERIFY(Viewer());
}

void TstHelp::contentsAgainRaisesTheSameWindowAtTheTop()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    QPointer<QTextBrowser> first = Viewer();
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    first->setSource(QUrl(QStringLiteral("#messages")));
    QTRY_VERIFY(first->verticalScrollBar()->value() > 0);
    first->lower();

    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    QCOMPARE(Viewer(), first.data());
    int viewers = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        viewers += window->objectName() == QLatin1String("HelpViewer") ? 1 : 0;
    }
    QCOMPARE(viewers, 1);
    QCOMPARE(first->verticalScrollBar()->value(), 0);
}

void TstHelp::linksInsideThePageWork()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    QTextBrowser* viewer = Viewer();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));

    // Every link of every page leads to a page of the help and to an anchor on it.
    std::map<QString, std::set<QString>> hrefsOf, namesOf;
    for (const QString& page : HelpPages) {
        QTextDocument document;
        const QString source = PageSource(page);
        QVERIFY2(!source.isEmpty(), qPrintable(page));
        document.setHtml(source);
        Links(document, hrefsOf[page], namesOf[page]);
    }
    QVERIFY(hrefsOf[QStringLiteral("help.html")].size() >= 9);
    for (const auto& [page, hrefs] : hrefsOf) {
        for (const QString& href : hrefs) {
            const qsizetype hash = href.indexOf(QLatin1Char('#'));
            const QString target = hash == 0 ? page : href.left(hash < 0 ? href.size() : hash);
            QVERIFY2(namesOf.count(target), qPrintable(page + ": " + href + " is no help page"));
            if (hash >= 0) {
                QVERIFY2(namesOf[target].count(href.mid(hash + 1)),
                    qPrintable(page + ": " + href + " leads nowhere"));
            }
        }
    }

    // A click on a link of the contents list scrolls to its section; the page stays the same.
    const std::optional<QPoint> link = LinkPoint(*viewer, QStringLiteral("#keyboard"));
    QVERIFY(link);
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, *link);
    QTRY_VERIFY(viewer->verticalScrollBar()->value() > 0);
    QCOMPARE(viewer->source().adjusted(QUrl::RemoveFragment),
        QUrl(QStringLiteral("qrc:/help/help.html")));

    // A link to another page opens that page in the same window, and its link leads back.
    viewer->verticalScrollBar()->setValue(0);
    const std::optional<QPoint> other =
        LinkPoint(*viewer, QStringLiteral("colours.html#named-table"));
    QVERIFY(other);
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, *other);
    QTRY_COMPARE(viewer->source().adjusted(QUrl::RemoveFragment),
        QUrl(QStringLiteral("qrc:/help/colours.html")));
    QVERIFY(viewer->toPlainText().contains(QStringLiteral("madium aquamarine")));
    QCOMPARE(Viewer(), viewer);
    const std::optional<QPoint> back = LinkPoint(*viewer, QStringLiteral("help.html"));
    QVERIFY(back);
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, *back);
    QTRY_COMPARE(viewer->source().adjusted(QUrl::RemoveFragment),
        QUrl(QStringLiteral("qrc:/help/help.html")));
    QVERIFY(viewer->toPlainText().contains(U("キーボード操作")));
}

// The pages' shared style sheet sets the levels apart: a grey band for a section, dark blue for a
// subsection, and a question in colour over its indented answer, on every page that has them.
void TstHelp::headingLevelsAndQuestionsLookApart()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    // The first block that starts with text at that heading level (0: any paragraph).
    auto blockOf = [](const QTextDocument& document, const QString& text, int level = 0) {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block.text().startsWith(text) && block.blockFormat().headingLevel() == level) {
                return block;
            }
        }
        return QTextBlock();
    };
    const struct
    {
        const char* page;
        const char* section; // an h2
        const char* subsection; // an h3
    } pages[] = {
        { "help.html", "よくある質問", "入力と貼り付け" },
        { "details.html", "詳しい仕様", "ユーザカラーの名前" },
    };
    for (const auto& page : pages) {
        Viewer()->setSource(QUrl(QString::fromLatin1(page.page)));
        const QTextDocument& document = *Viewer()->document();
        const QTextBlock section = blockOf(document, U(page.section), 2);
        QVERIFY2(section.isValid(), page.section);
        QCOMPARE(section.blockFormat().background().color(), QColor(0xd4, 0xd0, 0xc8));
        const QTextBlock subsection = blockOf(document, U(page.subsection), 3);
        QVERIFY2(subsection.isValid(), page.subsection);
        QCOMPARE(subsection.charFormat().foreground().color(), QColor(0x1f, 0x4e, 0x79));
        QVERIFY(subsection.blockFormat().background().style() == Qt::NoBrush);
    }
    Viewer()->setSource(QUrl(QStringLiteral("help.html")));
    const QTextBlock question = blockOf(*Viewer()->document(), QStringLiteral("Q. "));
    QVERIFY(question.isValid());
    QCOMPARE(question.charFormat().foreground().color(), QColor(0x7a, 0x3b, 0x00));
    QCOMPARE(question.blockFormat().leftMargin(), 0.0);
    QVERIFY(question.next().blockFormat().leftMargin() > 0);
}

// The picture of the window at the top of the page is built in and shown at its own size.
void TstHelp::pageShowsThePictureOfTheWindow()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    QTextDocument* document = Viewer()->document();
    const QVariant picture =
        document->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("window.png")));
    const QImage image = picture.value<QImage>();
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(480, 328));
}

void TstHelp::quitClosesTheViewer()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    QPointer<QTextBrowser> viewer = Viewer();
    QVERIFY(viewer);
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_QUIT, 0), 1);
    QTRY_VERIFY(!viewer);
    // Quitting when nothing is open is harmless.
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_QUIT, 0), 1);
}

void TstHelp::noticeForAHelpFileWithoutAPage()
{
    QCOMPARE(WinHelpA(nullptr, "D:\\app\\other\\Other.hlp", HELP_CONTENTS, 0), 1);
    QVERIFY(!Viewer());
    QWidget* notice = ShownWindow("HelpNotice");
    QVERIFY(notice);
    QVERIFY(!notice->isModal());
    QCOMPARE(WinHelpA(nullptr, "D:\\app\\other\\Other.hlp", HELP_QUIT, 0), 1);
    QTRY_VERIFY(!ShownWindow("HelpNotice"));
}

// A help file's path is the file system's bytes (UTF-8), not a CP932 text: a file in a Japanese
// folder is found and handed to the desktop's opener, and a missing one is named readably.
void TstHelp::helpFileInAJapaneseFolder()
{
    ScratchDir scratch("help-");
    const std::string folder = scratch.File("ヘルプ 表");
    QVERIFY(QDir().mkpath(QString::fromUtf8(folder)));
    const std::string existing = folder + "/手引き.hlp";
    WriteBytes(existing, "help");

    FileOpener opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    const BOOL taken = WinHelpA(nullptr, existing.c_str(), HELP_CONTENTS, 0);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(taken, 1);
    QCOMPARE(opener.opened, QList<QUrl> { QUrl::fromLocalFile(QString::fromUtf8(existing)) });
    QVERIFY(!ShownWindow("HelpNotice"));

    const std::string missing = folder + "/無い.hlp";
    QCOMPARE(WinHelpA(nullptr, missing.c_str(), HELP_CONTENTS, 0), 1);
    auto* notice = qobject_cast<QLabel*>(ShownWindow("HelpNotice"));
    QVERIFY(notice);
    QVERIFY2(notice->text().endsWith(QLatin1Char('\n') + QString::fromUtf8(missing)),
        qPrintable(notice->text()));
    QCOMPARE(WinHelpA(nullptr, missing.c_str(), HELP_QUIT, 0), 1);
    QTRY_VERIFY(!ShownWindow("HelpNotice"));
}

// Runs the program's commands into each of their messages and looks for every one in the page.
// Numbers stand for whatever the situation puts there (an index, a count), so they are compared
// as "#"; a path is the user's own and is compared from the text after it.
void TstHelp::pageExplainsEveryMessage()
{
    WindowOnFile window;
    window.Answer(idNo);
    auto open = [&](const std::string& bytes) {
        WriteBytes(window.Path(), bytes);
        window.Open();
        return &window.Form();
    };

    TForm1* form = open("");
    RunHandler([&] { form->Button2Click(form); }); // empty R, G, B
    RunHandler([&] { form->Button4Click(form); }); // no colour made yet
    CurrentHex = "FF8000";
    RunHandler([&] { form->Button4Click(form); }); // no name
    form->ComboBox2->setEditText(QStringLiteral("Caf\u00E9"));
    RunHandler([&] { form->Button4Click(form); }); // a name the file cannot hold
    RunHandler([&] { form->Button5Click(form); }); // the question, answered No
    window.Answer(idYes);
    RunHandler([&] { form->Button5Click(form); }); // nothing selected
    form->Edit1->SetText("G10000");
    RunHandler([&] { form->Button1Click(form); }); // not an integer

    form = open("[Usercolor]\r\nUsercolcnt=100000\r\n");
    CurrentHex = "FF8000";
    form->ComboBox2->SetText("full");
    RunHandler([&] { form->Button4Click(form); }); // no more colours
    open("[Usercolor]\r\nUsercolcnt=2000000000\r\n1=FF8000a\r\n"); // a damaged count
    window.Close();
    std::vector<QString> shown;
    for (const BoxRequest& box : window.Boxes())
        shown.push_back(box.wide.isNull() ? ToQString(box.text) : box.wide);
    QCOMPARE(shown.size(), std::size_t(10));

    const std::string writeError = WriteError("/x/Tintora.ini").Message();
    shown.push_back(ToQString(writeError.substr(writeError.find(' '))));
    shown.push_back(ToQString(CodePageError().Message()));

    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    static const QRegularExpression number(QStringLiteral("-?[0-9]+"));
    const QString page = Viewer()->toPlainText().replace(number, QStringLiteral("#"));
    for (QString text : shown) {
        text.replace(number, QStringLiteral("#"));
        QVERIFY2(page.contains(text), qPrintable(text));
    }
}

// The page's table of named colours lists the program's own table in list order: name, code, the
// code's R, G and B in decimal, and a cell painted in the colour.
void TstHelp::pageListsEveryNamedColourWithItsCode()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    Viewer()->setSource(QUrl(QStringLiteral("colours.html")));
    QTextDocument* document = Viewer()->document();
    QTextTable* listed = nullptr;
    for (QTextBlock block = document->begin(); block.isValid() && !listed; block = block.next()) {
        QTextTable* table = QTextCursor(block).currentTable();
        if (table && table->columns() >= 6 && table->rows() > 1
            && table->cellAt(1, 0).firstCursorPosition().block().text()
                == QLatin1String(NamedColorTable[0].name.data(), NamedColorTable[0].name.size())) {
            listed = table;
        }
    }
    QVERIFY(listed);
    QCOMPARE(listed->rows(), int(NamedColorTable.size()) + 1);
    auto cellText = [&](int row, int column) {
        return listed->cellAt(row, column).firstCursorPosition().block().text().trimmed();
    };
    for (std::size_t i = 0; i < NamedColorTable.size(); ++i) {
        const int row = int(i) + 1;
        const QString name = QString::fromLatin1(
            NamedColorTable[i].name.data(), qsizetype(NamedColorTable[i].name.size()));
        const QString hex = QString::fromLatin1(
            NamedColorTable[i].hex.data(), qsizetype(NamedColorTable[i].hex.size()));
        const QColor colour(QLatin1Char('#') + hex);
        QCOMPARE(cellText(row, 0), name);
        QCOMPARE(cellText(row, 1), hex);
        QCOMPARE(cellText(row, 2), QString::number(colour.red()));
        QCOMPARE(cellText(row, 3), QString::number(colour.green()));
        QCOMPARE(cellText(row, 4), QString::number(colour.blue()));
        const QBrush swatch = listed->cellAt(row, 5).format().background();
        QVERIFY2(swatch.style() == Qt::SolidPattern && swatch.color() == colour, qPrintable(name));
    }
}

// A line break inside a sentence of the page's source shows as a space in the viewer, which
// Japanese text never has between two of its characters.
void TstHelp::pageShowsNoStraySpaceBetweenJapaneseCharacters()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    static const QRegularExpression stray(QStringLiteral(
        "[\\p{Han}\\p{Hiragana}\\p{Katakana}\\x{3000}-\\x{303F}\\x{FF00}-\\x{FFEF}]"
        "\\s+"
        "[\\p{Han}\\p{Hiragana}\\p{Katakana}\\x{3000}-\\x{303F}\\x{FF00}-\\x{FFEF}]"));
    QVERIFY(stray.isValid());
    for (const QString& page : HelpPages) {
        Viewer()->setSource(QUrl(page));
        QTextDocument* document = Viewer()->document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QRegularExpressionMatch found = stray.match(block.text());
            QVERIFY2(!found.hasMatch(), qPrintable(page + ": " + block.text()));
        }
        // The source itself: no line break right between two Japanese characters either.
        const QRegularExpressionMatch found = stray.match(PageSource(page));
        QVERIFY2(!found.hasMatch(), qPrintable(page + ": " + found.captured()));
    }
}

void TstHelp::pageNamesTheProjectVersion()
{
    QCOMPARE(WinHelpA(nullptr, ProgramHelp, HELP_CONTENTS, 0), 1);
    const QString page = Viewer()->toPlainText();
    QVERIFY(page.contains(QStringLiteral(TINTORA_VERSION)));
    QVERIFY(!page.contains(QLatin1Char('@')));
}

QTEST_MAIN(TstHelp)
#include "tst_help.moc"

#include "ui/help.h"
#include "ui/help_p.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cctype>

#include "platform/codepage.h"
#include "ui/text.h"

namespace {

// The help files the viewer has a page for, and the page: one HTML document built into the program.
struct HelpPage
{
    const char* file; // the file system's bytes
    const char* page;
};
constexpr HelpPage HelpPages[] = {
    { "D:\\app\\tintora\\Tintora.hlp", "qrc:/help/help.html" },
};

// Help files are named by Windows paths, whose letters match in either case.
bool SameHelpFile(const std::string& a, const char* b)
{
    return std::equal(a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
        [](unsigned char x, unsigned char y) {
            return (x < 0x80 ? std::tolower(x) : x) == (y < 0x80 ? std::tolower(y) : y);
        });
}

QUrl PageFor(const std::string& file)
{
    for (const HelpPage& page : HelpPages) {
        if (SameHelpFile(file, page.file)) {
            return QUrl(QString::fromLatin1(page.page));
        }
    }
    return {};
}

// The viewer's window; it lives until the user closes it or HELP_QUIT comes.
QPointer<QTextBrowser>& Viewer()
{
    static QPointer<QTextBrowser> viewer;
    return viewer;
}

void ShowPage(QWidget* owner, const QUrl& page)
{
    QPointer<QTextBrowser>& viewer = Viewer();
    if (!viewer) {
        viewer = new QTextBrowser;
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setObjectName(QStringLiteral("HelpViewer"));
        viewer->setOpenExternalLinks(true);
        viewer->setSource(page);
        viewer->setWindowTitle(viewer->documentTitle());
        viewer->setAccessibleName(viewer->documentTitle());
        if (owner) {
            viewer->setWindowIcon(owner->windowIcon());
        }
        // Beside the window that asked, so that both can be seen, and on the screen whole.
        const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size = QSize(600, 680).boundedTo(area.size() - QSize(16, 48));
        viewer->resize(size);
        QPoint at = owner ? owner->frameGeometry().topRight() + QPoint(8, 0) : area.topLeft();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() - size.width() - 8)));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - size.height() - 40)));
        viewer->move(at);
    } else if (viewer->source().adjusted(QUrl::RemoveFragment) != page) {
        viewer->setSource(page);
    }
    // The contents are the top of the page, wherever the reader had gone before.
    viewer->verticalScrollBar()->setValue(0);
    viewer->horizontalScrollBar()->setValue(0);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

// The viewer's own notice for a help file it cannot find; it lives until HELP_QUIT.
QPointer<QLabel>& Notice()
{
    static QPointer<QLabel> notice;
    return notice;
}

void ShowMissingFileNotice(QWidget* owner, const QString& path)
{
    QPointer<QLabel>& notice = Notice();
    if (!notice) {
        notice = new QLabel;
        notice->setAttribute(Qt::WA_DeleteOnClose);
        notice->setObjectName(QStringLiteral("HelpNotice"));
        notice->setWindowTitle(ToQString(Sjis("ヘルプ")));
        notice->setMargin(16);
        notice->setTextFormat(Qt::PlainText);
    }
    notice->setText(ToQString(Sjis("ヘルプファイルが見つかりません:")) + QLatin1Char('\n') + path);
    notice->adjustSize();
    if (owner) {
        notice->move(owner->frameGeometry().topLeft() + QPoint(24, 24));
    }
    notice->show();
    notice->raise();
}

} // namespace

std::string& ApplicationHelpFile()
{
    static std::string file;
    return file;
}

std::function<BOOL(const HelpRequest&)>& WinHelpHook()
{
    static std::function<BOOL(const HelpRequest&)> hook;
    return hook;
}

BOOL WinHelpA(QWidget* owner, const char* helpFile, UINT command, std::uintptr_t data)
{
    const std::string file = helpFile ? helpFile : "";
    if (WinHelpHook()) {
        return WinHelpHook()(HelpRequest { owner, file, command, data });
    }
    switch (command) {
    case HELP_CONTENTS: {
        if (const QUrl page = PageFor(file); page.isValid()) {
            ShowPage(owner, page);
            return 1;
        }
        // A path is the file system's bytes, not a CP932 text.
        const QString path = QFile::decodeName(QByteArray::fromStdString(file));
        if (!QFileInfo(path).isFile()) {
            ShowMissingFileNotice(owner, path);
            return 1;
        }
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 1 : 0;
    }
    case HELP_QUIT:
        // Deleted at once: at the program's end no event loop is left to run a deferred delete.
        delete Notice().data();
        delete Viewer().data();
        return 1;
    default:
        return 0;
    }
}

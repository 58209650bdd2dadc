#include "ui/help.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include "platform/codepage.h"
#include "ui/text.h"

namespace {

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
    notice->setText(ToQString(Sjis("ヘルプ ファイルが見つかりません:")) + QLatin1Char('\n') + path);
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
        const QString path = ToQString(file);
        if (!QFileInfo(path).isFile()) {
            ShowMissingFileNotice(owner, path);
            return 1;
        }
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 1 : 0;
    }
    case HELP_QUIT:
        if (QLabel* notice = Notice()) {
            notice->close();
        }
        return 1;
    default:
        return 0;
    }
}

#include "ui/text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "platform/codepage.h"

QString ToQString(std::string_view cp932)
{
    const std::string utf8 = Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ToQString(std::u8string_view utf8)
{
    return ToQString(Sjis(utf8));
}

std::string FromQString(const QString& text, std::size_t* lost)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), lost);
}

void InstallQtTranslations()
{
    static QPointer<QTranslator> installed;
    if (installed)
        return;
    // The catalogue is mapped, not read, so this costs start-up next to nothing.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(
            QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

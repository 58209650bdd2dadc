#pragma once

#include <functional>

#include <QColor>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariantMap>

class QDBusMessage;

/// How one pick from the screen ended.
struct ScreenPickOutcome
{
    enum Result {
        Picked, ///< colour holds the pixel the user chose
        Cancelled, ///< the user cancelled
        Failed, ///< the pick was made but gave no colour (reason says why)
        Unavailable, ///< no pick can be made here (reason says why)
    };
    Result result = Failed;
    QColor colour;
    QString reason;
};

using ScreenPickDone = std::function<void(const ScreenPickOutcome&)>;

/// Asks whether the desktop portal offers colour picking (its Screenshot interface in version 2
/// or more). done gets an empty text when it does, otherwise the reason why not. A yes is kept
/// for the run, a no asked again the next time; nothing waits for the answer. done is not called
/// once context has gone.
void AskPortalPickOffered(QObject& context, std::function<void(const QString& whyNot)> done);

/// One request to the desktop portal to pick a colour, from the call to its answer. Made by
/// Start; it deletes itself when it ends.
class PortalPick : public QObject
{
    Q_OBJECT
public:
    /// Asks the portal to pick one colour. done is called once, when the portal answers or the
    /// call fails, unless owner has gone or Cancel was called before: the portal's request is
    /// then closed and done is not called. Nothing of owner is used after it began to go.
    static PortalPick* Start(QObject& owner, ScreenPickDone done);

    /// Closes the request at the portal (when it is still open) without calling done.
    void Cancel();

private slots:
    void Response(uint response, const QVariantMap& results, const QDBusMessage& message);

private:
    explicit PortalPick(ScreenPickDone done);
    void Call();
    void Answered(uint response, const QVariantMap& results);
    void End(const ScreenPickOutcome& outcome);
    void StopListening();

    ScreenPickDone m_done;
    QString m_predicted; // the request path the handle_token gives
    QString m_handle; // the path the portal returned; empty until it has
    // Answers on paths that are not known yet: the portal's own path, before its reply is read.
    QList<QPair<QString, QPair<uint, QVariantMap>>> m_early;
    bool m_listening = false;
    bool m_callPending = false;
    bool m_closeWhenReplied = false;
    bool m_ended = false; // done called or given up
};

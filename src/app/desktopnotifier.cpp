#include "desktopnotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCallTimeoutMs = 5000;

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onAction(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
}

void DesktopNotifier::show(const QString &summary, const QString &body, bool acknowledgeable)
{
    m_next = Content {summary, body, acknowledgeable};
    m_dirty = true;
    send();
}

void DesktopNotifier::close()
{
    m_next.reset();
    m_dirty = m_id != 0 || m_waiting;
    send();
}

void DesktopNotifier::send()
{
    if (m_waiting || !m_dirty || m_failed)
        return;
    if (!m_bus.isConnected()) {
        fail(tr("pas de session de bureau, ou sans bus D-Bus"));
        return;
    }
    m_dirty = false;
    QDBusMessage call;
    if (m_next) {
        call
            = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
        QStringList actions;
        if (m_next->acknowledgeable)
            actions << QLatin1String(AcknowledgeAction) << tr("Acquitter");
        const QVariantMap hints {{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                                 {QStringLiteral("category"), QStringLiteral("device.error")},
                                 {QStringLiteral("desktop-entry"), QStringLiteral("ondaris")},
                                 {QStringLiteral("suppress-sound"), true}};
        call << QStringLiteral("Ondaris") << m_id << QStringLiteral("ondaris") << m_next->summary
             << m_next->body << actions << hints << 0; // until withdrawn
    } else if (m_id != 0) {
        call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                              QStringLiteral("CloseNotification"));
        call << std::exchange(m_id, 0);
    } else {
        return;
    }
    m_waiting = true;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::sent);
}

void DesktopNotifier::sent(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    m_waiting = false;
    if (call->isError()) {
        // The bus's own messages are in English: the user is told what they mean.
        switch (call->error().type()) {
        case QDBusError::ServiceUnknown:
            fail(tr("aucun service de notifications dans cette session de bureau"));
            break;
        case QDBusError::NoReply:
        case QDBusError::Timeout:
            fail(tr("le service de notifications ne répond pas"));
            break;
        default:
            fail(tr("le service de notifications a refusé (%1)").arg(call->error().name()));
        }
        return;
    }
    const QDBusMessage reply = call->reply();
    if (!reply.arguments().isEmpty() && reply.signature() == QLatin1String("u"))
        m_id = reply.arguments().constFirst().toUInt();
    send(); // what was asked meanwhile
}

void DesktopNotifier::fail(const QString &reason)
{
    if (std::exchange(m_failed, true))
        return;
    emit unavailable(reason);
}

void DesktopNotifier::onAction(uint id, const QString &key)
{
    if (id != 0 && id == m_id && key == QLatin1String(AcknowledgeAction))
        emit acknowledged();
}

void DesktopNotifier::onClosed(uint id, uint /*reason*/)
{
    if (id != 0 && id == m_id)
        m_id = 0;
}

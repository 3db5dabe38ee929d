#pragma once

#include <QDBusConnection>
#include <QObject>
#include <optional>

class QDBusPendingCallWatcher;

// The desktop's notifications (org.freedesktop.Notifications on the session bus): one of the
// program's own at a time, shown, replaced and withdrawn without waiting for the bus, with an
// "Acquitter" action. A bus or a service that is not there is told once; nothing else changes.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *AcknowledgeAction = "acquitter";

    explicit DesktopNotifier(QDBusConnection bus, QObject *parent = nullptr);

    // Shows the notification, or replaces the one shown; with the action when acknowledgeable.
    void show(const QString &summary, const QString &body, bool acknowledgeable);
    // Withdraws it.
    void close();

signals:
    // Its "Acquitter" action was chosen.
    void acknowledged();
    // Notifications cannot be shown: why, in French; told once.
    void unavailable(const QString &reason);

private slots:
    void onAction(uint id, const QString &key);
    void onClosed(uint id, uint reason);

private:
    struct Content
    {
        QString summary;
        QString body;
        bool acknowledgeable = false;
    };
    void send();
    void sent(QDBusPendingCallWatcher *call);
    void fail(const QString &reason);

    QDBusConnection m_bus;
    uint m_id = 0; // the notification shown, 0 for none
    bool m_waiting = false; // a call is on its way
    std::optional<Content> m_next; // to show once the call returns; none: to withdraw
    bool m_dirty = false; // m_next differs from what is shown
    bool m_failed = false;
};

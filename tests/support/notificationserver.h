#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTimer>
#include <QVariantMap>

// A session bus of the test's own (Debian's dbus-daemon), so that nothing reaches the desktop
// the tests run on.
struct PrivateBus
{
    QProcess daemon;
    QString address;

    PrivateBus()
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        daemon.kill();
        daemon.waitForFinished(5000);
    }
    // A connection of its own to the bus, by name.
    QDBusConnection connect(const QString &name) const
    {
        return QDBusConnection::connectToBus(address, name);
    }
};

// A notification server as a desktop runs one: it takes the name, answers each call a little
// later (as a busy desktop does), keeps what it was shown, and sends the action a user chooses.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        uint id;
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Shown> shown;
    QList<uint> closed;

    explicit NotificationServer(const PrivateBus &bus)
        : m_bus(bus.connect(QStringLiteral("notification server")))
    {
        m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                             QDBusConnection::ExportAllSlots);
        m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~NotificationServer() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("notification server"));
    }
    bool isValid() const { return m_bus.isConnected(); }
    // The user chose the action key of notification id.
    void choose(uint id, const QString &key) { m_bus.send(signal("ActionInvoked") << id << key); }

public Q_SLOTS:
    uint Notify(const QString &, uint replaces, const QString &, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &, int,
                const QDBusMessage &call)
    {
        const uint id = replaces ? replaces : ++m_last;
        shown.append({id, summary, body, actions});
        later(call, id);
        return 0;
    }
    void CloseNotification(uint id, const QDBusMessage &call)
    {
        closed.append(id);
        later(call, {});
        m_bus.send(signal("NotificationClosed") << id << 3u);
    }

private:
    QDBusMessage signal(const char *name) const
    {
        return QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"),
                                          QLatin1String(name));
    }
    void later(const QDBusMessage &call, const QVariant &answer)
    {
        call.setDelayedReply(true);
        QTimer::singleShot(30, this, [this, call, answer] {
            m_bus.send(answer.isValid() ? call.createReply(answer) : call.createReply());
        });
    }

    QDBusConnection m_bus;
    uint m_last = 0;
};

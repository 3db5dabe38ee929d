#include "alarmsound.h"

#include <QStandardPaths>

namespace {

constexpr const char *kSoundId = "alarm-clock-elapsed";

} // namespace

std::optional<AlarmSound::Player> AlarmSound::find()
{
    // The theme's sound by its name, as the desktop's own alerts are played.
    const QString canberra = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
    if (!canberra.isEmpty())
        return Player {canberra,
                       {QStringLiteral("--id=%1").arg(QLatin1String(kSoundId)),
                        QStringLiteral("--description=Ondaris")}};
    const QString file = QStandardPaths::locate(
        QStandardPaths::GenericDataLocation,
        QStringLiteral("sounds/freedesktop/stereo/%1.oga").arg(QLatin1String(kSoundId)));
    if (file.isEmpty())
        return std::nullopt;
    for (const char *name : {"paplay", "pw-play"})
        if (const QString player = QStandardPaths::findExecutable(QLatin1String(name));
            !player.isEmpty())
            return Player {player, {file}};
    return std::nullopt;
}

AlarmSound::AlarmSound(std::optional<Player> player, std::function<void()> bell, QObject *parent)
    : QObject(parent)
    , m_player(std::move(player))
    , m_bell(std::move(bell))
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    // A player that cannot be started (removed since): the bell at least.
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && m_bell)
            m_bell();
    });
}

AlarmSound::~AlarmSound()
{
    m_process.kill();
    m_process.waitForFinished(1000);
}

bool AlarmSound::play()
{
    if (m_process.state() != QProcess::NotRunning)
        return false;
    if (m_player)
        m_process.start(m_player->program, m_player->arguments);
    else if (m_bell)
        m_bell();
    return true;
}

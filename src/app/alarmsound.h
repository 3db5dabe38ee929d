#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <optional>

// The alarm's sound, asked of the desktop's sound system: the freedesktop sound theme's
// "alarm-clock-elapsed" through libcanberra's player, else the theme's file through the
// PulseAudio or PipeWire player, else the bell. A sound still playing is not started again.
class AlarmSound : public QObject
{
    Q_OBJECT

public:
    // A program that plays the sound, and its arguments.
    struct Player
    {
        QString program;
        QStringList arguments;
    };
    // The first player of this desktop; none when there is none.
    static std::optional<Player> find();

    AlarmSound(std::optional<Player> player, std::function<void()> bell, QObject *parent = nullptr);
    ~AlarmSound() override; // a sound that plays is cut short

    // Sounds once; false when the last sound still plays.
    bool play();

private:
    std::optional<Player> m_player;
    std::function<void()> m_bell;
    QProcess m_process;
};

#pragma once

#include "acquisition/alarmlimits.h"
#include "common/sensorscale.h"

#include <QString>

// The settings the settings file's one line has no field for, in "ondaris.ini" beside it, kept
// by Qt's QSettings (INI form, written through a save file under a lock) so that the settings
// file keeps the format other versions read: the sensor's scale and the alarm's limits. A missing,
// unreadable or junk file gives the defaults and is written anew; it never stops the start.
class ExtraSettings
{
public:
    static constexpr const char *FileName = "ondaris.ini";

    explicit ExtraSettings(QString path)
        : m_path(std::move(path))
    { }

    const QString &path() const { return m_path; }
    // Reads the file; what is missing or junk takes its default, and the file is mended.
    void load();
    // Writes the settings in memory; false, with the reason in French, when it could not.
    bool save(QString *error) const;

    const SensorScale &scale() const { return m_scale; }
    void setScale(const SensorScale &scale) { m_scale = scale; }
    const AlarmLimits &alarm() const { return m_alarm; }
    void setAlarm(const AlarmLimits &alarm) { m_alarm = alarm; }

private:
    QString m_path;
    SensorScale m_scale;
    AlarmLimits m_alarm;
};

#pragma once

#include "acquisition/alarmlimits.h"
#include "common/sensorscale.h"

#include <QString>

// The settings the settings file's one line has no field for, in "ondaris.ini" beside it, kept
// by Qt's QSettings (INI form, written through a save file under a lock) so that the settings
// file keeps the format other versions read: the sensor's scale, the alarm's limits, the main
// window's height and the width it widens back to, and the chart's time axis. A missing, unreadable
// or junk file gives the defaults and is written anew; it never stops the start.
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
    // The main window's height in twips; 0 for none kept.
    int windowHeight() const { return m_windowHeight; }
    void setWindowHeight(int twips) { m_windowHeight = twips; }
    // The width in twips that "Graphe on/off" widens the window back to; 0 for none kept.
    int chartWidth() const { return m_chartWidth; }
    void setChartWidth(int twips) { m_chartWidth = twips; }
    // "Axe du temps".
    bool timeAxis() const { return m_timeAxis; }
    void setTimeAxis(bool on) { m_timeAxis = on; }

private:
    QString m_path;
    SensorScale m_scale;
    AlarmLimits m_alarm;
    int m_windowHeight = 0;
    int m_chartWidth = 0;
    bool m_timeAxis = false;
};

#pragma once

#include "common/sensorscale.h"
#include "settings.h"

#include <QString>

// What the settings dialog needs of the program: the settings in force, and the choices it hands
// on, applied at once and written to the settings file when save is set.
class SettingsChoices
{
public:
    virtual ~SettingsChoices() = default;

    virtual const Settings &current() const = 0;
    // A duration button (1..10): the sampling period it gives.
    virtual void chooseDuration(int index, bool save) = 0;
    // A source button (0..2): the source, the serial port opened or closed with it.
    virtual void chooseSource(int index, bool save) = 0;
    // The sensor's scale in force, and the one the user typed: applied and kept, or refused
    // with the reason in French and nothing changed.
    virtual const SensorScale &scale() const = 0;
    virtual QString chooseScale(const QString &min, const QString &max, const QString &unit) = 0;
};

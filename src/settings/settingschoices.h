#pragma once

#include "settings.h"

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
};

#pragma once

#include <QString>
#include <span>

// One choice of the time between stored samples.
struct DurationOption
{
    int index; // button index, 1..10
    const char *caption; // UTF-8
    const char *tooltip; // empty when the button has none
    int intervalMs; // sampling timer period
    int divisor; // timer ticks per stored sample
};

// The ten sampling periods offered by the settings dialog.
class DurationTable
{
public:
    static std::span<const DurationOption> all();
    // The row of a button index, or nullptr when no button has it.
    static const DurationOption *find(int index);
};

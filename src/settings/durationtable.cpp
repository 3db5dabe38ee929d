#include "durationtable.h"

#include <array>

namespace {

constexpr std::array<DurationOption, 10> kOptions = {{
    {1, "1\"", "8h record", 1000, 1},
    {2, "10\"", "17h record", 10000, 1},
    {3, "1 '", "2days record", 60000, 1},
    {4, "15 '", "3days record", 60000, 15},
    {5, "30 '", "7days record", 60000, 30},
    {6, "1h", "22 days record", 60000, 60},
    {7, "3h", "", 60000, 180},
    {8, "6h", "", 60000, 360},
    {9, "12h", "", 60000, 720},
    {10, "24h", "", 60000, 1440},
}};

} // namespace

std::span<const DurationOption> DurationTable::all()
{
    return kOptions;
}

const DurationOption *DurationTable::find(int index)
{
    if (index < 1 || index > int(kOptions.size()))
        return nullptr;
    return &kOptions[std::size_t(index - 1)];
}

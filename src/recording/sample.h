#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>
#include <utility>

// One sample, recorded or read back from a recording file: its number in the list (0 is no
// measure and starts the trace), its value, the date and time it was taken when that is known,
// and for a sample read from a file, its line as it stands there.
struct Sample
{
    Sample(int number = 0, double value = 0, QDate date = {}, QTime time = {},
           std::optional<QString> line = {})
        : number(number)
        , value(value)
        , date(date)
        , time(time)
        , line(std::move(line))
    { }

    int number;
    double value;
    QDate date; // invalid when unknown
    QTime time;
    std::optional<QString> line; // a viewed sample's line, without its end
};

#pragma once

#include <QString>
#include <QtGlobal>
#include <cmath>
#include <optional>

class QLocale;

// The scale rule: how a device's raw reading becomes the recorded value, and how a recorded value
// reads in the user's units, from Min at 0 to Max at 1000. The default scale is the identity:
// a recorded value reads as itself, a whole number.
class SensorScale
{
public:
    // The recorded value a scale's Max stands for.
    static constexpr double FullScale = 1000;
    // A device reading 0..255 is recorded as floor(raw × 3.921), so 0..999.
    static constexpr double RecordedPerRaw = 3.921;
    // The most decimals shown, however narrow the scale.
    static constexpr int MaxDecimals = 6;

    enum class Unit { Appended, Omitted };

    SensorScale() = default;
    SensorScale(double min, double max, QString unit = {});

    // The recorded value of a device's raw reading; the keyboard's test value is recorded as it is.
    static int recorded(qint32 raw);
    // The recorded value as a recording file keeps it: the nearest whole number.
    static qint64 wholeValue(double recorded);

    // The scale the user typed: Min and Max as numbers (a decimal comma or point), a unit of at
    // most 12 characters; none, with the reason in French, when it cannot be one.
    static std::optional<SensorScale> parse(const QString &min, const QString &max,
                                            const QString &unit, QString *reason);
    static constexpr double Largest = 1e9; // in units, either way
    // A number as a user types it, with a decimal comma or point; none when it is not one.
    static std::optional<double> parseNumber(const QString &text);
    static constexpr int LongestUnit = 12;

    // Min 0, Max 1000, no unit: every text as the recorded value's own.
    bool isIdentity() const { return m_min == 0 && m_max == FullScale && m_unit.isEmpty(); }
    bool operator==(const SensorScale &other) const = default;
    double min() const { return m_min; }
    double max() const { return m_max; }
    QString unit() const { return m_unit; }

    // A recorded value in the user's units: Min + (Max − Min) × value / 1000.
    double toUnits(double recorded) const;
    // What one raw step of a device is worth in units, always positive (zero when Max = Min).
    double rawStep() const { return std::abs(m_max - m_min) * RecordedPerRaw / FullScale; }
    // The decimals that tell any two neighbouring raw readings apart, none for the identity.
    int decimals() const;

    // The recorded value in units, with the locale's decimal mark (the identity gives the whole
    // number); a value no recording makes (from a file written elsewhere) keeps its digits.
    QString text(double recorded, const QLocale &locale, Unit unit = Unit::Appended) const;
    // As above with a given decimal mark: a spreadsheet's, which follows its own format.
    QString text(double recorded, QStringView decimalMark, Unit unit = Unit::Appended) const;
    // A value already in units (a limit the user typed), with the scale's decimals when it has
    // no more, else as typed.
    QString unitsText(double units, const QLocale &locale, Unit unit = Unit::Appended) const;
    // The change from one recorded value to another in units, signed: "+0,4 °C", "-2", "0".
    QString difference(double from, double to, const QLocale &locale) const;
    // A no-break space and the unit, or nothing for a scale without a unit.
    QString unitSuffix() const;
    // What one raw step is worth: "1 pas = 0,2 °C".
    QString resolutionText(const QLocale &locale) const;

private:
    QString decimalMark(const QLocale &locale) const;
    // A value in units with the scale's decimals; one not exact, or past 15 digits, as %.15g.
    QString number(double units, bool exact, QStringView decimalMark) const;

    double m_min = 0;
    double m_max = FullScale;
    QString m_unit;
};

#include "alarmlimits.h"

#include <QLocale>
#include <QObject>

std::optional<AlarmLimits> AlarmLimits::parse(const Texts &texts, const SensorScale &scale,
                                              QString *reason)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    AlarmLimits limits;
    limits.silenceRaises = texts.silenceRaises;
    limits.sound = texts.sound;
    // An empty text leaves the field unset; anything else must be a number within reach.
    const auto read = [](const QString &text, std::optional<double> *into) {
        if (text.trimmed().isEmpty())
            return true;
        *into = SensorScale::parseNumber(text);
        return *into && std::abs(**into) <= SensorScale::Largest;
    };
    if (!read(texts.high, &limits.high))
        return fail(QObject::tr("La limite haute « %1 » n'est pas un nombre.").arg(texts.high));
    if (!read(texts.low, &limits.low))
        return fail(QObject::tr("La limite basse « %1 » n'est pas un nombre.").arg(texts.low));
    std::optional<double> delay;
    if (!read(texts.delay, &delay))
        return fail(
            QObject::tr("Le délai « %1 » n'est pas un nombre de secondes.").arg(texts.delay));
    limits.delaySeconds = delay.value_or(DefaultDelaySeconds);
    if (!read(texts.hysteresis, &limits.hysteresis))
        return fail(QObject::tr("L'hystérésis « %1 » n'est pas un nombre.").arg(texts.hysteresis));

    if (limits.high && limits.low && *limits.low >= *limits.high)
        return fail(QObject::tr("La limite basse doit être au-dessous de la limite haute."));
    if (limits.delaySeconds < 0 || limits.delaySeconds > LongestDelaySeconds)
        return fail(QObject::tr("Le délai va de 0 à 3600 secondes (une heure)."));
    if (limits.hysteresis && *limits.hysteresis < 0)
        return fail(QObject::tr("L'hystérésis ne peut pas être négative."));
    if (limits.high && limits.low && limits.hysteresisOn(scale) >= *limits.high - *limits.low)
        return fail(limits.hysteresis
                        ? QObject::tr("L'hystérésis doit être plus étroite que l'écart entre "
                                      "les limites basse et haute.")
                        : QObject::tr("L'hystérésis par défaut (deux pas du capteur : %1) n'est "
                                      "pas plus étroite que l'écart entre les limites basse et "
                                      "haute : indiquez-en une plus petite.")
                              .arg(scale.unitsText(limits.hysteresisOn(scale), QLocale())));
    return limits;
}

AlarmLimits::Texts AlarmLimits::texts(const SensorScale &scale, const QLocale &locale) const
{
    const auto text = [&](const std::optional<double> &value) {
        return value ? scale.unitsText(*value, locale, SensorScale::Unit::Omitted) : QString();
    };
    return {text(high),
            text(low),
            QString::number(delaySeconds, 'g', 15).replace(u'.', locale.decimalPoint()),
            text(hysteresis),
            silenceRaises,
            sound};
}

#include "extrasettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kMax = QStringLiteral("echelle/max");
const QString kMin = QStringLiteral("echelle/min");
const QString kUnit = QStringLiteral("echelle/unite");
const QString kHigh = QStringLiteral("alarme/haute");
const QString kLow = QStringLiteral("alarme/basse");
const QString kDelay = QStringLiteral("alarme/delai");
const QString kHysteresis = QStringLiteral("alarme/hysteresis");
const QString kSilence = QStringLiteral("alarme/capteur_muet");
const QString kSound = QStringLiteral("alarme/son");
const QString kAlarmKeys[] = {kHigh, kLow, kDelay, kHysteresis, kSilence, kSound};

QString number(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'g', 17) : QString();
}

const QString kHeight = QStringLiteral("fenetre/hauteur");
const QString kChartWidth = QStringLiteral("fenetre/largeur_graphe");
const QString kTimeAxis = QStringLiteral("graphe/axe_du_temps");

// A whole number of twips as kept, 0 for none or junk.
int twips(const QSettings &ini, const QString &key)
{
    bool ok = false;
    const int value = ini.value(key).toString().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

} // namespace

void ExtraSettings::load()
{
    const QSettings ini(m_path, QSettings::IniFormat);
    const auto scale = SensorScale::parse(ini.value(kMin, QStringLiteral("0")).toString(),
                                          ini.value(kMax, QStringLiteral("1000")).toString(),
                                          ini.value(kUnit).toString(), nullptr);
    m_scale = scale.value_or(SensorScale());
    // Kept since the window grows; missing from older files, which are whole without them.
    m_windowHeight = twips(ini, kHeight);
    m_chartWidth = twips(ini, kChartWidth);
    m_timeAxis = ini.value(kTimeAxis).toString() == QStringLiteral("1");
    const AlarmLimits::Texts texts {
        ini.value(kHigh).toString(),        ini.value(kLow).toString(),
        ini.value(kDelay).toString(),       ini.value(kHysteresis).toString(),
        ini.value(kSilence, true).toBool(), ini.value(kSound, true).toBool()};
    const auto alarm = AlarmLimits::parse(texts, m_scale, nullptr);
    m_alarm = alarm.value_or(AlarmLimits());
    bool whole = ini.status() == QSettings::NoError && scale && alarm && ini.contains(kMax)
        && ini.contains(kMin) && ini.contains(kUnit);
    for (const QString &key : kAlarmKeys)
        whole = whole && ini.contains(key);
    if (!whole)
        save(nullptr);
}

bool ExtraSettings::save(QString *error) const
{
    QSettings ini(m_path, QSettings::IniFormat);
    ini.clear(); // junk that was read goes too
    ini.setValue(kMax, QString::number(m_scale.max(), 'g', 17));
    ini.setValue(kMin, QString::number(m_scale.min(), 'g', 17));
    ini.setValue(kUnit, m_scale.unit());
    ini.setValue(kHigh, number(m_alarm.high));
    ini.setValue(kLow, number(m_alarm.low));
    ini.setValue(kDelay, number(m_alarm.delaySeconds));
    ini.setValue(kHysteresis, number(m_alarm.hysteresis));
    ini.setValue(kSilence, m_alarm.silenceRaises);
    ini.setValue(kSound, m_alarm.sound);
    if (m_windowHeight > 0)
        ini.setValue(kHeight, m_windowHeight);
    if (m_chartWidth > 0)
        ini.setValue(kChartWidth, m_chartWidth);
    if (m_timeAxis)
        ini.setValue(kTimeAxis, 1);
    ini.sync();
    if (ini.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QCoreApplication::translate(
                     "ExtraSettings",
                     "Le fichier « %1 » ne peut pas être écrit (dossier absent "
                     "ou en lecture seule ?).")
                     .arg(QDir::toNativeSeparators(m_path));
    return false;
}

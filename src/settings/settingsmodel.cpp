#include "settingsmodel.h"

#include "acquisition/acquisition.h"
#include "durationtable.h"

SettingsModel::SettingsModel(ConfigFile configFile, Acquisition &acquisition, QObject *parent)
    : QObject(parent)
    , m_configFile(std::move(configFile))
    , m_acquisition(acquisition)
{ }

void SettingsModel::load()
{
    std::optional<ConfigFile::Decoded> decoded;
    if (m_configFile.exists())
        decoded = m_configFile.read();
    if (decoded) {
        m_settings = decoded->settings;
        if (!decoded->clean)
            save();
    } else {
        m_settings = Settings {};
        save();
    }
}

bool SettingsModel::save()
{
    return m_configFile.write(m_settings);
}

void SettingsModel::Option1_Click(int index, bool persist)
{
    if (const DurationOption *option = DurationTable::find(index)) {
        m_intervalleTimer = QString::number(option->intervalMs);
        m_diviseurTick = qint16(option->divisor);
    }
    m_settings.duree_option = quint8(index);
    if (persist)
        save();
}

void SettingsModel::Option2_Click(int index, bool persist)
{
    SerialLink &serial = m_acquisition.serial();
    if (index == int(SampleSource::Test) || index == int(SampleSource::Usb)) {
        serial.ferme_port();
    } else if (index == int(SampleSource::Serial)) {
        if (!serial.isOpen())
            serial.ouvre_port();
    }
    if (index == int(SampleSource::Usb) && m_settings.source != index)
        m_acquisition.usb().armMissingReport();
    m_settings.source = quint8(index);
    if (persist)
        save();
}

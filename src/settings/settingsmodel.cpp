#include "settingsmodel.h"

#include "durationtable.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

SettingsModel::SettingsModel(ConfigFile configFile, QObject *parent)
    : QObject(parent)
    , m_configFile(std::move(configFile))
{ }

void SettingsModel::load()
{
    std::optional<ConfigFile::Decoded> decoded;
    const bool fallback = m_configFile.readsFallback();
    if (m_configFile.exists())
        decoded = m_configFile.read();
    if (decoded) {
        m_settings = decoded->settings;
        // A damaged file is mended; the one beside the executable is copied to its new place.
        if (!decoded->clean || fallback)
            save();
    } else {
        m_settings = Settings {};
        save();
    }
}

bool SettingsModel::save()
{
    if (m_configFile.write(m_settings))
        return true;
    if (!std::exchange(m_toldWriteFailure, true))
        emit writeFailed(
            tr("Les réglages ne peuvent pas être enregistrés dans le fichier « %1 » "
               ": %2\nIls restent en vigueur jusqu'à la fermeture d'Ondaris, mais "
               "ne seront pas retrouvés au prochain démarrage.")
                .arg(QDir::toNativeSeparators(QFileInfo(m_configFile.path()).absoluteFilePath()),
                     m_configFile.errorString()));
    return false;
}

void SettingsModel::setDuree_option(int index)
{
    if (const DurationOption *option = DurationTable::find(index)) {
        m_intervalMs = option->intervalMs;
        m_diviseurTick = qint16(option->divisor);
    }
    m_settings.duree_option = quint8(index);
}

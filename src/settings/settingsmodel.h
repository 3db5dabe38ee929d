#pragma once

#include "configfile.h"
#include "settings.h"

#include <QObject>
#include <QString>

// The settings in memory, the sampling period derived from them, and their mirror on disk.
class SettingsModel : public QObject
{
    Q_OBJECT

public:
    explicit SettingsModel(ConfigFile configFile, QObject *parent = nullptr);

    // Reads the file, or creates it with the defaults; a damaged file is mended in place.
    void load();
    // Writes the file from the settings in memory; false when it could not (the
    // first failure of a run is told through writeFailed).
    bool save();

    // The choice of a duration button and the period it gives; an index without a button changes
    // only duree_option.
    void setDuree_option(int index);
    void setSource(int index) { m_settings.source = quint8(index); }

    const Settings &settings() const { return m_settings; }
    // The sampling timer's period, and how many of its periods make a sample.
    int intervalMs() const { return m_intervalMs; }
    qint16 diviseur_tick() const { return m_diviseurTick; }
    const ConfigFile &configFile() const { return m_configFile; }

    void setFichier_donnees(const QString &path) { m_settings.fichier_donnees = path; }
    void setLargeur_fenetre(qint16 width) { m_settings.largeur_fenetre = width; }

signals:
    void writeFailed(const QString &message);

private:
    ConfigFile m_configFile;
    Settings m_settings;
    int m_intervalMs = 1000;
    qint16 m_diviseurTick = 1;
    bool m_toldWriteFailure = false;
};

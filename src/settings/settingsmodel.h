#pragma once

#include "configfile.h"
#include "settings.h"

#include <QObject>
#include <QString>

// The settings in memory, the sampling period derived from them, and their mirror on disk.
// Option1_Click and Option2_Click keep the choices of start-up and of the settings dialog; they
// write the file only when asked to (the dialog is visible).
class SettingsModel : public QObject
{
    Q_OBJECT

public:
    explicit SettingsModel(ConfigFile configFile, QObject *parent = nullptr);

    // Reads the file, or creates it with the defaults; a damaged file is mended in place.
    void load();
    // ecrit_config: writes the file from the settings in memory; false when it could not (the
    // first failure of a run is told through writeFailed).
    bool save();

    // Applies a sampling period button; an index without a button changes only duree_option.
    void Option1_Click(int index, bool persist);
    // Keeps a source button's choice (the acquisition opens and closes the devices).
    void Option2_Click(int index, bool persist);

    const Settings &settings() const { return m_settings; }
    const QString &intervalle_timer() const { return m_intervalleTimer; }
    qint16 diviseur_tick() const { return m_diviseurTick; }
    int intervalMs() const { return m_intervalleTimer.toInt(); }
    int source() const { return m_settings.source; }
    const ConfigFile &configFile() const { return m_configFile; }

    void setFichier_donnees(const QString &path) { m_settings.fichier_donnees = path; }
    void setLargeur_fenetre(qint16 width) { m_settings.largeur_fenetre = width; }

signals:
    void writeFailed(const QString &message);

private:
    ConfigFile m_configFile;
    Settings m_settings;
    QString m_intervalleTimer = QStringLiteral("1000");
    qint16 m_diviseurTick = 1;
    bool m_toldWriteFailure = false;
};

#pragma once

#include <QString>
#include <QtGlobal>

// The four settings kept from one run to the next, with their first-run defaults.
struct Settings
{
    static constexpr qint16 NarrowWidth = 3600; // twips, chart hidden
    static constexpr qint16 WideWidth = 7890; // twips, chart shown

    QString fichier_donnees = QStringLiteral("data_tr.csv");
    quint8 duree_option = 1;
    quint8 source = 0; // a SampleSource
    qint16 largeur_fenetre = NarrowWidth;

    friend bool operator==(const Settings &, const Settings &) = default;
};

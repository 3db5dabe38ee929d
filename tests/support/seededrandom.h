#pragma once

#include <QDateTime>
#include <QRandomGenerator>
#include <QtDebug>

// A generator for tests that draw at random: seeded from ONDARIS_SEED when it is set, else from
// the clock, and the seed printed, so that a failing run can be run again exactly.
inline QRandomGenerator seededRandom(const char *what)
{
    bool given = false;
    quint32 seed = qEnvironmentVariableIntValue("ONDARIS_SEED", &given);
    if (!given)
        seed = quint32(QDateTime::currentMSecsSinceEpoch());
    qInfo("%s: ONDARIS_SEED=%u", what, seed);
    return QRandomGenerator(seed);
}

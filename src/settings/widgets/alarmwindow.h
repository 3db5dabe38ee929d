#pragma once

#include "acquisition/alarmlimits.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

// "Alarme": the high and low limits in the scale's units, the delay, the hysteresis, whether a
// silent sensor raises the alarm and whether it sounds. "OK" hands them over and closes, or shows
// why they are refused and keeps them as typed. It never waits: the measuring goes on under it.
class AlarmWindow : public QWidget
{
    Q_OBJECT

public:
    // choose: the limits typed, refused with the reason in French (empty when taken).
    using Choose = std::function<QString(const AlarmLimits::Texts &)>;
    // shown: the limits in force as texts; scale: the one they are read on.
    AlarmWindow(const AlarmLimits::Texts &shown, const SensorScale &scale, Choose choose,
                QWidget *parent);

private:
    void accept();

    Choose m_choose;
    QLineEdit *m_high = nullptr;
    QLineEdit *m_low = nullptr;
    QLineEdit *m_delay = nullptr;
    QLineEdit *m_hysteresis = nullptr;
    QCheckBox *m_silence = nullptr;
    QCheckBox *m_sound = nullptr;
    QLabel *m_reason = nullptr;
};

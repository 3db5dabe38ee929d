#pragma once

#include "settings/calibration.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// "Étalonnage": the two points of a calibration, each a true value typed and "Mesurer", and the
// Max and Min they give, shown before "Appliquer" hands them to the sensor-scale panel. It never
// waits: the readings come with the live value's refreshes.
class CalibrationWindow : public QWidget
{
    Q_OBJECT

public:
    // unit: the panel's, shown beside the values.
    CalibrationWindow(const Calibration::Live &live, const QString &unit, QWidget *parent);

    void setUnit(const QString &unit);

signals:
    // "Appliquer": the Min and Max as shown, for the panel's fields.
    void applied(const QString &min, const QString &max);

private:
    void measure(int point);
    void refreshed();
    void showState();
    void apply();

    Calibration m_calibration;
    Calibration::Reading m_live;
    QString m_unit;
    QLineEdit *m_truth[2] = {};
    QPushButton *m_measure[2] = {};
    QLabel *m_pointState[2] = {};
    QLabel *m_liveLabel = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_apply = nullptr;
    std::optional<SensorScale> m_scale;
};

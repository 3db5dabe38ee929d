#pragma once

#include "settings/calibration.h"

#include <QPointer>
#include <QWidget>

class CalibrationWindow;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class SettingsChoices;

// "   Réglages": the sampling period (ten buttons) and the source (three buttons). Each click is
// applied and saved at once; "OK" only closes the dialog. The main window stays disabled while
// it is open. "Étalonner…" opens the calibration over it, given the live reading.
class FormOption : public QWidget
{
    Q_OBJECT

public:
    // Without a live reading, "Étalonner…" is greyed.
    FormOption(SettingsChoices &choices, QWidget *parent = nullptr, Calibration::Live live = {});

signals:
    // The dialog is closing ("OK" or the close box).
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    // Selects the buttons of the current settings and applies them again, without saving.
    void Form_Load();
    // The handlers of the two button groups: the choice applied and saved.
    void Option1_Click(int index);
    void Option2_Click(int index);
    // The scale typed in the "Echelle Capteur" panel: applied, or refused and told below.
    void applyScale();
    void showScale(const QString &refusal);
    // "Étalonner…": the calibration window, whose "Appliquer" fills Max and Min as if typed.
    void CmdEtalonner_Click();
    // Duration button 1..10.
    QAbstractButton *option1(int index) const;

    SettingsChoices &m_choices;
    Calibration::Live m_live;
    QPointer<CalibrationWindow> m_calibration;
    QButtonGroup *m_durations;
    QButtonGroup *m_sources;
    QLineEdit *m_max = nullptr;
    QLineEdit *m_min = nullptr;
    QLineEdit *m_unit = nullptr;
    QLabel *m_scaleLine = nullptr; // what one step is worth, or why the scale was refused
};

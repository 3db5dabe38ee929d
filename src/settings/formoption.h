#pragma once

#include <QWidget>

class Acquisition;
class QAbstractButton;
class QButtonGroup;
class SettingsModel;

// "   Réglages": the sampling period (ten buttons) and the source (three buttons). Each click is
// applied and saved at once; "OK" only closes the dialog. The main window stays disabled while
// it is open.
class FormOption : public QWidget
{
    Q_OBJECT

public:
    FormOption(SettingsModel &settings, Acquisition &acquisition, QWidget *parent = nullptr);

    // The handlers of the two button groups, also run when a button is selected from code.
    void Option1_Click(int index);
    void Option2_Click(int index);

    // Duration button 1..10, source button 0..2, channel button 0..3.
    QAbstractButton *option1(int index) const;
    QAbstractButton *option2(int index) const;
    QAbstractButton *option3(int index) const;

signals:
    // The dialog is closing ("OK" or the close box).
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    // Selects the buttons of the current settings, which runs their handlers (nothing is saved).
    void Form_Load();

    SettingsModel &m_settings;
    Acquisition &m_acquisition;
    QButtonGroup *m_durations;
    QButtonGroup *m_sources;
};

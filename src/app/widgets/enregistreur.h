#pragma once

#include <QMainWindow>
#include <QPointer>

class AboutBox;
class AlarmBanner;
class AlarmWindow;
class ChartView;
class Dialogs;
class FormOption;
class Instrument;
class LoadingWindow;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QShortcut;
class RecordingLed;
class Ruler;
class SampleListView;

// The main window "Enregistreur": the sample list, the live value, the record button and LED,
// the chart with its rulers, and the menus. It lays them out and wires them to the instrument,
// which holds the program's state and rules.
class Enregistreur : public QMainWindow
{
    Q_OBJECT

public:
    // Both outlive the window.
    Enregistreur(Instrument &instrument, Dialogs &dialogs);

    // Start-up after the single-instance test: the instrument started, then the width and title.
    void Form_Load();

    // Menu and button handlers.
    void CmdRecord_Click();
    void menuGraphe_Click();
    void menuReglage_Click();
    void menuAlarme_Click();
    void menu_apropos_Click();
    void menu_nouveau_Click();
    void menu_charger_Click();
    // The test keys, "+" and "-", typed whatever control has the focus.
    void Form_KeyPress(int characterCode);

    // The chart as shown, with its rulers and their numbers, drawn at twice the screen's size.
    QImage chartPicture() const;
    // The chart's context menu: "Copier l'image" and "Enregistrer l'image…".
    void copyChartPicture();
    // The line under the picture: the file, the samples in view with their times, the unit.
    QString chartCaption() const;
    void saveChartPicture();
    // "Exporter pour tableur…", in the chart's and the list's context menus: the samples in view.
    void exportForSpreadsheet();

signals:
    // The user said Yes to leaving: the program ends.
    void quitConfirmed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    void connectAll();
    void applyWidth();
    // The controls placed for the surface's size; the rulers in values or not.
    void relayout();
    void affiche_barre_titre();
    void enableMenus();
    void setRecordingLook(bool recording);
    void setLoadingLook(bool loading);
    void showReading();
    // The window's size kept for the next start.
    void keepSize();
    // The live value in the alarm's colours, blinking while it waits, and the banner's text.
    void showAlarm();
    void tell(const QString &text, bool warning);

    Instrument &m_core;
    Dialogs &m_dialogs;
    SampleListView *m_sampleList = nullptr;
    ChartView *m_chart = nullptr;
    Ruler *m_xRuler = nullptr;
    Ruler *m_yRuler = nullptr;
    QLabel *m_clockLabel = nullptr;
    QLabel *m_valueLabel = nullptr;
    QPushButton *m_recordButton = nullptr;
    RecordingLed *m_led = nullptr;
    QLabel *m_heading = nullptr;
    QGroupBox *m_frame = nullptr;
    QAction *m_timeAxis = nullptr;
    bool m_sizing = false; // the program sets the size, the user does not
    QTimer *m_keepSize = nullptr; // the size kept once the user has stopped resizing
    QMenu *m_fileMenu = nullptr;
    QMenu *m_optionMenu = nullptr;
    QMenu *m_chartMenu = nullptr;
    QWidget *m_surface = nullptr;
    QAction *m_chartToggle = nullptr;
    LoadingWindow *m_loadingWindow = nullptr;
    AlarmBanner *m_alarmBanner = nullptr;
    QShortcut *m_acknowledgeKey = nullptr;
    QPointer<AlarmWindow> m_alarmWindow;
    bool m_alarmLit = false; // the live value shows the alarm's colours
    QPointer<FormOption> m_settingsDialog;
    QPointer<AboutBox> m_aboutBox;
    // Messages raised by start-up, shown over the window once it is on screen.
    bool m_holdMessages = false;
    bool m_resumeAsked = false; // on the first show
    bool m_quitAsked = false; // the quit question waits for its answer
    bool m_quitting = false; // answered Yes
    QList<std::pair<QString, bool>> m_heldMessages;
};

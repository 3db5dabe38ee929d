#pragma once

#include "about/aboutbox.h"
#include "acquisition/acquisition.h"
#include "chart/samplelist.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "recording/recorder.h"
#include "settings/formoption.h"
#include "settings/settingsmodel.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class ChartView;
class CircleShape;
class Dialogs;
class HidTransport;
class LoadingWindow;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class Ruler;
class SampleListView;

// The main window "Enregistreur": the sample list, the live value, the record button and LED,
// the chart with its rulers, and the menus. It wires the user's actions and the timers to the
// acquisition, recording, viewer and settings objects it owns.
class Enregistreur : public QMainWindow
{
    Q_OBJECT

public:
    struct Services
    {
        QString configPath;
        QString configFallback; // read while configPath is missing
        SerialLink::PortLister serialPorts = SerialLink::systemPorts;
        std::unique_ptr<HidTransport> hidTransport;
        Dialogs *dialogs = nullptr; // not owned; outlives the window
        Recorder::Clock clock = Recorder::Clock::system();
    };

    static constexpr int DesignHeightTwips = 3735; // the inside below the menu bar

    explicit Enregistreur(Services services);
    ~Enregistreur() override;

    // Start-up after the single-instance test: settings, source, width, title.
    void Form_Load();
    void affiche_barre_titre();

    // Menu and button handlers.
    void CmdRecord_Click();
    void menuGraphe_Click();
    void menuReglage_Click();
    void menu_apropos_Click();
    void menu_nouveau_Click();
    void menu_charger_Click();
    // The refresh of the live value five times a second, and the clock shown with it.
    void TimerValActu_Timer();
    // The key handler that sees every key typed in the window.
    void Form_KeyPress(int characterCode);

    // The list and the chart from the buffer; raz clears both.
    void affich();
    void raz();

    // The chart as shown, with its rulers and their numbers, drawn at twice the screen's size.
    QImage chartPicture() const;
    // The chart's context menu: "Copier l'image" and "Enregistrer l'image…".
    void copyChartPicture();
    void saveChartPicture();

    // The inside width in pixels for a width in twips.
    static int clientWidthFor(qint16 largeurFenetre);

    // The parts the window owns, for the programs that drive it from outside (the crash
    // stand-in, the benchmarks, the tests).
    SettingsModel &settings() { return m_settings; }
    Acquisition &acquisition() { return m_acquisition; }
    Recorder &recorder() { return m_recorder; }
    const MeasurementBuffer &buffer() const { return m_buffer; }

signals:
    // The user said Yes to leaving: the program ends.
    void quitConfirmed();
    // A file load has started (for tests that act in the middle of it).
    void loadStarted();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    void connectAll();
    void applyWidth();
    void setRecordingLook(bool recording);
    void setLedLit(bool lit);
    void showReading();
    Recorder::Plan recordingPlan() const;
    void tell(const QString &text, bool warning);

    Dialogs &m_dialogs;
    Acquisition m_acquisition;
    SettingsModel m_settings;
    MeasurementBuffer m_buffer;
    LoadedLines m_lines;
    Recorder m_recorder;

    SampleList m_listModel {m_buffer, m_lines};
    bool m_loadingFile = false;
    bool m_closeAfterLoad = false; // a close asked during a load

    SampleListView *m_sampleList = nullptr;
    ChartView *m_chart = nullptr;
    Ruler *m_xRuler = nullptr;
    Ruler *m_yRuler = nullptr;
    QLabel *m_clockLabel = nullptr;
    QLabel *m_valueLabel = nullptr;
    QPushButton *m_recordButton = nullptr;
    CircleShape *m_led = nullptr;
    CircleShape *m_ledGlow = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_optionMenu = nullptr;
    QMenu *m_chartMenu = nullptr;
    QWidget *m_surface = nullptr;
    QAction *m_chartToggle = nullptr;
    LoadingWindow *m_loadingWindow = nullptr;
    QPointer<FormOption> m_settingsDialog;
    QPointer<AboutBox> m_aboutBox;
    // Messages raised by start-up, shown over the window once it is on screen.
    bool m_holdMessages = false;
    QList<std::pair<QString, bool>> m_heldMessages;
};

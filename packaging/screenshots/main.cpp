// Makes the README's pictures: the main window with a recording shown, the settings dialog and
// the About box, each drawn by the real widgets on the display it runs on (Xvfb in the script).
#include "about/widgets/aboutbox.h"
#include "acquisition/hidtransport.h"
#include "app/instrument.h"
#include "app/widgets/desktoplook.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/enregistreur.h"
#include "app/widgets/qtdialogs.h"
#include "chart/widgets/chartview.h"
#include "recording/alarmjournal.h"
#include "recording/recordingfile.h"
#include "recording/recordingscales.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

namespace {

class NoBoard final : public HidTransport
{
public:
    bool open(quint16, quint16) override { return false; }
    void close() override { }
    bool isOpen() const override { return false; }
    int read(std::span<quint8>, int) override { return -1; }
    int write(std::span<const quint8>) override { return -1; }
};

class ShowFile final : public Dialogs
{
public:
    QString file;
    void askQuit(QWidget *, Answer answer) override { answer(true); }
    void askResume(QWidget *, const QString &, int, Answer answer) override { answer(false); }
    QString chooseNewRecording(QWidget *) override { return {}; }
    QString chooseRecordingToView(QWidget *) override { return file; }
    QString choosePicture(QWidget *, const QString &, const Refusal &) override { return {}; }
    QString chooseSpreadsheet(QWidget *, const QString &, const Refusal &) override { return {}; }
    void tell(QWidget *, const QString &, bool) override { }
    void openUrl(const QUrl &) override { }
};

// A day of temperatures, one sample every 10 minutes, as the program would have written it, with
// the sensor silent for 40 minutes in the evening.
QByteArray demoRecording()
{
    QByteArray bytes = RecordingFile::header();
    const QDateTime start(QDate(2026, 12, 6), QTime(0, 0));
    for (int i = 1; i <= 140; ++i) {
        const int slot = i > 117 ? i + 4 : i;
        const double value
            = 120 + 70 * std::sin((slot - 40) * M_PI / 72.0) + 6 * std::sin(slot * 0.9);
        const QDateTime at = start.addSecs(600 * (slot - 1));
        bytes += RecordingFile::line({i, std::floor(value), at.date(), at.time()});
    }
    return bytes;
}

bool save(QWidget *w, const QString &path)
{
    QTest::qWait(400);
    const bool ok = w->grab().save(path);
    qInfo("%s %s", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DesktopLook::apply(app);
    const QDir out(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString()).absolutePath());
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QFile cfg(work.filePath("ondaris.cfg"));
    cfg.open(QIODevice::WriteOnly);
    cfg.write("\"NE PAS MODIFIER CE FICHIER\",\"data_tr.csv\",2,0,7890\r\n");
    cfg.close();
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QFile recording(work.filePath("journee.csv"));
    recording.open(QIODevice::WriteOnly);
    recording.write(demoRecording());
    recording.close();

    ShowFile dialogs;
    dialogs.file = recording.fileName();
    Instrument::Services services;
    services.configPath = cfg.fileName();
    services.serialPorts = [port = work.filePath("no-port")] {
        return QStringList {port};
    };
    services.hidTransport = std::make_unique<NoBoard>();
    Instrument instrument(std::move(services));
    Enregistreur window(instrument, dialogs);
    window.Form_Load();
    window.show();
    window.menu_charger_Click();
    instrument.findChild<Acquisition *>()->TimerValActu_Timer();
    bool ok = save(&window, out.filePath("main-window.png"));

    // Exploring it: three notches in around the afternoon, the height fitted, a pin on the
    // afternoon's first peak, the pointer on a later one.
    auto *chart = window.findChild<QWidget *>("Ecran1");
    const auto send = [chart](QEvent::Type type, QPointF at, Qt::MouseButton button) {
        QMouseEvent event(type, at, chart->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, {});
        QApplication::sendEvent(chart, &event);
    };
    QWheelEvent wheel(QPointF(130, 80), chart->mapToGlobal(QPointF(130, 80)), {}, {0, 3 * 120},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    window.findChild<QAction *>("menu_ajuster_hauteur")->trigger();
    send(QEvent::MouseButtonPress, {52, 60}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {52, 60}, Qt::LeftButton);
    send(QEvent::MouseMove, {150, 120}, Qt::NoButton);
    ok = save(&window, out.filePath("explore.png")) && ok;

    window.menuReglage_Click();
    auto *settings = window.findChild<QWidget *>("Form_option");
    ok = save(settings, out.filePath("settings.png")) && ok;
    settings->close();
    QTest::qWait(100); // gone

    // The same day read in degrees: a scale of -20 to 80 °C, kept with the recording; the
    // settings dialog showing it, the main window the values, the label and its Δ in °C.
    instrument.chooseScale(QStringLiteral("-20"), QStringLiteral("80"), QStringLiteral("°C"));
    const QByteArray lines = demoRecording().mid(RecordingFile::header().size());
    RecordingScales::keep(recording.fileName(), lines.left(lines.indexOf("\r\n")),
                          instrument.scale(), nullptr);
    window.menuReglage_Click();
    settings = window.findChild<QWidget *>("Form_option");
    ok = save(settings, out.filePath("settings-scale.png")) && ok;
    settings->close();
    window.menu_charger_Click();
    instrument.findChild<Acquisition *>()->TimerValActu_Timer();
    send(QEvent::MouseButtonPress, {52, 60}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {52, 60}, Qt::LeftButton);
    send(QEvent::MouseMove, {150, 120}, Qt::NoButton);
    ok = save(&window, out.filePath("main-window-celsius.png")) && ok;

    // Maximised, on the time axis: the rulers in degrees and times of day, the outage a gap.
    window.findChild<ChartView *>("Ecran1")->showWhole();
    window.findChild<QAction *>("menu_ajuster_hauteur")->trigger();
    window.showMaximized();
    window.resize(window.screen()->availableSize()); // as maximised, with no window manager
    window.findChild<QAction *>("menu_axe_temps")->trigger();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(chart, &leave);
    ok = save(&window, out.filePath("main-window-time.png")) && ok;
    window.findChild<QAction *>("menu_axe_temps")->trigger();
    window.showNormal();
    window.resize(window.minimumSize());

    // A freezer's alarm above -5 °C, raised by the test keys and waiting for its
    // acknowledgement, over the day whose warm afternoon its journal shades; then the same in
    // the narrow window.
    write(AlarmJournal::pathFor(recording.fileName()),
          AlarmJournal::header()
              + "2026-12-06;10:22:00;Alarme haute;-4,9;-5,0;°C\r\n"
                "2026-12-06;10:40:00;Acquittée;;;\r\n"
                "2026-12-06;15:36:00;Retour à la normale;-5,2;-5,0;°C\r\n");
    window.menu_charger_Click();
    instrument.chooseAlarm({QStringLiteral("-5"), {}, QStringLiteral("0"), {}, true, false});
    for (int i = 0; i < 162; ++i)
        instrument.keyPress('+');
    auto *refresh = instrument.findChild<Acquisition *>();
    do
        refresh->TimerValActu_Timer();
    while (!instrument.alarm().look().lit);
    send(QEvent::MouseMove, {120, 60}, Qt::NoButton);
    ok = save(&window, out.filePath("alarm.png")) && ok;
    window.menuGraphe_Click();
    do
        refresh->TimerValActu_Timer();
    while (!instrument.alarm().look().lit);
    ok = save(&window, out.filePath("alarm-narrow.png")) && ok;
    window.menuGraphe_Click();

    window.menu_apropos_Click();
    ok = save(window.findChild<AboutBox *>("About"), out.filePath("about.png")) && ok;
    window.close();

    // The next start after the day's recording was cut by a power failure: the question.
    QDir cut(work.filePath("coupure"));
    cut.mkpath(QStringLiteral("."));
    const QByteArray name = recording.fileName().toUtf8();
    write(cut.filePath("ondaris.cfg"),
          "\"NE PAS MODIFIER CE FICHIER\",\"" + name + "\",3,0,7890\r\n");
    write(cut.filePath("ondaris.reprise"),
          "Ondaris : enregistrement en cours\n" + QByteArray::number(RecordingFile::header().size())
              + '\n' + name + '\n' + lines.left(lines.indexOf("\r\n")) + '\n');
    Instrument::Services again;
    again.configPath = cut.filePath("ondaris.cfg");
    again.serialPorts = [port = work.filePath("no-port")] {
        return QStringList {port};
    };
    again.hidTransport = std::make_unique<NoBoard>();
    Instrument restarted(std::move(again));
    QtDialogs real;
    Enregistreur next(restarted, real);
    next.Form_Load();
    QTimer::singleShot(1500, &next, [&] {
        QMessageBox *box = real.waiting().value(0);
        ok = box && save(box, out.filePath("resume.png")) && ok;
        if (box)
            box->button(QMessageBox::No)->click();
    });
    next.show();
    QTest::qWait(3000);
    return ok ? 0 : 1;
}

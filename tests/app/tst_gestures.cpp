#include "about/widgets/aboutbox.h"
#include "app/widgets/qtdialogs.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/samplelistview.h"
#include "chart/windowlayout.h"
#include "common/twips.h"
#include "notificationserver.h"
#include "ptypair.h"
#include "recording/recordingfile.h"
#include "recording/sampletext.h"
#include "settings/configfile.h"
#include "settings/extrasettings.h"
#include "settings/widgets/alarmwindow.h"
#include "settings/widgets/formoption.h"
#include "simulatedsensor.h"
#include "viewer/widgets/loadingwindow.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

using TestFiles::read;

namespace {

const QUrl kMail("mailto:ondaris@example.org?Subject=Ondaris%20et%20carte%20K8055");
const QUrl kSite("https://ondaris.example.org");
const QRgb kLedOff = qRgb(128, 0, 0), kGreen = qRgb(0, 255, 0), kGrey = qRgb(128, 128, 128);

// How many pixels of the area (the whole image by default) the predicate holds for.
template<typename Predicate> int pixelsOf(const QImage &image, Predicate wanted, QRect area = {})
{
    area = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += wanted(image.pixel(x, y));
    return n;
}
int pixelsOf(const QImage &image, QRgb colour) // of that colour
{
    return pixelsOf(image, [colour](QRgb p) { return p == colour; });
}

// The user's hand: input handed to the window system's side of Qt, as a display hands it over
// (at once: the test case sets it so), so that Qt finds the widget under the pointer, makes
// double clicks and context menus. Events come a second apart unless told otherwise: two clicks
// make a double click only when meant.
ulong eventTime = 0;
void mouse(QWidget *w, QPointF at, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
           ulong after = 1000, Qt::KeyboardModifiers modifiers = {})
{
    QWindow *window = w->window()->windowHandle();
    const QPointF local = w->mapTo(w->window(), at);
    QWindowSystemInterface::handleMouseEvent(window, eventTime += after, local,
                                             window->mapToGlobal(local), held, button, type,
                                             modifiers);
}
void click(QWidget *w, QPointF at, Qt::MouseButton button = Qt::LeftButton, ulong after = 1000,
           Qt::KeyboardModifiers modifiers = {})
{
    mouse(w, at, QEvent::MouseButtonPress, button, button, after, modifiers);
    mouse(w, at, QEvent::MouseButtonRelease, button, Qt::NoButton, 50, modifiers);
}
void drag(QWidget *w, QPointF from, QPointF to)
{
    mouse(w, from, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 3; ++step)
        mouse(w, from + (to - from) * step / 3, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    mouse(w, to, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}
void wheel(QWidget *w, QPointF at, int notches)
{
    QWindow *window = w->window()->windowHandle();
    const QPointF local = w->mapTo(w->window(), at);
    QWindowSystemInterface::handleWheelEvent(window, local, window->mapToGlobal(local), {},
                                             {0, 120 * notches});
}
// A key typed in the window of focus; the menu key also asks for a context menu, as the X11
// platform does.
void key(QWidget *focus, int key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
{
    QWindow *window = focus->window()->windowHandle();
    QWindowSystemInterface::handleKeyEvent(window, QEvent::KeyPress, key, modifiers, text);
    if (key == Qt::Key_Menu)
        QWindowSystemInterface::handleContextMenuEvent(window, false, {}, {}, modifiers);
    QWindowSystemInterface::handleKeyEvent(window, QEvent::KeyRelease, key, modifiers, text);
}
// The entry named name of the popup that is open, chosen with a click on it; false when no
// popup is open or it has no such enabled entry.
bool choose(const char *name)
{
    auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!popup)
        return false;
    for (QAction *action : popup->actions())
        if (action->objectName() == QLatin1StringView(name) && action->isEnabled()) {
            click(popup, popup->actionGeometry(action).center());
            return true;
        }
    key(popup, Qt::Key_Escape);
    return false;
}
// The window given another size by the window manager (an edge dragged, or maximised and
// restored), within the sizes the window asks for.
void resizedBySystem(QWidget *w, QSize size, Qt::WindowState state = Qt::WindowNoState)
{
    QWindow *window = w->windowHandle();
    size = size.boundedTo(w->screen()->availableSize())
               .expandedTo(w->minimumSize())
               .boundedTo(w->maximumSize());
    QWindowSystemInterface::handleWindowStateChanged(window, state);
    QWindowSystemInterface::handleGeometryChange(window, QRect(window->position(), size));
}
// A right click at a point of the widget, or the menu key with the focus on it.
void askMenu(QWidget *w, QPoint at, bool byKey)
{
    if (!byKey)
        return click(w, at, Qt::RightButton);
    w->window()->activateWindow(); // a popup leaves no window active on the offscreen platform
    if (!QTest::qWaitForWindowActive(w->window()))
        qWarning("%s is not active", qPrintable(w->window()->objectName()));
    w->setFocus();
    key(w, Qt::Key_Menu);
}

Q_LOGGING_CATEGORY(gestures, "ondaris.gestures", QtWarningMsg)

// The gestures played, the last ones kept for a failure's message. Each is also logged as it is
// played, for a crash: QT_LOGGING_RULES="ondaris.gestures.info=true" and the seed it printed.
struct Trail
{
    static constexpr int Kept = 16;
    QString lines[Kept];
    long played = 0;
    quint32 seed = 1;

    void add(const QString &gesture)
    {
        qCInfo(gestures, "%ld %s", played + 1, qPrintable(gesture));
        lines[played++ % Kept] = gesture;
    }
    QString text() const
    {
        QString out
            = QStringLiteral("ONDARIS_SEED=%1, gesture %2; the last ones:").arg(seed).arg(played);
        for (long i = std::max(0L, played - Kept); i < played; ++i)
            out += QStringLiteral("\n  %1 %2").arg(i + 1).arg(lines[i % Kept]);
        return out;
    }
};
Trail trail;

// The program as a user meets it, in a wide window: the real instrument and window, with the
// suite's clock, dialogs, scripted board and a pseudo-terminal for the serial sensor.
struct Program
{
    PtyPair pty;
    QtDialogs boxes; // the messages shown as the program shows them, waiting for an answer
    // An alarm that the test keys raise within a few presses.
    WindowRig rig {WindowRig::config(1, 0, 7890),
                   pty.slaveName(),
                   {{"ondaris.ini", "[alarme]\nhaute=3\nbasse=-3\ndelai=0.4\nhysteresis=1\n"}}};
    qint64 recordedFrom = -1; // where the running recording's lines begin in its file
    QString recordingFile;
    qint64 refreshedAt = rig.monotonic;
    bool stalled = false; // a timer could not run, or a window waited in a loop of its own

    Program()
    {
        rig.dialogs.shown = &boxes;
        QObject::connect(&rig.acquisition(), &Acquisition::refreshed,
                         [this] { refreshedAt = rig.monotonic; });
        QObject::connect(&rig.recorder(), &Recorder::recordingChanged, [this](bool on) {
            recordingFile = rig.core->current().fichier_donnees;
            recordedFrom = on ? QFileInfo(recordingFile).size() : -1;
        });
        rig.window->show();
        rig.window->activateWindow();
        if (!QTest::qWaitForWindowActive(rig.window.get()))
            qWarning("the main window is not active");
    }
    template<typename T> T *find(const char *name) const { return rig.find<T>(name); }
    ChartView *chart() const { return find<ChartView>("Ecran1"); }
    SampleListView *list() const { return find<SampleListView>("Text1"); }
    const SampleStore &store() const { return rig.core->samples(); }
    QString row(int r) const { return list()->model()->index(r, 0).data().toString(); }
    void tick()
    {
        stalled |= !rig.tick();
        if (auto *keepSize = find<QTimer>("TimerTaille"); keepSize->isActive())
            stalled |= !WindowRig::fire(keepSize); // the user stopped resizing a while ago
    }
    void view(const QString &path)
    {
        rig.dialogs.viewAnswer = path;
        QMenuBar *bar = rig.window->menuBar();
        click(bar, bar->actionGeometry(find<QMenu>("menu_fichier")->menuAction()).center());
        choose("menu_charger");
    }

    // What must hold whatever the user did; empty when it does.
    QString broken() const
    {
        QCoreApplication::processEvents(); // what the gesture left pending
        const SampleStore &s = store();
        const bool loading = rig.core->isLoading();
        const int n = loading ? 0 : s.num_mesure(), rows = list()->model()->rowCount();
        const int head = s.entete_fichier() ? 1 : 0;
        const auto wrong = [&](const QString &what) -> QString {
            return what
                + QStringLiteral(" (%1 samples, %2 rows, %3 drawn, top row \"%4\")")
                      .arg(QString::number(n), QString::number(rows),
                           QString::number(chart()->drawnCount()), row(head));
        };
        if ((rows != 0 || n != 0) // nothing during a load
            && (rows != n + 1 + head || !row(rows - 1).startsWith(QStringLiteral("0 ---- "))
                || (head && row(0) != *s.entete_fichier())
                || row(head) != SampleText::row(s.at(n), s.scaleAt(n))))
            return wrong("the list is not the store's samples");
        if (chart()->drawnCount() != n)
            return wrong("the chart does not draw the store's samples");
        if (chart()->pointedSample() && !(chart()->isVisible() && chart()->isEnabled()))
            return wrong("a marker where the chart cannot see the pointer");
        if (const QString bad = recordingBroken(); !bad.isEmpty())
            return bad;
        const QByteArray made = read(rig.dir.filePath("nouveau.csv")); // as "Nouvel Enregistrement"
        if ((!made.isEmpty() && !made.startsWith(RecordingFile::header()))
            || QFileInfo::exists(rig.dir.filePath("dit \"x\".csv")))
            return QStringLiteral("a new recording file without its header, or one refused made");
        const QByteArray cfg = read(rig.cfg());
        const ConfigFile::Decoded settings = ConfigFile::decode(cfg);
        if (!settings.clean || ConfigFile::encode(settings.settings) != cfg)
            return QStringLiteral("the settings file is not one whole record: ") + cfg;
        ExtraSettings kept(rig.dir.filePath("ondaris.ini"));
        kept.load();
        if (kept.scale() != rig.core->scale() || kept.alarm() != rig.core->alarmLimits())
            return QStringLiteral("the scale or the alarm in force is not the one kept");
        const Alarm::Look alarm = rig.core->alarm().look();
        if (find<QWidget>("FrameAlarme")->isVisible() != alarm.shown
            || find<QWidget>("CmdAcquitter")->isVisibleTo(find<QWidget>("FrameAlarme"))
                != alarm.acknowledgeable)
            return QStringLiteral("the window does not show the alarm as it stands: ") + alarm.text;
        const QByteArray journal = read(AlarmJournal::pathFor(settings.settings.fichier_donnees));
        if (!journal.isEmpty() && !journal.endsWith("\r\n"))
            return QStringLiteral("the alarm's journal ends with half a line");
        if (kept.timeAxis() != find<QAction>("menu_axe_temps")->isChecked()
            || (kept.windowHeight() && !find<QTimer>("TimerTaille")->isActive()
                && kept.windowHeight() != qRound(Twips::fromPixels(rig.window->height()))))
            return QStringLiteral("the time axis or the window's height is not the one kept");
        // The clock, the live value and the record button at their place from the bottom left.
        const int fromBottom = rig.window->centralWidget()->height() - find<QWidget>("Frame1")->y();
        if (fromBottom != WindowLayout::smallest().height() - Twips::px(2760)
            || find<QWidget>("Label3")->size() != Twips::rect(240, 3240, 855, 375).size())
            return QStringLiteral("the controls at the bottom left moved or changed size");
        const bool recording = rig.recorder().isRecording();
        if (stalled || rig.monotonic - refreshedAt > 400
            || (recording && rig.recorder().nextTickAt() <= rig.monotonic))
            return QStringLiteral("the refresh or the sampling tick did not run in time");
        if (QFileInfo::exists(rig.note()) != recording)
            return QStringLiteral(
                "a note of a recording that does not run, or none of one that does");
        for (const char *menu : {"menu_fichier", "menu_option"})
            if (find<QMenu>(menu)->isEnabledTo(rig.window.get()) == (recording || loading))
                return QStringLiteral("%1 enabled while busy, or disabled when not").arg(menu);
        QList<FormOption *> dialogs = rig.window->findChildren<FormOption *>();
        dialogs.removeIf(
            [](const FormOption *d) { return !d->isVisible(); }); // closed, not gone yet
        QList<AlarmWindow *> alarms = rig.window->findChildren<AlarmWindow *>();
        alarms.removeIf([](const AlarmWindow *w) { return !w->isVisible(); });
        if (dialogs.size() > 1 || rig.window->findChildren<AboutBox *>().size() > 1
            || alarms.size() > 1)
            return QStringLiteral("a second settings dialog, alarm dialog or About box");
        if (rig.window->isEnabled() == !dialogs.isEmpty())
            return QStringLiteral("the main window is enabled with the settings dialog open");
        // The dialog shows the stored choices: each click is applied and saved at once.
        for (const auto &[group, chosen] :
             {std::pair("Option1", int(settings.settings.duree_option)),
              {"Option2", int(settings.settings.source)}})
            for (auto *b : dialogs.isEmpty() ? QList<QAbstractButton *>()
                                             : dialogs[0]->findChildren<QAbstractButton *>(group))
                if (b->isChecked() && b->property("index") != chosen)
                    return wrong(QStringLiteral("the settings dialog does not show ") + group);
        QWidget *led = find<QWidget>("Led1");
        if (find<QTimer>("TimerLed")->isActive() != recording
            || (find<QPushButton>("CmdRecord")->text() == " Record  Stop") != recording
            || (!recording && led->grab().toImage().pixel(led->rect().center()) != kLedOff))
            return QStringLiteral("the LED or the button does not show whether it records");
        for (const QUrl &url : rig.dialogs.opened)
            if (url != kMail && url != kSite)
                return QStringLiteral("%1 opened: not an About link").arg(url.toString());
        if (!rig.window->isVisible()) // the quit question is answered No
            return QStringLiteral("the main window closed");
        const QString title = settings.settings.largeur_fenetre > Settings::NarrowWidth
            ? QStringLiteral("Ondaris                     Fichier en cours : ")
            : QStringLiteral("Ondaris : ");
        // The narrow window's title may elide the file name in its middle.
        const QString full = title + settings.settings.fichier_donnees,
                      shown = rig.window->windowTitle();
        const bool elided = shown.count(u'…') == 1 && full.startsWith(shown.section(u'…', 0, 0))
            && full.endsWith(shown.section(u'…', 1)) && title == "Ondaris : ";
        if ((rig.window->width() != Twips::px(settings.settings.largeur_fenetre)
             && !find<QTimer>("TimerTaille")->isActive())
            || (shown != full && !elided))
            return wrong("the width or the title \"" + rig.window->windowTitle()
                         + "\" is not the settings'");
        return {};
    }
    // The running recording's lines: whole, numbered 1 on in order, each sample listed in them.
    QString recordingBroken() const
    {
        if (recordedFrom < 0 || store().entete_fichier())
            return {};
        const QByteArray lines = read(recordingFile).mid(recordedFrom);
        if (!lines.isEmpty() && !lines.endsWith("\r\n"))
            return QStringLiteral("the recording ends with half a line");
        const QList<QByteArray> samples = lines.chopped(lines.isEmpty() ? 0 : 1).split('\n');
        const int n = store().num_mesure();
        if ((lines.isEmpty() ? 0 : samples.size()) != n)
            return QStringLiteral("%1 samples listed, %2 recorded").arg(n).arg(samples.size());
        for (int i = 1; i <= n; ++i)
            if (samples[i - 1] + '\n' != RecordingFile::line(store().at(i)))
                return QStringLiteral("recorded line %1 is \"%2\"").arg(i).arg(samples[i - 1]);
        return {};
    }
};

} // namespace

class TestGestures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QWindowSystemInterface::setSynchronousWindowSystemEvents(true);
        // What the offscreen platform cannot do (raise, grab) is said at every popup.
        static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &where, const QString &text) {
                if (!text.startsWith(QLatin1StringView("This plugin does not support")))
                    previous(type, where, text);
            });
    }
    void init() { QApplication::clipboard()->clear(); }
    // Each entry of the list's and the chart's menus, opened by a right click or the menu key in
    // every state of the program and chosen in the popup that opened, does what it says.
    void contextMenus_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("byKey");
        for (const char *state : {"empty", "viewed", "recording", "zoomed", "pinned"})
            for (const bool byKey : {false, true})
                QTest::addRow("%s, %s", state, byKey ? "key" : "click") << state << byKey;
    }
    void contextMenus()
    {
        QFETCH(QString, state);
        QFETCH(bool, byKey);
        Program p;
        ChartView *chart = p.chart();
        const QPoint middle = chart->rect().center();
        if (state != "empty") {
            TestFiles::write(p.rig.dir.filePath("vue.csv"), TestFiles::recording(32000, [](int i) {
                                 return i == 8140 ? 0 : 255;
                             }));
            p.view(p.rig.dir.filePath("vue.csv"));
        }
        if (state == "recording" || state == "zoomed") {
            click(p.find<QPushButton>("CmdRecord"), {5, 5});
            for (int i = 0; i < 40; ++i)
                p.tick();
        }
        if (state == "zoomed") { // a drag to the right shows earlier samples
            wheel(chart, middle, 3);
            const int first = chart->samplesInView().first;
            drag(chart, middle, middle + QPoint(50, 0));
            QVERIFY(chart->samplesInView().first < first);
        }
        if (state == "pinned")
            click(chart, middle - QPoint(30, 0));
        SampleListView *list = p.list();
        QScrollBar *scroll = list->verticalScrollBar();
        const auto copied = [&] {
            key(list, Qt::Key_C, Qt::ControlModifier);
            return QApplication::clipboard()->text();
        };
        if (state == "recording") { // a selection stays on its samples as new ones come on top,
            // and a user reading older samples keeps them in sight
            const QAbstractItemModel *rows = list->model();
            click(list->viewport(), list->visualRect(rows->index(3, 0)).center());
            click(list->viewport(), list->visualRect(rows->index(4, 0)).center(), Qt::LeftButton,
                  1000, Qt::ShiftModifier);
            const QString chosen = copied();
            QCOMPARE(chosen, p.row(3) + u'\n' + p.row(4) + u'\n');
            p.tick();
            QApplication::processEvents();
            QCOMPARE(std::pair(scroll->value(), copied()), std::pair(0, chosen));
            scroll->setValue(10);
            p.tick();
            p.tick();
            QApplication::processEvents();
            QCOMPARE(scroll->value(), 12);
        }
        const int samples = p.store().num_mesure();
        const auto inView = chart->samplesInView();
        QVERIFY2(p.broken().isEmpty(), qPrintable(p.broken()));
        // Black inside, grey centre lines, the trace green on its values' row (recorded zeros at
        // the bottom, a file of 255 at the top), in a dark colour scheme and disabled too; the
        // same when shown again.
        if (state == "viewed") {
            QPalette dark = chart->palette();
            dark.setColor(QPalette::WindowText, Qt::white);
            dark.setColor(QPalette::Mid, QColor(40, 40, 40));
            chart->setPalette(dark);
        }
        chart->hide(); // and the pointer's marker with it
        chart->show();
        chart->setEnabled(state != "pinned");
        const QImage shown = chart->grab().toImage();
        const QPoint inner = chart->innerRect().topLeft().toPoint();
        QCOMPARE(chart->innerRect().size(), QSizeF(229, 173));
        QCOMPARE(shown.pixel(inner + QPoint(10, 40)), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(inner + QPoint(10, 86)), kGrey);
        QCOMPARE(pixelsOf(shown, kGreen) > 0, samples > 0);
        const int row = state == "recording" || state == "zoomed" ? 172 : 0;
        for (const int x : {46, 100, 228})
            QVERIFY(!samples || shown.pixel(inner + QPoint(x, row)) == kGreen);
        chart->hide();
        chart->show();
        QCOMPARE(chart->grab().toImage(), shown);
        chart->setEnabled(true);
        if (state == "viewed") { // far more samples than columns: the marker on the one pointed at
            mouse(chart, {60, 80}, QEvent::MouseMove, Qt::NoButton, {});
            const auto marker = chart->markerAt({60, 80});
            QCOMPARE(marker ? marker->text : "none", "N° 8140 : 0 — 12-06-2026 04:38:58");
            QVERIFY(std::abs(marker->x - 60) < 0.01 && chart->innerRect().contains(marker->label));
            QVERIFY(chart->innerRect().contains(
                chart->markerAt({229, 3})->label.topLeft())); // kept inside
            QCOMPARE(chart->grab().toImage().pixel(int(marker->x), 150), kGrey); // its line
            mouse(list, {5, 5}, QEvent::MouseMove, Qt::NoButton, {}); // gone with the pointer
            QVERIFY(!chart->pointedSample()
                    && chart->grab().toImage().pixel(int(marker->x), 150) != kGrey);
        }

        // Each entry chosen in the popup that opened over the list or the chart: false when it
        // was not there to be chosen.
        FakeDialogs &d = p.rig.dialogs;
        const auto chosen = [&](QWidget *w, const char *entry) {
            askMenu(w, w == chart ? middle : w->rect().center(), byKey);
            return choose(entry);
        };
        QVERIFY(chosen(list, "menu_tout_selectionner"));
        QCOMPARE(chosen(list, "menu_copier"), samples > 0 || state == "viewed");
        QCOMPARE(QApplication::clipboard()->text().count(u'\n'), list->model()->rowCount());
        d.spreadsheetAnswer = p.rig.dir.filePath("liste.csv");
        QCOMPARE(chosen(list, "menu_exporter"), samples > 0); // the samples in view
        QCOMPARE(read(d.spreadsheetAnswer).count('\n'),
                 samples > 0 ? inView.second - inView.first + 2 : 0);
        d.spreadsheetAnswer = p.rig.dir.filePath("graphe.csv");
        QCOMPARE(chosen(chart, "menu_exporter"), samples > 0);
        QCOMPARE(read(d.spreadsheetAnswer), read(p.rig.dir.filePath("liste.csv")));
        d.spreadsheetAnswer = p.rig.dir.filePath("graphe.XLSX"); // a workbook, a zip archive
        QCOMPARE(chosen(chart, "menu_exporter"), samples > 0);
        QCOMPARE(read(d.spreadsheetAnswer).startsWith("PK\x03\x04"), samples > 0);

        chart->setFocus();
        mouse(chart, middle, QEvent::MouseMove, Qt::NoButton, {});
        QCOMPARE(chart->pointedSample().has_value(), samples > 0);
        QVERIFY(chosen(chart, "menu_copier_image"));
        QVERIFY(!chart->pointedSample()); // the popup took the pointer
        QCOMPARE(QApplication::clipboard()->image().size(), p.rig.window->chartPicture().size());
        d.pictureAnswer = p.rig.dir.filePath("graphe.png");
        QVERIFY(chosen(chart, "menu_enregistrer_image"));
        // Both proposed beside the file the samples came from.
        const QString from
            = p.rig.dir.filePath(state == "viewed" || state == "pinned" ? "vue" : "data_tr");
        QCOMPARE(d.pictureProposed, from + ".png");
        QVERIFY(!samples || d.spreadsheetProposed == from + "-tableur.csv");
        // The chart at twice its size, its trace, the rulers' numbers beside it.
        const QImage picture = p.rig.window->chartPicture();
        QCOMPARE(QImage(d.pictureAnswer).size(), picture.size());
        const QWidget *yRuler = p.find<QWidget>("Picture2");
        const QPoint numbers = (yRuler->geometry().topRight() - chart->geometry().topLeft()) * 2;
        const auto dark = [](QRgb c) {
            return qGray(c) < 100;
        };
        QVERIFY(pixelsOf(picture, dark, QRect(numbers + QPoint(2, 0), QSize(60, 200))) > 20);
        QCOMPARE(pixelsOf(picture, kGreen) > 2 * 228, samples > 0);
        // A recording file is never written over; what cannot be written is told, and why.
        for (const char *name : {"data_tr.csv", "absent/e.csv"}) {
            d.spreadsheetAnswer = d.pictureAnswer = p.rig.dir.filePath(name);
            chosen(chart, "menu_exporter");
            chosen(chart, "menu_enregistrer_image");
        }
        QCOMPARE(d.told.filter("d'enregistrement").size(), samples > 0 ? 2 : 1);
        QCOMPARE(d.told.filter(":\n").size(), samples > 0 ? 2 : 1);
        d.told.clear();
        QCOMPARE(chosen(chart, "menu_retirer_repere"), state == "pinned");
        QVERIFY(!chart->pinnedSample());
        QVERIFY(chosen(chart, "menu_ajuster_hauteur"));
        QVERIFY(p.find<QAction>("menu_ajuster_hauteur")->isChecked());
        QCOMPARE(chosen(chart, "menu_vue_ensemble"), state == "zoomed");
        QVERIFY(chart->isWhole() && d.told.isEmpty());
        QVERIFY2(p.broken().isEmpty(), qPrintable(p.broken()));
        if (state == "recording") { // a new recording: an empty chart, no marker, no selection
            mouse(chart, middle, QEvent::MouseMove, Qt::NoButton, {});
            click(p.find<QPushButton>("CmdRecord"), {5, 5});
            click(p.find<QPushButton>("CmdRecord"), {5, 5});
            QVERIFY(!chart->pointedSample());
            const QImage cleared = chart->grab().toImage();
            QCOMPARE(pixelsOf(cleared, kGreen), 0);
            QVERIFY(pixelsOf(cleared, kGrey) >= 229 + 173 - 2);
            QCOMPARE(copied(), QString());
        }
    }

    // A double click on each part of an About link opens its address once; the box stays.
    void aboutLinks()
    {
        QList<QUrl> opened;
        AboutBox box([&opened](const QUrl &url) { opened.append(url); });
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        int part = 0;
        for (const char *name : {"Mail", "Label1", "Image1", "SiteQuob", "Label2", "Image2"}) {
            auto *w = box.findChild<QWidget *>(name);
            click(w, w->rect().center());
            click(w, w->rect().center(), Qt::LeftButton, 50);
            QCOMPARE(opened, QList<QUrl>(1, part++ < 3 ? kMail : kSite));
            opened.clear();
        }
        QVERIFY(box.isVisible());
    }

    void alarm_data()
    {
        QTest::addColumn<bool>("desktop"); // a session bus with a notification server
        QTest::newRow("on a desktop") << true;
        QTest::newRow("no desktop, the journal blocked") << false;
    }
    // Set in its dialog, raised by the test keys during a recording, the alarm is shown, heard,
    // notified and journalled; acknowledged from the notification or by a key; shaded on the
    // chart, recorded and viewed; still waiting after a crash.
    void alarm()
    {
        QFETCH(bool, desktop);
        PrivateBus bus;
        NotificationServer server(bus);
        QVERIFY(!desktop || server.isValid());
        QTemporaryDir sounds;
        const QString played = sounds.filePath("played");
        WindowRig rig(WindowRig::config(1, 0, 7890), {}, {}, [&](Instrument::Services &s) {
            if (desktop)
                s.notificationBus = [&bus] {
                    return bus.connect("ondaris");
                };
            // A player takes its time: one asked while it plays is not started again.
            s.soundPlayer
                = AlarmSound::Player {"/bin/sh", {"-c", "echo x >>" + played + "; sleep 0.5"}};
        });
        const QString journal = rig.dir.filePath("data_tr-alarmes.csv");
        if (!desktop)
            QDir().mkdir(journal); // a folder where the journal would go
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        QMenuBar *bar = rig.window->menuBar();
        click(bar, bar->actionGeometry(rig.find<QMenu>("menu_option")->menuAction()).center());
        QVERIFY(choose("menuAlarme"));
        auto *dialog = rig.window->findChild<AlarmWindow *>("Form_alarme");
        QVERIFY(dialog && dialog->isVisible() && rig.window->isEnabled());
        const auto type = [&](const char *field, const QString &text) {
            auto *edit = dialog->findChild<QLineEdit *>(field);
            edit->selectAll();
            QTest::keyClicks(edit, text.isEmpty() ? QStringLiteral("\b") : text);
        };
        type("TextHaute", "3");
        type("TextBasse", "3");
        QTest::mouseClick(dialog->findChild<QPushButton *>("CmdOK"), Qt::LeftButton);
        QVERIFY(dialog->findChild<QLabel *>("LabelRaison")->text().contains("au-dessous"));
        QVERIFY(!rig.core->alarmLimits().isArmed()
                && !read(rig.dir.filePath("ondaris.ini")).contains("haute=3"));
        type("TextBasse", "");
        type("TextDelai", "1,5");
        type("TextHysteresis", "1");
        QTest::keyClick(dialog->findChild<QLineEdit *>("TextHysteresis"), Qt::Key_Return);
        QTRY_VERIFY(rig.window->findChild<AlarmWindow *>() == nullptr); // closed and gone
        QCOMPARE(rig.core->alarmLimits().high, 3);

        auto *value = rig.find<QLabel>("Label3");
        auto *banner = rig.find<QWidget>("FrameAlarme");
        auto *acknowledge = rig.find<QPushButton>("CmdAcquitter");
        const auto red = [&] {
            return value->grab().toImage().pixel(3, 3) == qRgb(255, 0, 0);
        };
        const auto lines = [&] {
            return QString::fromUtf8(read(journal)).split("\r\n");
        };
        const auto tick = [&](int n) {
            for (int i = 0; i < n; ++i)
                QVERIFY(rig.tick());
        };
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        click(rig.find<QPushButton>("CmdRecord"), {5, 5});
        tick(3);
        for (int i = 0; i < 4; ++i)
            key(rig.window.get(), Qt::Key_Plus, {}, "+");
        tick(2); // beyond at the first refresh, 1 s short of the delay at the next
        QVERIFY(!banner->isVisible() && !red());
        tick(1); // the delay over, a sampling tick in it
        QVERIFY(banner->isVisible() && acknowledge->isVisible());
        QCOMPARE(rig.find<QLabel>("LabelAlarme")->text(), "ALARME haute : 4 > 3 depuis 10:05:05");
        auto *refresh = rig.acquisition().findChild<QTimer *>("TimerValActu");
        QList<bool> blink;
        for (int i = 0; i < 4; ++i, rig.monotonic += 250) { // half a second lit, half not
            QVERIFY(WindowRig::fire(refresh));
            blink << red();
        }
        refresh->stop();
        QVERIFY(blink == QList<bool>({true, true, false, false})
                || blink == QList<bool>({false, false, true, true}));
        QCOMPARE(lines().value(1), desktop ? "2026-03-14;10:05:05;Alarme haute;4;3;" : "");
        QTRY_COMPARE(read(played), "x\n");
        tick(3); // a fourth second passed as it blinked
        QTest::qWait(600); // played, 1 s short of sounding again
        QCOMPARE(read(played), "x\n");
        tick(1);
        QTRY_COMPARE(read(played), "x\nx\n");
        if (desktop) {
            QTRY_COMPARE(server.shown.size(), 1);
            QCOMPARE(server.shown[0].actions, QStringList({"acquitter", "Acquitter"}));
            QCOMPARE(server.shown[0].summary, "Ondaris : alarme haute");
            server.choose(server.shown[0].id, "acquitter");
            QTRY_VERIFY(!acknowledge->isVisible());
            QTRY_COMPARE(server.closed, QList<uint>({server.shown[0].id}));
            QCOMPARE(lines().value(2), "2026-03-14;10:05:10;Acquittée;;;");
        } else {
            key(rig.window.get(), Qt::Key_Escape);
            QVERIFY(!acknowledge->isVisible());
            QCOMPARE(rig.dialogs.told.filter("ne peut pas être écrit").size(), 1);
            QCOMPARE(rig.dialogs.told.filter("notifiées sur le bureau").size(), 1);
        }
        tick(6); // still out: red, steady, silent
        QVERIFY(banner->isVisible() && red() && value->text() == "4");
        QCOMPARE(read(played), "x\nx\n");
        key(rig.window.get(), Qt::Key_Minus, {}, "-");
        tick(1); // at the limit, not yet inside it by the hysteresis
        QCOMPARE(rig.find<QLabel>("LabelAlarme")->text(),
                 "ALARME haute depuis 10:05:05 (4 > 3) ; 3 maintenant, pas encore revenue à la "
                 "normale");
        key(rig.window.get(), Qt::Key_Minus, {}, "-");
        tick(1); // back inside by the hysteresis
        QVERIFY(!banner->isVisible() && !red());
        for (int i = 0; i < 2; ++i)
            key(rig.window.get(), Qt::Key_Plus, {}, "+");
        tick(3); // raised again, and not acknowledged
        QVERIFY(acknowledge->isVisible());
        if (!desktop) { // told once, whatever comes; acknowledged in the window
            QCOMPARE(rig.dialogs.told.size(), 2);
            click(acknowledge, acknowledge->rect().center());
            QVERIFY(!acknowledge->isVisible() && banner->isVisible());
        }
        click(rig.find<QPushButton>("CmdRecord"), {5, 5});

        // The samples in alarm shaded, said by the pointer's label, as recorded and as viewed.
        ChartView *chart = rig.find<ChartView>("Ecran1");
        const SampleStore &store = rig.core->samples();
        const auto bands = [&] {
            QString seen;
            for (const auto &band : store.alarmBands())
                seen += QStringLiteral("%1-%2 ").arg(band.first).arg(band.last);
            return seen;
        };
        QCOMPARE(bands(), "6-18 22-22 ");
        const QImage shaded = chart->grab().toImage();
        QVERIFY(pixelsOf(shaded, qRgb(90, 0, 0)) > 100);
        const double x = ChartGeometry::toPixel(12, 0, {0, 21, 0, 255}, chart->innerRect()).x();
        mouse(chart, {x, 80}, QEvent::MouseMove, Qt::NoButton, {});
        QVERIFY(chart->markerAt({x, 80})->text.endsWith("en alarme haute"));
        rig.dialogs.viewAnswer = rig.dir.filePath("data_tr.csv");
        click(bar, bar->actionGeometry(rig.find<QMenu>("menu_fichier")->menuAction()).center());
        QVERIFY(choose("menu_charger"));
        QCOMPARE(bands(), desktop ? "6-18 22-22 " : "");

        // A crash: the alarm waits again at the next start.
        rig.window.reset();
        rig.core.reset();
        Instrument again(testServices(rig.dir.path()));
        again.start();
        QCOMPARE(again.alarm().look().acknowledgeable, desktop);
        if (desktop)
            QVERIFY(lines().filter(";Surveillance interrompue;").size() == 1);
    }

    // Resized and maximised by the window system, the time axis chosen in the chart's menu: the
    // chart grows, the controls at the bottom left stay, and the next start opens the same.
    void windowSizeKept()
    {
        auto rig = std::make_unique<WindowRig>(WindowRig::config(1, 0, 7890));
        QWidget *window = rig->window.get();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *chart = rig->find<ChartView>("Ecran1");
        const QSize small = chart->size();
        const auto valueFromBottom = [&] {
            return window->height() - rig->find<QWidget>("Label3")->mapTo(window, QPoint()).y();
        };
        const int fromBottom = valueFromBottom();
        resizedBySystem(window, {700, 500});
        QCOMPARE(window->size(), QSize(700, 500));
        // All the height it gained; its width less the room the rulers' values take.
        const QSize gained = QSize(700, 500) - window->minimumSize();
        QCOMPARE(chart->height(), small.height() + gained.height());
        QVERIFY(chart->width() > small.width() + gained.width() - 30);
        QCOMPARE(valueFromBottom(), fromBottom);
        askMenu(chart, chart->rect().center(), false);
        QVERIFY(choose("menu_axe_temps"));
        QVERIFY(WindowRig::fire(rig->find<QTimer>("TimerTaille"))); // the resizing is over
        resizedBySystem(window, window->screen()->availableSize(), Qt::WindowMaximized);
        QVERIFY(window->isMaximized());
        QCOMPARE(window->size(), window->screen()->availableSize());
        resizedBySystem(window, {700, 500}); // restored before the quit
        QVERIFY(WindowRig::fire(rig->find<QTimer>("TimerTaille")));

        Instrument again(testServices(rig->dir.path()));
        Enregistreur next(again, rig->dialogs);
        next.Form_Load();
        next.show();
        QCOMPARE(next.size(), QSize(700, 500));
        QVERIFY(next.findChild<QAction *>("menu_axe_temps")->isChecked());
    }

    // Random gestures, by seed, each through the event system to what a user can reach then;
    // after each, what must always hold. ONDARIS_SEED and ONDARIS_GESTURES set another run.
    void exerciser()
    {
        if (qEnvironmentVariableIsSet("ONDARIS_SEED"))
            trail.seed = quint32(qEnvironmentVariableIntValue("ONDARIS_SEED"));
        qInfo("ONDARIS_SEED=%u", trail.seed);
        const int count = qEnvironmentVariableIsSet("ONDARIS_GESTURES")
            ? qEnvironmentVariableIntValue("ONDARIS_GESTURES")
            : 5000;
        QRandomGenerator random(trail.seed);

        Program p;
        FakeDialogs &dialogs = p.rig.dialogs;
        int recordings = 0, frame = 0;
        connect(&p.rig.recorder(), &Recorder::recordingChanged, this,
                [&](bool on) { recordings += on; });
        const QDir dir(p.rig.dir.path());
        TestFiles::write(dir.filePath("vue.csv"),
                         TestFiles::recording(60, [](int i) { return i; }));
        TestFiles::write(dir.filePath("longue.csv"),
                         TestFiles::recording(4000, [](int i) { return i % 999; }));
        TestFiles::write(dir.filePath("sans-entete.csv"),
                         TestFiles::samples(1, 25, [](int i) { return 7 * i; }));
        TestFiles::write(dir.filePath("hostile.csv"),
                         RecordingFile::header() + "1;5;a;b\r\n2;\xff\x00;;\r\n"
                             + QByteArray(9000, '9'));
        const QStringList viewed {dir.filePath("vue.csv"),         dir.filePath("longue.csv"),
                                  dir.filePath("sans-entete.csv"), dir.filePath("hostile.csv"),
                                  dir.filePath("absente.csv"),     QString()};
        const auto pick = [&](const QStringList &from) {
            return from[random.bounded(int(from.size()))];
        };
        const auto answer = [&] {
            dialogs.viewAnswer = pick(viewed);
            dialogs.newRecordingAnswer
                = pick({dir.filePath("nouveau.csv"), dir.filePath("dit \"x\".csv"),
                        dir.filePath("absent/a.csv"), QString()});
            dialogs.pictureAnswer
                = pick({dir.filePath("image.png"), dir.filePath("absent/i.png"), QString()});
            dialogs.spreadsheetAnswer
                = pick({dir.filePath("export.csv"), p.rig.core->current().fichier_donnees,
                        dir.filePath("absent/e.csv"), QString()});
        };
        const std::pair<int, const char *> keys[]
            = {{Qt::Key_Plus, "+"},    {Qt::Key_Minus, "-"}, {Qt::Key_Escape, ""},
               {Qt::Key_Return, "\r"}, {Qt::Key_Space, " "}, {Qt::Key_Tab, "\t"},
               {Qt::Key_Menu, ""},     {Qt::Key_C, "c"},     {Qt::Key_A, "a"},
               {Qt::Key_5, "5"},       {Qt::Key_Comma, ","}};

        // In odd seeds a message is left unanswered for a quarter of the gestures.
        bool leaveBoxes = false;
        const auto leftAlone = [&](QWidget *w) {
            return leaveBoxes && qobject_cast<QMessageBox *>(w->window());
        };

        // One gesture on whatever the user can reach now.
        std::function<void(bool)> play = [&](bool duringLoad) {
            // Every widget of the windows on screen (the main window always among them), those
            // that blink or pop up with time aside, so that a seed plays the same gestures.
            QWidgetList reachable, tops = QApplication::topLevelWidgets(); // a set's order
            std::sort(tops.begin(), tops.end(), [](const QWidget *a, const QWidget *b) {
                return std::pair(a->objectName(), QString::fromLatin1(a->metaObject()->className()))
                    < std::pair(b->objectName(), QString::fromLatin1(b->metaObject()->className()));
            });
            for (QWidget *top : std::as_const(tops))
                if (top->isVisible() && top->windowHandle() && top->windowType() != Qt::ToolTip
                    && !leftAlone(top))
                    reachable << top->findChildren<QWidget *>() << top;
            auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            const int kind = random.bounded(popup ? 4 : 10);
            if (popup && kind < 3) {
                const QList<QAction *> entries = popup->actions();
                QAction *entry = entries[random.bounded(int(entries.size()))];
                answer();
                trail.add(QStringLiteral("choose \"%1\" in %2, the file dialogs answering %3")
                              .arg(entry->text(), popup->objectName(),
                                   QFileInfo(dialogs.viewAnswer).fileName()));
                return click(popup, popup->actionGeometry(entry).center());
            }
            if (kind == 0 && !duringLoad) {
                if (random.bounded(400) == 0) {
                    trail.add(QStringLiteral("the serial sensor's adapter is pulled out"));
                    p.pty.hangUp();
                }
                trail.add(QStringLiteral("time passes"));
                const int frames = random.bounded(3);
                for (int i = 0; i < frames && p.rig.core->current().source == 2; ++i)
                    p.pty.write(QByteArray(
                        reinterpret_cast<const char *>(SimulatedSensor::frame(++frame).data()), 4));
                p.rig.board->answers
                    = {FakeHidTransport::report(0, quint8(random.bounded(256)), 0)};
                p.rig.board->present = random.bounded(8) > 0;
                return p.tick();
            }
            if (kind == 1) {
                QMenuBar *bar = p.rig.window->menuBar();
                const QList<QAction *> menus = bar->actions();
                QAction *menu = menus[random.bounded(int(menus.size()))];
                trail.add(QStringLiteral("menu bar \"%1\"").arg(menu->text()));
                return click(bar, bar->actionGeometry(menu).center());
            }
            if (kind == 4 && random.bounded(4) == 1) {
                // The window resized by the window system, maximised, or restored.
                QWidget *window = p.rig.window.get();
                const int how = random.bounded(3);
                const QSize size(random.bounded(200, 1000), random.bounded(200, 800));
                trail.add(how == 0 ? QStringLiteral("the window resized to %1 × %2")
                                         .arg(size.width())
                                         .arg(size.height())
                              : how == 1 ? QStringLiteral("the window maximised")
                                         : QStringLiteral("the window restored"));
                if (how == 1)
                    resizedBySystem(window, window->screen()->availableSize(), Qt::WindowMaximized);
                else
                    resizedBySystem(window, how == 0 ? size : window->minimumSize());
                QCoreApplication::processEvents();
                return;
            }
            if (kind == 4 && random.bounded(3) == 0) {
                QWidget *top = reachable[random.bounded(int(reachable.size()))]->window();
                trail.add(QStringLiteral("close %1").arg(top->objectName()));
                QWindowSystemInterface::handleCloseEvent(top->windowHandle());
                return;
            }
            if (kind <= 3) {
                const auto [k, text] = keys[random.bounded(int(std::size(keys)))];
                const bool control = (k == Qt::Key_C || k == Qt::Key_A) && random.bounded(2);
                QWidget *focus = popup ? popup : QApplication::focusWidget();
                focus = focus && !leftAlone(focus) ? focus : p.rig.window.get();
                trail.add(QStringLiteral("key %1%2 to %3")
                              .arg(control ? "Ctrl+" : "", QKeySequence(k).toString(),
                                   focus->objectName()));
                return key(focus, k, control ? Qt::ControlModifier : Qt::NoModifier,
                           control ? QString() : QString::fromLatin1(text));
            }
            QWidget *w = reachable[random.bounded(int(reachable.size()))];
            while (!w->isVisible() || w->rect().isEmpty())
                w = w->parentWidget();
            const QPointF at(random.bounded(w->width()), random.bounded(w->height()));
            const int how = random.bounded(6);
            static const char *names[]
                = {"click", "double click", "right click", "drag", "wheel", "move"};
            trail.add(QStringLiteral("%1 on %2 (%3) at %4,%5")
                          .arg(names[how], w->objectName(), w->metaObject()->className())
                          .arg(at.x())
                          .arg(at.y()));
            answer();
            switch (how) {
            case 0:
                return click(w, at);
            case 1:
                click(w, at);
                return click(w, at, Qt::LeftButton, 50);
            case 2:
                return click(w, at, Qt::RightButton);
            case 3:
                return drag(w, at, QPointF(random.bounded(w->width()), at.y()));
            case 4:
                return wheel(w, at, random.bounded(5) - 2);
            default:
                return mouse(w, at, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
            }
        };
        const auto check = [&] {
            const QString bad = p.broken();
            if (!bad.isEmpty())
                QFAIL(qPrintable(bad + u'\n' + trail.text()));
        };
        // A gesture that opens a menu of its own event loop (the scroll bar's) returns once the
        // user is done with it: the next gestures are played in it.
        int depth = 0;
        std::function<void(bool)> deliver = [&](bool duringLoad) {
            const int mine = ++depth;
            QTimer::singleShot(0, this, [&, mine] {
                for (int i = 0; depth == mine && i < 6 && QApplication::activePopupWidget()
                     && !QTest::currentTestFailed();
                     ++i)
                    deliver(true);
                if (depth == mine && QApplication::activePopupWidget())
                    key(QApplication::activePopupWidget(), Qt::Key_Escape);
            });
            const qsizetype opened = dialogs.opened.size();
            play(duringLoad);
            --depth;
            if (dialogs.opened.size() > opened + 1) // a double click on a link opens it once
                QFAIL(qPrintable("two addresses opened by one gesture\n" + trail.text()));
        };
        // No window of the program waits in an event loop of its own (the scripted file dialogs
        // answer at once): one that does is closed, and the test fails.
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&p] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                p.stalled = true;
                modal->close();
            }
        });
        watch.start(100);
        // A load that waits: gestures land while it reads.
        int nested = 0;
        connect(p.find<LoadingWindow>("barreChargement"), &LoadingWindow::started, this, [&] {
            for (int i = 0; i < 4 && nested == 0 && !QTest::currentTestFailed(); ++i) {
                ++nested;
                deliver(true);
                check();
                --nested;
            }
        });
        for (int i = 0; i < count && !QTest::currentTestFailed(); ++i) {
            if (trail.seed % 2 && (i == count / 2 || i == 3 * count / 4)) {
                if ((leaveBoxes = !leaveBoxes)) {
                    trail.add(QStringLiteral("a device message nobody answers"));
                    emit p.rig.core->told(QStringLiteral("Carte USB débranchée ?"), true);
                } else {
                    QVERIFY(!p.boxes.waiting().isEmpty());
                }
            }
            deliver(false);
            check();
        }
        qInfo("%ld gestures played, ONDARIS_SEED=%u: %d recordings, %lld messages, scale %s, "
              "%lld alarm events",
              trail.played, trail.seed, recordings, qint64(dialogs.told.size()),
              qPrintable(p.rig.core->scale().resolutionText(QLocale())),
              qint64(read(dir.filePath("data_tr-alarmes.csv")).count('\n')));
    }
};

QTEST_MAIN(TestGestures)
#include "tst_gestures.moc"

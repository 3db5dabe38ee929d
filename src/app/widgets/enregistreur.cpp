#include "enregistreur.h"

#include "about/widgets/aboutbox.h"
#include "alarmbanner.h"
#include "app/instrument.h"
#include "chart/chartgeometry.h"
#include "chart/samplelistmodel.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/ruler.h"
#include "chart/widgets/samplelistview.h"
#include "chart/windowlayout.h"
#include "common/twips.h"
#include "common/widgets/programicon.h"
#include "dialogs.h"
#include "mainsurface.h"
#include "recordingled.h"
#include "settings/widgets/alarmwindow.h"
#include "settings/widgets/formoption.h"
#include "viewer/widgets/loadingwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTime>
#include <QTimer>

namespace {

constexpr QRgb kValueRed = qRgb(192, 0, 0);
constexpr QRgb kAlarmRed = qRgb(255, 0, 0);
constexpr double kValuePoints = 12; // the live value's font, as long as the value fits

QLabel *valueLabel(QWidget *parent, const char *name, const QString &text, double points, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(kValueRed));
    label->setPalette(palette);
    QFont font = label->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

Enregistreur::Enregistreur(Instrument &instrument, Dialogs &dialogs)
    : QMainWindow(nullptr,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                      | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_core(instrument)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Enregistreur"));
    setWindowTitle(QStringLiteral("Ondaris"));
    setWindowIcon(ProgramIcon::icon());
    buildLayout();
    buildMenus();
    connectAll();
}

void Enregistreur::buildLayout()
{
    auto *surface = new MainSurface(this);
    setCentralWidget(surface);
    m_surface = surface;

    m_sampleList = new SampleListView(surface);
    m_sampleList->setModel(new SampleListModel(m_core.samples(), this));

    m_chart = new ChartView(m_core.samples(), surface);

    m_xRuler = new Ruler(Qt::Horizontal, surface);
    m_xRuler->setObjectName(QStringLiteral("Picture1"));
    m_xRuler->setChart(m_chart);
    m_yRuler = new Ruler(Qt::Vertical, surface);
    m_yRuler->setObjectName(QStringLiteral("Picture2"));
    m_yRuler->setChart(m_chart);
    surface->setRulers(m_xRuler, m_yRuler, m_chart);

    m_heading = new QLabel(QStringLiteral("     N° Record - Valeur - Date - Time"), surface);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setAutoFillBackground(true);
    m_heading->setBackgroundRole(QPalette::Button);
    m_heading->setForegroundRole(QPalette::WindowText);

    m_clockLabel = valueLabel(surface, "Label2", QStringLiteral("00.00"), 9.75, false);
    m_valueLabel = valueLabel(surface, "Label3", QStringLiteral("Valeur"), kValuePoints, true);

    // Over the foot of the list, so that the narrow window shows it too.
    m_alarmBanner = new AlarmBanner(surface);

    auto *frame1 = new QGroupBox(surface);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame = frame1;
    m_recordButton = new QPushButton(QStringLiteral(" Record   Start"), frame1);
    m_recordButton->setObjectName(QStringLiteral("CmdRecord"));
    m_recordButton->setGeometry(Twips::rect(240, 240, 1215, 495));
    m_recordButton->setAutoDefault(false);
    m_led = new RecordingLed(frame1);
    m_led->setGeometry(Twips::rect(1560, 240, 375, 480));
    surface->resize(WindowLayout::smallest());
    relayout();
    surface->installEventFilter(this);

    setTabOrder(m_sampleList, m_chart);
    setTabOrder(m_chart, m_xRuler);
    setTabOrder(m_xRuler, m_yRuler);
    setTabOrder(m_yRuler, m_recordButton);
    m_sampleList->setFocus();

    m_loadingWindow = new LoadingWindow(this);

    m_keepSize = new QTimer(this);
    m_keepSize->setObjectName(QStringLiteral("TimerTaille"));
    m_keepSize->setSingleShot(true);
    m_keepSize->setInterval(500);
    connect(m_keepSize, &QTimer::timeout, this, &Enregistreur::keepSize);
}

void Enregistreur::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setNativeMenuBar(false);
    const auto action = [](QMenu *menu, const char *name, const QString &text) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1StringView(name));
        return a;
    };
    const auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1StringView(name));
    };

    m_fileMenu = bar->addMenu(QStringLiteral("Fichier"));
    m_fileMenu->setObjectName(QStringLiteral("menu_fichier"));
    connect(action(m_fileMenu, "menu_nouveau", QStringLiteral("Nouvel Enregistrement")),
            &QAction::triggered, this, &Enregistreur::menu_nouveau_Click);
    separator(m_fileMenu, "menusepar1");
    connect(action(m_fileMenu, "menu_charger", QStringLiteral("Visualiser Enregistrement")),
            &QAction::triggered, this, &Enregistreur::menu_charger_Click);

    m_optionMenu = bar->addMenu(QStringLiteral("Option"));
    m_optionMenu->setObjectName(QStringLiteral("menu_option"));
    m_chartToggle = action(m_optionMenu, "menuGraphe", QStringLiteral("Graphe on/off"));
    m_chartToggle->setCheckable(true);
    connect(m_chartToggle, &QAction::triggered, this, &Enregistreur::menuGraphe_Click);
    separator(m_optionMenu, "separ1");
    connect(action(m_optionMenu, "menuReglage", QStringLiteral("Réglages")), &QAction::triggered,
            this, &Enregistreur::menuReglage_Click);
    connect(action(m_optionMenu, "menuAlarme", QStringLiteral("Alarme…")), &QAction::triggered,
            this, &Enregistreur::menuAlarme_Click);

    m_chartMenu = new QMenu(this);
    m_chartMenu->setObjectName(QStringLiteral("menu_graphe"));
    QAction *whole = action(m_chartMenu, "menu_vue_ensemble", QStringLiteral("Vue d'ensemble"));
    connect(whole, &QAction::triggered, m_chart, &ChartView::showWhole);
    QAction *fit
        = action(m_chartMenu, "menu_ajuster_hauteur", QStringLiteral("Ajuster la hauteur"));
    fit->setCheckable(true);
    connect(fit, &QAction::toggled, m_chart, &ChartView::setFitHeight);
    m_timeAxis = action(m_chartMenu, "menu_axe_temps", QStringLiteral("Axe du temps"));
    m_timeAxis->setCheckable(true);
    connect(m_timeAxis, &QAction::toggled, this, [this](bool on) {
        m_chart->setTimeAxis(on);
        m_core.setTimeAxis(on);
        relayout();
    });
    QAction *unpin
        = action(m_chartMenu, "menu_retirer_repere", QStringLiteral("Retirer le repère"));
    connect(unpin, &QAction::triggered, m_chart, &ChartView::removePin);
    m_chartMenu->addSeparator();
    connect(action(m_chartMenu, "menu_copier_image", QStringLiteral("Copier l'image")),
            &QAction::triggered, this, &Enregistreur::copyChartPicture);
    connect(action(m_chartMenu, "menu_enregistrer_image", QStringLiteral("Enregistrer l'image…")),
            &QAction::triggered, this, &Enregistreur::saveChartPicture);
    QAction *exporter
        = action(m_chartMenu, "menu_exporter", QStringLiteral("Exporter pour tableur…"));
    connect(exporter, &QAction::triggered, this, &Enregistreur::exportForSpreadsheet);
    m_sampleList->addAction(exporter);
    // What the chart shows decides what its menu offers.
    connect(m_chartMenu, &QMenu::aboutToShow, this, [this, whole, unpin, exporter] {
        // Samples without a date and time stay on the sample axis, and the menu says so.
        const bool undated = m_chart->isTimeAxisChosen() && !m_chart->isOnTimeAxis();
        m_timeAxis->setText(undated
                                ? QStringLiteral("Axe du temps (sans date : axe des échantillons)")
                                : QStringLiteral("Axe du temps"));
        whole->setEnabled(!m_chart->isWhole());
        unpin->setEnabled(m_chart->pinnedSample().has_value());
        exporter->setEnabled(m_chart->drawnCount() > 0);
    });

    QMenu *menuIntero = bar->addMenu(QStringLiteral("?"));
    menuIntero->setObjectName(QStringLiteral("menu_intero"));
    action(menuIntero, "menu_aide", QStringLiteral("Aide"))->setEnabled(false);
    connect(action(menuIntero, "menu_apropos", QStringLiteral("à Propos")), &QAction::triggered,
            this, &Enregistreur::menu_apropos_Click);
}

void Enregistreur::connectAll()
{
    connect(&m_core, &Instrument::refreshed, this, &Enregistreur::showReading);
    connect(&m_core, &Instrument::recordingChanged, this, &Enregistreur::setRecordingLook);
    connect(&m_core, &Instrument::loadingChanged, this, &Enregistreur::setLoadingLook);
    connect(&m_core, &Instrument::told, this, &Enregistreur::tell);
    connect(m_recordButton, &QPushButton::clicked, this, &Enregistreur::CmdRecord_Click);
    connect(&m_core.alarm(), &Alarm::changed, this, &Enregistreur::showAlarm);
    connect(m_alarmBanner, &AlarmBanner::acknowledged, &m_core.alarm(), &Alarm::acknowledge);
    // One key acknowledges too, whatever has the focus; only while there is something to
    // acknowledge, so that Escape keeps its other uses.
    m_acknowledgeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_acknowledgeKey->setEnabled(false);
    connect(m_acknowledgeKey, &QShortcut::activated, &m_core.alarm(), &Alarm::acknowledge);
    // The rulers speak the scale of the samples shown.
    connect(&m_core.samples(), &SampleStore::reloaded, this, &Enregistreur::relayout);
    connect(&m_core.samples(), &SampleStore::cleared, this, &Enregistreur::relayout);
    connect(m_chart, &ChartView::contextMenuAsked, m_chartMenu,
            [this](const QPoint &at) { m_chartMenu->popup(at); });
    for (const char key : {'+', '-'})
        connect(new QShortcut(QKeySequence(QChar(key)), this), &QShortcut::activated, this,
                [this, key] { Form_KeyPress(key); });
}

void Enregistreur::Form_Load()
{
    m_holdMessages = true;
    m_core.start();
    m_chartToggle->setChecked(m_core.chartShown());
    m_timeAxis->setChecked(m_core.timeAxis());
    applyWidth();
    affiche_barre_titre();
    m_holdMessages = false;
}

void Enregistreur::applyWidth()
{
    // The narrow window keeps its width; the wide one grows from its design size on.
    const QSize smallest = WindowLayout::smallest() + QSize(0, menuBar()->sizeHint().height());
    const bool wide = m_core.chartShown();
    const QSize screen = this->screen() ? this->screen()->availableSize()
                                        : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize size
        = WindowLayout::restoredSize({wide ? Twips::px(m_core.windowWidth()) : smallest.width(),
                                      Twips::px(m_core.windowHeight())},
                                     smallest, screen);
    const int narrow = WindowLayout::narrowWidth();
    if (!wide)
        size.setWidth(narrow);
    m_sizing = true;
    if (!wide && (isMaximized() || isFullScreen()))
        showNormal(); // the narrow window is the list's width alone
    setMinimumSize(wide ? smallest.width() : narrow, smallest.height());
    setMaximumSize(wide ? QWIDGETSIZE_MAX : narrow, QWIDGETSIZE_MAX);
    resize(size);
    m_sizing = false;
    // A kept size that could not be given is replaced by the one given.
    m_core.keepWindowSize(qRound(Twips::fromPixels(size.width())),
                          qRound(Twips::fromPixels(size.height())));
}

void Enregistreur::relayout()
{
    const QSize inside = m_surface->size();
    const QSize smallest = WindowLayout::smallest();
    // At the design size, on the sample axis and the recorded values, the rulers read 1 to 9.
    const SensorScale &scale = m_core.samples().scaleAt(m_core.samples().num_mesure());
    const bool inValues = inside.height() > smallest.height() || inside.width() > smallest.width()
        || m_chart->isOnTimeAxis() || !scale.isIdentity() || !m_core.scale().isIdentity();
    m_chart->setRulersInValues(inValues);
    // Room right of the vertical ruler for a value's label, beyond the design's margin.
    const int label = fontMetrics().horizontalAdvance(u'-' + scale.text(9999, locale()));
    const int margin = smallest.width() - Twips::px(7500);
    const WindowLayout layout = WindowLayout::forInside(inside, inValues ? label + 2 - margin : 0);
    m_heading->setGeometry(layout.heading);
    m_sampleList->setGeometry(layout.list);
    m_chart->setGeometry(layout.chart);
    m_xRuler->setGeometry(layout.xRuler);
    m_yRuler->setGeometry(layout.yRuler);
    m_clockLabel->setGeometry(layout.clock);
    m_valueLabel->setGeometry(layout.value);
    m_frame->setGeometry(layout.frame);
    QRect banner = layout.list;
    banner.setTop(banner.bottom() - Twips::px(1200));
    m_alarmBanner->setGeometry(banner);
}

void Enregistreur::keepSize()
{
    m_core.keepWindowSize(qRound(Twips::fromPixels(width())), qRound(Twips::fromPixels(height())));
}

bool Enregistreur::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_surface && event->type() == QEvent::Resize)
        relayout();
    return QMainWindow::eventFilter(watched, event);
}

void Enregistreur::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // A size the user gave is kept for the next start, once the resizing stops: not written
    // at each step of a drag.
    if (!m_sizing && isVisible())
        m_keepSize->start();
    affiche_barre_titre();
}

void Enregistreur::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The narrow window keeps the list's width: maximised, it takes the screen's height alone.
    if (event->type() == QEvent::WindowStateChange && isMaximized() && !m_core.chartShown()) {
        showNormal();
        resize(WindowLayout::narrowWidth(),
               screen() ? screen()->availableSize().height() - frameGeometry().height() + height()
                        : height());
    }
}

void Enregistreur::affiche_barre_titre()
{
    QString title = m_core.title();
    if (!m_core.chartShown()) {
        // The narrow window's title bar: the file name elided in its middle, not cut at its end.
        const QString file = m_core.current().fichier_donnees;
        const QString prefix = title.chopped(file.size());
        constexpr int kTitleBarControls = 96; // the icon and the three buttons
        const QFontMetrics metrics = fontMetrics();
        const int room = width() - kTitleBarControls - metrics.horizontalAdvance(prefix);
        title = prefix + metrics.elidedText(file, Qt::ElideMiddle, std::max(room, 0));
    }
    if (title != windowTitle())
        setWindowTitle(title);
}

void Enregistreur::menuGraphe_Click()
{
    m_core.toggleChart();
    m_chartToggle->setChecked(m_core.chartShown());
    applyWidth();
    affiche_barre_titre();
}

void Enregistreur::menuReglage_Click()
{
    if (m_settingsDialog) {
        m_settingsDialog->raise();
        return;
    }
    // What the calibration reads: the live value, its refreshes, the clock and the test keys.
    Calibration::Live live;
    live.value = [this] {
        return m_core.liveValue();
    };
    live.monotonicMs = m_core.clock().monotonicMs;
    live.onRefresh = [this](QObject *context, std::function<void()> refreshed) {
        connect(&m_core, &Instrument::refreshed, context, std::move(refreshed));
    };
    live.testKey = [this](int characterCode) {
        Form_KeyPress(characterCode);
    };
    m_settingsDialog = new FormOption(m_core, this, std::move(live));
    connect(m_settingsDialog, &FormOption::unloaded, this, [this] {
        setEnabled(true);
        relayout();
    });
    setEnabled(false);
    // Disabling the main window disables its other windows too; they stay usable.
    m_settingsDialog->setEnabled(true);
    if (m_aboutBox)
        m_aboutBox->setEnabled(true);
    m_settingsDialog->show();
    m_settingsDialog->raise();
    m_settingsDialog->activateWindow();
}

void Enregistreur::menuAlarme_Click()
{
    if (!m_alarmWindow) {
        m_alarmWindow = new AlarmWindow(
            m_core.alarmLimits().texts(m_core.scale(), QLocale()), m_core.scale(),
            [this](const AlarmLimits::Texts &texts) { return m_core.chooseAlarm(texts); }, this);
        m_alarmWindow->move(geometry().topRight() + QPoint(8, 0));
    }
    m_alarmWindow->show();
    m_alarmWindow->raise();
    m_alarmWindow->activateWindow();
}

void Enregistreur::menu_apropos_Click()
{
    if (!m_aboutBox) {
        m_aboutBox = new AboutBox([this](const QUrl &url) { m_dialogs.openUrl(url); }, this);
        m_aboutBox->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}

void Enregistreur::menu_nouveau_Click()
{
    // The dialog may change the current folder; it is made current again.
    const QString folder = QDir::currentPath();
    m_core.newRecordingFile(m_dialogs.chooseNewRecording(this));
    QDir::setCurrent(folder);
    // The title names the file the next samples go to.
    affiche_barre_titre();
}

void Enregistreur::menu_charger_Click()
{
    m_core.view(m_dialogs.chooseRecordingToView(this), m_loadingWindow->hooks());
}

void Enregistreur::showReading()
{
    m_clockLabel->setText(m_core.clockText());
    m_valueLabel->setText(m_core.liveText());
    // A value with its unit may be wider than the label: smaller, down to 6 points, to fit.
    QFont font = m_valueLabel->font();
    font.setPointSizeF(kValuePoints);
    const int room = m_valueLabel->contentsRect().width() - 2;
    while (font.pointSizeF() > 6
           && QFontMetrics(font).horizontalAdvance(m_valueLabel->text()) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != m_valueLabel->font())
        m_valueLabel->setFont(font);
    showAlarm();
}

void Enregistreur::showAlarm()
{
    const Alarm::Look look = m_core.alarm().look();
    m_alarmBanner->showText(look.text, look.acknowledgeable);
    m_acknowledgeKey->setEnabled(look.acknowledgeable);
    const bool lit = look.alarmColours && look.lit;
    if (lit == m_alarmLit)
        return;
    m_alarmLit = lit;
    QPalette palette = m_valueLabel->palette();
    palette.setColor(QPalette::Window, lit ? QColor(kAlarmRed) : QColor(Qt::black));
    palette.setColor(QPalette::WindowText, lit ? QColor(Qt::white) : QColor(kValueRed));
    m_valueLabel->setPalette(palette);
}

void Enregistreur::Form_KeyPress(int characterCode)
{
    m_core.keyPress(characterCode);
}

void Enregistreur::CmdRecord_Click()
{
    m_core.toggleRecording();
}

void Enregistreur::enableMenus()
{
    // The recording file, the settings and the width stay as they are while samples come in.
    const bool free = !m_core.isRecording() && !m_core.isLoading();
    for (QMenu *menu : {m_fileMenu, m_optionMenu}) {
        menu->setEnabled(free);
        menu->menuAction()->setEnabled(free);
    }
}

void Enregistreur::setRecordingLook(bool recording)
{
    enableMenus();
    m_recordButton->setText(recording ? QStringLiteral(" Record  Stop")
                                      : QStringLiteral(" Record   Start"));
    m_led->setBlinking(recording);
}

void Enregistreur::setLoadingLook(bool loading)
{
    enableMenus();
    m_recordButton->setEnabled(!loading);
    m_loadingWindow->setLoading(loading);
}

QImage Enregistreur::chartPicture() const
{
    // The chart, its rulers, and the numbers printed beside them on the window.
    QRect area = m_chart->geometry() | m_xRuler->geometry() | m_yRuler->geometry();
    const int numberRoom = Twips::px(ChartGeometry::NumberGapTwips) + fontMetrics().height();
    area.adjust(0, 0, numberRoom, numberRoom);
    area &= m_surface->rect();
    // Under it, a line saying what it shows: the file, the samples in view, the unit.
    const QString caption = chartCaption();
    const QFontMetrics metrics = fontMetrics();
    const int captionHeight = metrics.height() + 4;
    constexpr qreal kScale = 2;
    QImage picture(QSize(std::max(area.width(), metrics.horizontalAdvance(caption) + 8),
                         area.height() + captionHeight)
                       * kScale,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(kScale);
    picture.fill(m_surface->palette().color(QPalette::Window));
    m_chart->setMarkerShown(false);
    m_surface->render(&picture, QPoint(), QRegion(area));
    m_chart->setMarkerShown(true);
    QPainter painter(&picture);
    painter.setPen(m_surface->palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(QPointF(4, area.height() + 2 + metrics.ascent()), caption);
    return picture;
}

QString Enregistreur::chartCaption() const
{
    const SampleStore &store = m_core.samples();
    const auto [first, last] = m_chart->samplesInView();
    QString span = QStringLiteral("aucun échantillon");
    if (first <= last) {
        span = QStringLiteral("échantillons %1 à %2").arg(first).arg(last);
        const Sample &a = store.at(first), &b = store.at(last);
        const QString format = QStringLiteral("dd/MM/yyyy HH:mm:ss");
        if (a.date.isValid() && a.time.isValid() && b.date.isValid() && b.time.isValid())
            span += QStringLiteral(", du %1 au %2")
                        .arg(QDateTime(a.date, a.time).toString(format),
                             QDateTime(b.date, b.time).toString(format));
    }
    const QString unit = store.scaleAt(std::max(last, 0)).unit();
    return QStringLiteral("%1 — %2 — %3")
        .arg(QFileInfo(m_core.shownFile()).fileName(), span,
             unit.isEmpty() ? QStringLiteral("valeurs sans unité")
                            : QStringLiteral("valeurs en %1").arg(unit));
}

void Enregistreur::copyChartPicture()
{
    QApplication::clipboard()->setImage(chartPicture());
}

void Enregistreur::saveChartPicture()
{
    const QString chosen
        = m_dialogs.choosePicture(this, m_core.proposedName(QStringLiteral(".png")),
                                  std::bind_front(&Instrument::overwriteRefusal, &m_core));
    if (chosen.isEmpty())
        return;
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    chartPicture().save(&png, "PNG");
    m_core.savePicture(chosen, png.data());
}

void Enregistreur::exportForSpreadsheet()
{
    const auto [first, last] = m_chart->samplesInView();
    m_core.exportSamples(
        m_dialogs.chooseSpreadsheet(this, m_core.proposedName(QStringLiteral("-tableur.csv")),
                                    std::bind_front(&Instrument::overwriteRefusal, &m_core)),
        first, last);
}

void Enregistreur::tell(const QString &text, bool warning)
{
    if ((m_holdMessages || !m_heldMessages.isEmpty()) && !isVisible()) {
        m_heldMessages.append({text, warning});
        return;
    }
    // While the settings dialog is open the main window is disabled, and so would the message be.
    QWidget *parent = m_settingsDialog ? static_cast<QWidget *>(m_settingsDialog) : this;
    m_dialogs.tell(parent, text, warning);
}

void Enregistreur::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Once the window is on screen, so that the messages and the question sit over it.
    QTimer::singleShot(0, this, [this, ask = !std::exchange(m_resumeAsked, true)] {
        for (const auto &[text, warning] : std::exchange(m_heldMessages, {}))
            tell(text, warning);
        if (const auto question = ask ? m_core.resumeQuestion() : std::nullopt)
            m_dialogs.askResume(this, *question, Instrument::ResumeAfterSeconds,
                                [this](bool yes) { m_core.answerResume(yes); });
    });
}

void Enregistreur::closeEvent(QCloseEvent *event)
{
    // The window stays open, and the measuring goes on, until the question is answered Yes.
    event->setAccepted(m_quitting);
    if (m_quitting || std::exchange(m_quitAsked, true))
        return;
    QApplication::beep();
    m_dialogs.askQuit(this, [this](bool yes) {
        m_quitAsked = false;
        if (!yes)
            return;
        m_quitting = true;
        if (m_keepSize->isActive()) {
            m_keepSize->stop();
            keepSize();
        }
        m_core.shutDown();
        emit quitConfirmed();
    });
    event->setAccepted(m_quitting); // answered at once
}

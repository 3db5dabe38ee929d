#include "enregistreur.h"

#include "about/aboutbox.h"
#include "about/programicon.h"
#include "acquisition/hidtransport.h"
#include "chart/chartview.h"
#include "chart/ruler.h"
#include "chart/samplelistview.h"
#include "circleshape.h"
#include "dialogs.h"
#include "mainsurface.h"
#include "qtdialogs.h"
#include "recording/recordingfile.h"
#include "settings/formoption.h"
#include "twips.h"
#include "viewer/loadingwindow.h"
#include "viewer/recordingloader.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QTime>

namespace {

constexpr QRgb kValueRed = qRgb(192, 0, 0);
const QString kCaptionStart = QStringLiteral(" Record   Start");
const QString kCaptionStop = QStringLiteral(" Record  Stop");
const QString kTitleShown = QStringLiteral("Ondaris                     Fichier en cours : ");
const QString kTitleHidden = QStringLiteral("Ondaris : ");

// The time of day in the system's format, without a time zone.
QString clockText(const QTime &time)
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return QLocale::system().toString(time, format.trimmed());
}

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

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

Enregistreur::Enregistreur(Services services)
    : QMainWindow(nullptr,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                      | Qt::CustomizeWindowHint)
    , m_dialogs(*services.dialogs)
    , m_acquisition(std::move(services.serialPorts), std::move(services.hidTransport))
    , m_settings(ConfigFile(services.configPath, services.configFallback), m_acquisition)
    , m_recorder(m_buffer, m_settings, m_acquisition, std::move(services.clock))
{
    setObjectName(QStringLiteral("Enregistreur"));
    setWindowTitle(QStringLiteral("Ondaris"));
    setWindowIcon(ProgramIcon::icon());
    buildLayout();
    buildMenus();
    connectAll();
    m_timerValActu.setObjectName(QStringLiteral("TimerValActu"));
    m_timerValActu.setInterval(RefreshPeriodMs);
    m_timerValActu.start();
    qApp->installEventFilter(this);
}

Enregistreur::~Enregistreur()
{
    qApp->removeEventFilter(this);
    delete m_formOption;
    delete m_about;
}

void Enregistreur::buildLayout()
{
    auto *surface = new MainSurface(this);
    setCentralWidget(surface);
    m_surface = surface;

    m_text1 = new SampleListView(m_sampleList, surface);
    m_text1->setGeometry(Twips::rect(120, 360, 3255, 2415));

    m_ecran1 = new ChartView(m_buffer, surface);
    m_ecran1->setReadout([this](int i) { return m_sampleList.readout(i); });
    m_ecran1->setGeometry(Twips::rect(3600, 120, 3495, 2655));

    m_picture1 = new Ruler(Qt::Horizontal, surface);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(Twips::rect(3600, 2880, 3495, 255));
    m_picture2 = new Ruler(Qt::Vertical, surface);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setGeometry(Twips::rect(7200, 120, 255, 2655));
    surface->setRulers(m_picture1, m_picture2);

    auto *label1 = new QLabel(QStringLiteral("     N° Record - Valeur - Date - Time"), surface);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(Twips::rect(120, 120, 3015, 255));
    label1->setAutoFillBackground(true);
    label1->setBackgroundRole(QPalette::Button);
    label1->setForegroundRole(QPalette::WindowText);

    m_label2 = valueLabel(surface, "Label2", QStringLiteral("00.00"), 9.75, false);
    m_label2->setGeometry(Twips::rect(240, 2880, 855, 295));
    m_label3 = valueLabel(surface, "Label3", QStringLiteral("Valeur"), 12, true);
    m_label3->setGeometry(Twips::rect(240, 3240, 855, 375));

    auto *frame1 = new QGroupBox(surface);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(Twips::rect(1200, 2760, 2055, 855));
    m_cmdRecord = new QPushButton(kCaptionStart, frame1);
    m_cmdRecord->setObjectName(QStringLiteral("CmdRecord"));
    m_cmdRecord->setGeometry(Twips::rect(240, 240, 1215, 495));
    m_cmdRecord->setAutoDefault(false);

    auto *frame2 = new QWidget(frame1);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(Twips::rect(1560, 240, 375, 480));
    // Back to front: the glow, the body, the reflection.
    m_ledOn1 = new CircleShape(frame2);
    m_ledOn1->setObjectName(QStringLiteral("LedOn1"));
    m_ledOn1->setGeometry(Twips::rect(105, 210, 210, 210));
    m_ledOn1->setBackColor(QColor(255, 128, 128));
    m_ledOn1->setBorderColor(QColor(255, 192, 192));
    m_ledOn1->setBorderWidth(2);
    m_ledOn1->setFillColor(QColor(128, 0, 0));
    m_led1 = new CircleShape(frame2);
    m_led1->setObjectName(QStringLiteral("Led1"));
    m_led1->setGeometry(Twips::rect(120, 240, 165, 135));
    m_led1->setBorderColor(QColor(128, 0, 0));
    m_led1->setFillSolid(true);
    auto *reflection = new CircleShape(frame2);
    reflection->setObjectName(QStringLiteral("RefleLed1"));
    reflection->setGeometry(Twips::rect(145, 215, 30, 150));
    reflection->setBorderColor(palette().color(QPalette::Base));
    reflection->setFillColor(Qt::white);
    reflection->setBackColor(Qt::white);
    reflection->setBackOpaque(true);
    setLedLit(false);

    setTabOrder(m_text1, m_ecran1);
    setTabOrder(m_ecran1, m_picture1);
    setTabOrder(m_picture1, m_picture2);
    setTabOrder(m_picture2, m_cmdRecord);
    m_text1->setFocus();

    m_loading = new LoadingWindow(this);
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

    m_menuFichier = bar->addMenu(QStringLiteral("Fichier"));
    m_menuFichier->setObjectName(QStringLiteral("menu_fichier"));
    connect(action(m_menuFichier, "menu_nouveau", QStringLiteral("Nouvel Enregistrement")),
            &QAction::triggered, this, &Enregistreur::menu_nouveau_Click);
    separator(m_menuFichier, "menusepar1");
    connect(action(m_menuFichier, "menu_charger", QStringLiteral("Visualiser Enregistrement")),
            &QAction::triggered, this, &Enregistreur::menu_charger_Click);

    m_menuOption = bar->addMenu(QStringLiteral("Option"));
    m_menuOption->setObjectName(QStringLiteral("menu_option"));
    m_menuGraphe = action(m_menuOption, "menuGraphe", QStringLiteral("Graphe on/off"));
    m_menuGraphe->setCheckable(true);
    connect(m_menuGraphe, &QAction::triggered, this, &Enregistreur::menuGraphe_Click);
    separator(m_menuOption, "separ1");
    connect(action(m_menuOption, "menuReglage", QStringLiteral("Réglages")), &QAction::triggered,
            this, &Enregistreur::menuReglage_Click);

    m_chartMenu = new QMenu(this);
    m_chartMenu->setObjectName(QStringLiteral("menu_graphe"));
    connect(action(m_chartMenu, "menu_copier_image", QStringLiteral("Copier l'image")),
            &QAction::triggered, this, &Enregistreur::copyChartPicture);
    connect(action(m_chartMenu, "menu_enregistrer_image", QStringLiteral("Enregistrer l'image…")),
            &QAction::triggered, this, &Enregistreur::saveChartPicture);

    QMenu *menuIntero = bar->addMenu(QStringLiteral("?"));
    menuIntero->setObjectName(QStringLiteral("menu_intero"));
    action(menuIntero, "menu_aide", QStringLiteral("Aide"))->setEnabled(false);
    connect(action(menuIntero, "menu_apropos", QStringLiteral("à Propos")), &QAction::triggered,
            this, &Enregistreur::menu_apropos_Click);
}

void Enregistreur::connectAll()
{
    connect(&m_timerValActu, &QTimer::timeout, this, &Enregistreur::TimerValActu_Timer);
    connect(m_ecran1, &ChartView::contextMenuAsked, this, [this](const QPoint &at) {
        if (!m_loadingFile)
            m_chartMenu->popup(at);
    });
    connect(m_cmdRecord, &QPushButton::clicked, this, &Enregistreur::CmdRecord_Click);
    connect(&m_recorder, &Recorder::recordingChanged, this, &Enregistreur::setRecordingLook);
    connect(&m_recorder, &Recorder::sampleStored, this, &Enregistreur::affich);
    connect(&m_recorder, &Recorder::ledChanged, this, &Enregistreur::setLedLit);
    connect(&m_recorder, &Recorder::stoppedOnProblem, this,
            [this](const QString &message) { tell(message, true); });
    connect(&m_acquisition, &Acquisition::deviceProblem, this,
            [this](const QString &message) { tell(message, true); });
    connect(&m_settings, &SettingsModel::writeFailed, this,
            [this](const QString &message) { tell(message, true); });
}

void Enregistreur::Form_Load()
{
    m_holdMessages = true;
    const bool existed = m_settings.configFile().exists();
    m_settings.load();
    const Settings &stored = m_settings.settings();
    m_settings.Option1_Click(stored.duree_option, false);
    if (existed) {
        if (stored.source == quint8(SampleSource::Usb))
            m_acquisition.usb().armMissingReport();
        // Opens the serial port for the serial source; one attempt, one message at most.
        m_settings.Option2_Click(stored.source, false);
        if (stored.source == quint8(SampleSource::Usb))
            m_acquisition.usb().ouvre_usb();
    }
    m_buffer.setWindow(0);
    m_menuGraphe->setChecked(stored.largeur_fenetre > Settings::NarrowWidth);
    applyWidth();
    affiche_barre_titre();
    m_holdMessages = false;
}

int Enregistreur::clientWidthFor(qint16 largeurFenetre)
{
    const int wanted = Twips::px(largeurFenetre);
    return std::clamp(wanted, Twips::px(Settings::NarrowWidth), Twips::px(Settings::WideWidth));
}

void Enregistreur::applyWidth()
{
    const int height = menuBar()->sizeHint().height() + Twips::px(DesignHeightTwips);
    setFixedSize(clientWidthFor(m_settings.settings().largeur_fenetre), height);
}

void Enregistreur::affiche_barre_titre()
{
    const QString &file = m_settings.settings().fichier_donnees;
    setWindowTitle((m_menuGraphe->isChecked() ? kTitleShown : kTitleHidden) + file);
}

void Enregistreur::menuGraphe_Click()
{
    const bool wasWide = m_settings.settings().largeur_fenetre == Settings::WideWidth;
    m_menuGraphe->setChecked(!wasWide);
    m_settings.setLargeurFenetre(wasWide ? Settings::NarrowWidth : Settings::WideWidth);
    applyWidth();
    affiche_barre_titre();
    m_settings.save();
}

void Enregistreur::menuReglage_Click()
{
    if (m_formOption) {
        m_formOption->raise();
        return;
    }
    m_formOption = new FormOption(m_settings, this);
    connect(m_formOption, &FormOption::unloaded, this, [this] { setEnabled(true); });
    setEnabled(false);
    // Disabling the main window disables its other windows too; they stay usable.
    m_formOption->setEnabled(true);
    if (m_about)
        m_about->setEnabled(true);
    m_formOption->show();
    m_formOption->raise();
    m_formOption->activateWindow();
}

void Enregistreur::menu_apropos_Click()
{
    if (!m_about) {
        m_about = new AboutBox([this](const QUrl &url) { m_dialogs.openUrl(url); }, this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Enregistreur::menu_nouveau_Click()
{
    const QString folder = QDir::currentPath();
    const QString chosen = m_dialogs.chooseNewRecording(this);
    if (const QString reason = QtDialogs::refusal(chosen); !chosen.isEmpty() && !reason.isEmpty()) {
        tell(reason, true); // never a name the settings file could not give back
    } else if (!chosen.isEmpty()) {
        // A file that cannot be made is met again, and told, when the recording writes to it.
        RecordingFile::create(chosen, nullptr);
        m_settings.setFichierDonnees(chosen);
        m_settings.save();
    }
    QDir::setCurrent(folder);
}

void Enregistreur::menu_charger_Click()
{
    if (m_loadingFile || m_recorder.isRecording())
        return;
    const QString chosen = m_dialogs.chooseRecordingToView(this);
    if (chosen.isEmpty())
        return;

    m_loadingFile = true;
    m_menuFichier->setEnabled(false);
    m_cmdRecord->setEnabled(false);
    m_buffer.restart();
    raz();
    m_loading->begin(QFileInfo(chosen).size());
    m_loadingShown = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    emit loadStarted();

    RecordingLoader::Hooks hooks;
    hooks.progress = [this](qint64 position, qint64 size) {
        // The bar moves in steps of half a percent; finer steps cost time and show nothing.
        if (position - m_loadingShown >= size / 200 || position == size) {
            m_loading->setPosition(position);
            m_loadingShown = position;
        }
    };
    // Timers and painting go on during the load; the user's clicks and keys reach the event
    // filter, which drops them, instead of waiting to act once the load is over.
    hooks.yield = [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    const RecordingLoader::Result result = RecordingLoader::load(chosen, m_buffer, m_lines, hooks);
    // What the user did since the last yield is dropped too.
    hooks.yield();

    m_loading->end();
    QApplication::restoreOverrideCursor();
    m_menuFichier->setEnabled(true);
    m_cmdRecord->setEnabled(true);
    m_loadingFile = false;
    if (std::exchange(m_closeAfterLoad, false))
        QTimer::singleShot(0, this, &QWidget::close);

    switch (result.outcome) {
    case RecordingLoader::Outcome::Loaded:
        affich();
        break;
    case RecordingLoader::Outcome::TooManyLines:
        affich();
        tell(tr("Ce fichier contient plus de %1 mesures : seules les %1 premières sont "
                "affichées.")
                 .arg(MeasurementBuffer::Capacity),
             false);
        break;
    case RecordingLoader::Outcome::Malformed:
        tell(tr("Erreur format fichier"), false);
        break;
    case RecordingLoader::Outcome::ReadError:
        tell(tr("La lecture du fichier « %1 » a échoué :\n%2").arg(chosen, result.error), true);
        break;
    case RecordingLoader::Outcome::OpenFailed:
    case RecordingLoader::Outcome::NoSampleLine:
        break;
    }
}

void Enregistreur::TimerValActu_Timer()
{
    m_label2->setText(clockText(QTime::currentTime()));
    const int source = m_settings.source();
    m_acquisition.poll(source);
    m_label3->setText(m_acquisition.displayText(source));
}

void Enregistreur::Form_KeyPress(int characterCode)
{
    m_acquisition.keyPress(characterCode);
}

void Enregistreur::CmdRecord_Click()
{
    if (m_loadingFile)
        return;
    m_recorder.toggle();
}

void Enregistreur::setRecordingLook(bool recording)
{
    m_menuFichier->setEnabled(!recording);
    m_menuOption->setEnabled(!recording);
    m_menuFichier->menuAction()->setEnabled(!recording);
    m_menuOption->menuAction()->setEnabled(!recording);
    if (recording)
        raz();
    m_cmdRecord->setText(recording ? kCaptionStop : kCaptionStart);
}

void Enregistreur::setLedLit(bool lit)
{
    m_led1->setFillColor(QColor(lit ? Recorder::LedLit : Recorder::LedDark, 0, 0));
    m_led1->setBorderColor(QColor(Recorder::LedDark, 0, 0));
    m_ledOn1->setBackOpaque(lit);
    m_ledOn1->setBorderVisible(lit);
}

void Enregistreur::affich()
{
    const int n = m_buffer.num_mesure();
    if (m_recorder.isRecording()) {
        const bool oneMore
            = m_sampleList.mode() == SampleList::Mode::Recording && m_sampleList.count() == n - 1;
        m_sampleList.showRecording(n);
        m_text1->listChanged(oneMore ? 1 : 0);
    } else {
        m_sampleList.showFile(n);
        m_text1->listChanged();
    }
    m_ecran1->plot();
}

void Enregistreur::raz()
{
    m_sampleList.clear();
    m_text1->listChanged();
    m_ecran1->clear();
}

QImage Enregistreur::chartPicture() const
{
    // The chart, its rulers, and the numbers printed beside them on the window.
    QRect area = m_ecran1->geometry() | m_picture1->geometry() | m_picture2->geometry();
    const int numberRoom = Twips::px(300) + fontMetrics().height();
    area.adjust(0, 0, numberRoom, numberRoom);
    area &= m_surface->rect();
    constexpr qreal kScale = 2;
    QImage picture(area.size() * kScale, QImage::Format_RGB32);
    picture.setDevicePixelRatio(kScale);
    picture.fill(m_surface->palette().color(QPalette::Window));
    m_ecran1->setMarkerShown(false);
    m_surface->render(&picture, QPoint(), QRegion(area));
    m_ecran1->setMarkerShown(true);
    return picture;
}

void Enregistreur::copyChartPicture()
{
    QApplication::clipboard()->setImage(chartPicture());
}

void Enregistreur::saveChartPicture()
{
    const QFileInfo recording(m_settings.settings().fichier_donnees);
    const QString proposed
        = recording.absoluteDir().filePath(recording.completeBaseName() + QStringLiteral(".png"));
    const QString chosen = m_dialogs.choosePicture(this, proposed);
    if (chosen.isEmpty())
        return;
    QSaveFile file(chosen);
    const bool saved
        = file.open(QIODevice::WriteOnly) && chartPicture().save(&file, "PNG") && file.commit();
    if (!saved)
        tell(tr("L'image n'a pas pu être enregistrée dans « %1 » :\n%2")
                 .arg(QDir::toNativeSeparators(chosen),
                      file.errorString().isEmpty() ? tr("erreur d'écriture") : file.errorString()),
             true);
}

void Enregistreur::tell(const QString &text, bool warning)
{
    if ((m_holdMessages || !m_heldMessages.isEmpty()) && !isVisible()) {
        m_heldMessages.append({text, warning});
        return;
    }
    // While the settings dialog is open the main window is disabled, and so would the message be.
    QWidget *parent = m_formOption ? static_cast<QWidget *>(m_formOption) : this;
    m_dialogs.tell(parent, text, warning);
}

void Enregistreur::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_heldMessages.isEmpty())
        return;
    // Once the window is on screen, so the message sits over it.
    QTimer::singleShot(0, this, [this] {
        const auto held = std::exchange(m_heldMessages, {});
        for (const auto &[text, warning] : held)
            tell(text, warning);
    });
}

void Enregistreur::closeEvent(QCloseEvent *event)
{
    if (m_loadingFile) {
        // Asked once the load is over, from the main event loop.
        m_closeAfterLoad = true;
        event->ignore();
        return;
    }
    QApplication::beep();
    if (!m_dialogs.confirmQuit(this)) {
        event->ignore();
        return;
    }
    m_acquisition.serial().ferme_port();
    event->accept();
    emit quitConfirmed();
}

bool Enregistreur::eventFilter(QObject *watched, QEvent *event)
{
    if (m_loadingFile && isUserInput(event->type()))
        return true;
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *focus = QApplication::focusWidget();
        // Only the first delivery of a key counts, not its way back up to the parents.
        const bool firstDelivery = focus ? widget == focus : widget == this;
        if (firstDelivery && widget->window() == this && isEnabled()) {
            const QString text = static_cast<QKeyEvent *>(event)->text();
            if (text.size() == 1)
                Form_KeyPress(text.front().unicode());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

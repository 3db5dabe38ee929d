#include "enregistreur.h"

#include "about/aboutbox.h"
#include "acquisition/hidtransport.h"
#include "chart/chartview.h"
#include "chart/ruler.h"
#include "chart/samplelistview.h"
#include "circleshape.h"
#include "common/twips.h"
#include "dialogs.h"
#include "mainsurface.h"
#include "qtdialogs.h"
#include "recording/recordingfile.h"
#include "settings/formoption.h"
#include "ui/programicon.h"
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

} // namespace

Enregistreur::Enregistreur(Services services)
    : QMainWindow(nullptr,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                      | Qt::CustomizeWindowHint)
    , m_dialogs(*services.dialogs)
    , m_acquisition(std::move(services.serialPorts), std::move(services.hidTransport))
    , m_settings(ConfigFile(services.configPath, services.configFallback))
    , m_recorder(
          m_buffer, m_acquisition, [this] { return recordingPlan(); }, std::move(services.clock))
{
    setObjectName(QStringLiteral("Enregistreur"));
    setWindowTitle(QStringLiteral("Ondaris"));
    setWindowIcon(ProgramIcon::icon());
    buildLayout();
    buildMenus();
    connectAll();
    m_acquisition.startRefresh();
    qApp->installEventFilter(this);
}

Enregistreur::~Enregistreur()
{
    qApp->removeEventFilter(this);
    // Before the members they refer to, which QObject's own deletion would come after.
    delete m_settingsDialog;
    delete m_aboutBox;
}

void Enregistreur::buildLayout()
{
    auto *surface = new MainSurface(this);
    setCentralWidget(surface);
    m_surface = surface;

    m_sampleList = new SampleListView(m_listModel, surface);
    m_sampleList->setGeometry(Twips::rect(120, 360, 3255, 2415));

    m_chart = new ChartView(m_buffer, surface);
    m_chart->setReadout([this](int i) { return m_listModel.readout(i); });
    m_chart->setGeometry(Twips::rect(3600, 120, 3495, 2655));

    m_xRuler = new Ruler(Qt::Horizontal, surface);
    m_xRuler->setObjectName(QStringLiteral("Picture1"));
    m_xRuler->setGeometry(Twips::rect(3600, 2880, 3495, 255));
    m_yRuler = new Ruler(Qt::Vertical, surface);
    m_yRuler->setObjectName(QStringLiteral("Picture2"));
    m_yRuler->setGeometry(Twips::rect(7200, 120, 255, 2655));
    surface->setRulers(m_xRuler, m_yRuler);

    auto *label1 = new QLabel(QStringLiteral("     N° Record - Valeur - Date - Time"), surface);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(Twips::rect(120, 120, 3015, 255));
    label1->setAutoFillBackground(true);
    label1->setBackgroundRole(QPalette::Button);
    label1->setForegroundRole(QPalette::WindowText);

    m_clockLabel = valueLabel(surface, "Label2", QStringLiteral("00.00"), 9.75, false);
    m_clockLabel->setGeometry(Twips::rect(240, 2880, 855, 295));
    m_valueLabel = valueLabel(surface, "Label3", QStringLiteral("Valeur"), 12, true);
    m_valueLabel->setGeometry(Twips::rect(240, 3240, 855, 375));

    auto *frame1 = new QGroupBox(surface);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(Twips::rect(1200, 2760, 2055, 855));
    m_recordButton = new QPushButton(kCaptionStart, frame1);
    m_recordButton->setObjectName(QStringLiteral("CmdRecord"));
    m_recordButton->setGeometry(Twips::rect(240, 240, 1215, 495));
    m_recordButton->setAutoDefault(false);

    auto *frame2 = new QWidget(frame1);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(Twips::rect(1560, 240, 375, 480));
    // Back to front: the glow, the body, the reflection.
    m_ledGlow = new CircleShape(frame2);
    m_ledGlow->setObjectName(QStringLiteral("LedOn1"));
    m_ledGlow->setGeometry(Twips::rect(105, 210, 210, 210));
    m_ledGlow->setBackColor(QColor(255, 128, 128));
    m_ledGlow->setBorderColor(QColor(255, 192, 192));
    m_ledGlow->setBorderWidth(2);
    m_ledGlow->setFillColor(QColor(128, 0, 0));
    m_led = new CircleShape(frame2);
    m_led->setObjectName(QStringLiteral("Led1"));
    m_led->setGeometry(Twips::rect(120, 240, 165, 135));
    m_led->setBorderColor(QColor(128, 0, 0));
    m_led->setFillSolid(true);
    auto *reflection = new CircleShape(frame2);
    reflection->setObjectName(QStringLiteral("RefleLed1"));
    reflection->setGeometry(Twips::rect(145, 215, 30, 150));
    reflection->setBorderColor(palette().color(QPalette::Base));
    reflection->setFillColor(Qt::white);
    reflection->setBackColor(Qt::white);
    reflection->setBackOpaque(true);
    setLedLit(false);

    setTabOrder(m_sampleList, m_chart);
    setTabOrder(m_chart, m_xRuler);
    setTabOrder(m_xRuler, m_yRuler);
    setTabOrder(m_yRuler, m_recordButton);
    m_sampleList->setFocus();

    m_loadingWindow = new LoadingWindow(this);
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
    connect(&m_acquisition, &Acquisition::refreshed, this, &Enregistreur::showReading);
    connect(m_loadingWindow, &LoadingWindow::started, this, &Enregistreur::loadStarted);
    connect(m_chart, &ChartView::contextMenuAsked, this, [this](const QPoint &at) {
        if (!m_loadingFile)
            m_chartMenu->popup(at);
    });
    connect(m_recordButton, &QPushButton::clicked, this, &Enregistreur::CmdRecord_Click);
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
    // The stored source is opened: one attempt, one message at most.
    if (existed)
        m_acquisition.openStored(SampleSource(stored.source));
    m_buffer.setWindow(0);
    m_chartToggle->setChecked(stored.largeur_fenetre > Settings::NarrowWidth);
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
    setWindowTitle((m_chartToggle->isChecked() ? kTitleShown : kTitleHidden) + file);
}

void Enregistreur::menuGraphe_Click()
{
    const bool wasWide = m_settings.settings().largeur_fenetre == Settings::WideWidth;
    m_chartToggle->setChecked(!wasWide);
    m_settings.setLargeur_fenetre(wasWide ? Settings::NarrowWidth : Settings::WideWidth);
    applyWidth();
    affiche_barre_titre();
    m_settings.save();
}

void Enregistreur::menuReglage_Click()
{
    if (m_settingsDialog) {
        m_settingsDialog->raise();
        return;
    }
    m_settingsDialog = new FormOption(m_settings, m_acquisition, this);
    connect(m_settingsDialog, &FormOption::unloaded, this, [this] { setEnabled(true); });
    setEnabled(false);
    // Disabling the main window disables its other windows too; they stay usable.
    m_settingsDialog->setEnabled(true);
    if (m_aboutBox)
        m_aboutBox->setEnabled(true);
    m_settingsDialog->show();
    m_settingsDialog->raise();
    m_settingsDialog->activateWindow();
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
    const QString folder = QDir::currentPath();
    const QString chosen = m_dialogs.chooseNewRecording(this);
    if (const QString reason = QtDialogs::refusal(chosen); !chosen.isEmpty() && !reason.isEmpty()) {
        tell(reason, true); // never a name the settings file could not give back
    } else if (!chosen.isEmpty()) {
        // A file that cannot be made is met again, and told, when the recording writes to it.
        RecordingFile::create(chosen, nullptr);
        m_settings.setFichier_donnees(chosen);
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
    m_fileMenu->setEnabled(false);
    m_recordButton->setEnabled(false);
    m_buffer.restart();
    raz();
    const RecordingLoader::Result result = m_loadingWindow->load(chosen, m_buffer, m_lines);
    m_fileMenu->setEnabled(true);
    m_recordButton->setEnabled(true);
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
    case RecordingLoader::Outcome::OpenFailed: // a file the user may not read, or gone since
        tell(tr("Le fichier « %1 » ne peut pas être ouvert :\n%2").arg(chosen, result.error), true);
        break;
    case RecordingLoader::Outcome::NoSampleLine:
        break;
    }
}

Recorder::Plan Enregistreur::recordingPlan() const
{
    return {m_settings.intervalMs(), m_settings.diviseur_tick(),
            m_settings.settings().fichier_donnees};
}

void Enregistreur::TimerValActu_Timer()
{
    m_acquisition.refresh();
}

void Enregistreur::showReading()
{
    m_clockLabel->setText(clockText(m_recorder.clock().now().time()));
    m_valueLabel->setText(m_acquisition.displayText());
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
    m_fileMenu->setEnabled(!recording);
    m_optionMenu->setEnabled(!recording);
    m_fileMenu->menuAction()->setEnabled(!recording);
    m_optionMenu->menuAction()->setEnabled(!recording);
    if (recording)
        raz();
    m_recordButton->setText(recording ? kCaptionStop : kCaptionStart);
}

void Enregistreur::setLedLit(bool lit)
{
    m_led->setFillColor(QColor(lit ? Recorder::LedLit : Recorder::LedDark, 0, 0));
    m_led->setBorderColor(QColor(Recorder::LedDark, 0, 0));
    m_ledGlow->setBackOpaque(lit);
    m_ledGlow->setBorderVisible(lit);
}

void Enregistreur::affich()
{
    const int n = m_buffer.num_mesure();
    if (m_recorder.isRecording()) {
        m_sampleList->listChanged(m_listModel.showRecording(n));
    } else {
        m_listModel.showFile(n);
        m_sampleList->listChanged();
    }
    m_chart->plot();
}

void Enregistreur::raz()
{
    m_listModel.clear();
    m_sampleList->listChanged();
    m_chart->clear();
}

QImage Enregistreur::chartPicture() const
{
    // The chart, its rulers, and the numbers printed beside them on the window.
    QRect area = m_chart->geometry() | m_xRuler->geometry() | m_yRuler->geometry();
    const int numberRoom = Twips::px(300) + fontMetrics().height();
    area.adjust(0, 0, numberRoom, numberRoom);
    area &= m_surface->rect();
    constexpr qreal kScale = 2;
    QImage picture(area.size() * kScale, QImage::Format_RGB32);
    picture.setDevicePixelRatio(kScale);
    picture.fill(m_surface->palette().color(QPalette::Window));
    m_chart->setMarkerShown(false);
    m_surface->render(&picture, QPoint(), QRegion(area));
    m_chart->setMarkerShown(true);
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
    QWidget *parent = m_settingsDialog ? static_cast<QWidget *>(m_settingsDialog) : this;
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
    m_acquisition.close();
    event->accept();
    emit quitConfirmed();
}

bool Enregistreur::eventFilter(QObject *watched, QEvent *event)
{
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

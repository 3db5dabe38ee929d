#include "formoption.h"

#include "calibrationwindow.h"
#include "common/twips.h"
#include "settings/durationtable.h"
#include "settings/settingschoices.h"
#include "wrapradiobutton.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kScaleLineTwips = 720; // the line under the buttons that tells the scale

constexpr int kChannelIdBase = 10;

template<typename Button>
Button *indexed(QWidget *parent, const char *name, int index, const QString &text, QRect at)
{
    auto *button = new Button(text, parent);
    button->setObjectName(QLatin1StringView(name));
    button->setProperty("index", index);
    button->setGeometry(at);
    return button;
}

QFrame *etchedLine(QWidget *parent, int y)
{
    auto *line = new QFrame(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(Twips::px(120), Twips::px(y), Twips::px(1800) - Twips::px(120), 2);
    return line;
}

} // namespace

FormOption::FormOption(SettingsChoices &choices, QWidget *parent, Calibration::Live live)
    : QWidget(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::CustomizeWindowHint)
    , m_choices(choices)
    , m_live(std::move(live))
    , m_durations(new QButtonGroup(this))
    , m_sources(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Form_option"));
    setWindowTitle(QStringLiteral("   Réglages"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::px(4800), Twips::px(3705 + kScaleLineTwips));
    buildLayout();
    Form_Load();
    connect(m_durations, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Option1_Click(id);
    });
    connect(m_sources, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && id < kChannelIdBase)
            Option2_Click(id);
    });
}

void FormOption::buildLayout()
{
    auto *frame1 = new QGroupBox(QStringLiteral("Time Rec"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(Twips::rect(120, 120, 975, 3015));
    for (const DurationOption &option : DurationTable::all()) {
        const int i = option.index;
        const bool narrow = i == 1 || (i >= 6 && i <= 8);
        auto *button
            = indexed<QRadioButton>(frame1, "Option1", i, QString::fromUtf8(option.caption),
                                    Twips::rect(240, 360 + 240 * (i - 1), narrow ? 495 : 615, 255));
        if (*option.tooltip)
            button->setToolTip(QString::fromUtf8(option.tooltip));
        m_durations->addButton(button, i);
    }

    auto *frame2 = new QGroupBox(QStringLiteral("Echelle Capteur"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(Twips::rect(1200, 120, 1455, 3015));
    const auto label = [frame2](const char *name, const QString &text, QRect at) {
        auto *l = new QLabel(text, frame2);
        l->setObjectName(QLatin1StringView(name));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setGeometry(at);
    };
    const auto field = [this, frame2](const char *name, QRect at) {
        auto *f = new QLineEdit(frame2);
        f->setObjectName(QLatin1StringView(name));
        f->setGeometry(at);
        connect(f, &QLineEdit::editingFinished, this, &FormOption::applyScale);
        return f;
    };
    label("Label1", QStringLiteral("Entrer valeur Max:"), Twips::rect(240, 360, 975, 375));
    m_max = field("Text1", Twips::rect(240, 960, 855, 285));
    label("Label2", QStringLiteral("Entrer valeur Min :"), Twips::rect(240, 1680, 975, 375));
    m_min = field("Text2", Twips::rect(240, 2250, 855, 285));
    label("Label4", QStringLiteral("Unité :"), Twips::rect(240, 2610, 495, 285));
    m_unit = field("Text4", Twips::rect(735, 2580, 600, 285));
    m_unit->setMaxLength(SensorScale::LongestUnit);
    m_scaleLine = new QLabel(this);
    m_scaleLine->setObjectName(QStringLiteral("Label5"));
    m_scaleLine->setGeometry(Twips::rect(120, 3705, 4560, kScaleLineTwips - 60));
    m_scaleLine->setWordWrap(true);
    m_scaleLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *capteur = new QGroupBox(QStringLiteral("Capteur"), this);
    capteur->setObjectName(QStringLiteral("Capteur"));
    capteur->setGeometry(Twips::rect(2760, 120, 1935, 3015));
    auto *usb = indexed<QRadioButton>(capteur, "Option2", 1, QStringLiteral("USB P8055"),
                                      Twips::rect(120, 360, 1215, 255));
    etchedLine(capteur, 720);
    auto *serial = indexed<QRadioButton>(capteur, "Option2", 2, QStringLiteral("RS232 com N°"),
                                         Twips::rect(120, 840, 1455, 375));
    auto *port = new QLineEdit(QStringLiteral("1"), capteur);
    port->setObjectName(QStringLiteral("Text3"));
    port->setGeometry(Twips::rect(1540, 840, 240, 285));
    port->setEnabled(false);
    port->setToolTip(QStringLiteral("Entrer N° de port com"));
    const QPoint channelAt[4] = {{120, 1320}, {960, 1320}, {120, 1560}, {960, 1560}};
    QAbstractButton *channels[4] = {};
    for (int i = 0; i < 4; ++i) {
        channels[i]
            = indexed<QRadioButton>(capteur, "Option3", i, QStringLiteral("Voie %1").arg(i),
                                    Twips::rect(channelAt[i].x(), channelAt[i].y(), 855, 255));
        channels[i]->setEnabled(i == 2);
        m_sources->addButton(channels[i], kChannelIdBase + i);
    }
    etchedLine(capteur, 2040);
    auto *test
        = indexed<WrapRadioButton>(capteur, "Option2", 0, QStringLiteral("Mode Test (clavier +/-)"),
                                   Twips::rect(120, 2280, 1215, 375));
    m_sources->addButton(test, 0);
    m_sources->addButton(usb, 1);
    m_sources->addButton(serial, 2);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(Twips::rect(1800, 3240, 1095, 375));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    auto *calibrate = new QPushButton(QStringLiteral("Étalonner…"), this);
    calibrate->setObjectName(QStringLiteral("CmdEtalonner"));
    calibrate->setGeometry(Twips::rect(120, 3240, 1560, 375));
    calibrate->setEnabled(bool(m_live.value));
    connect(calibrate, &QPushButton::clicked, this, &FormOption::CmdEtalonner_Click);

    // Durations from index 10 up to 1, then the sources 0, 1, 2, the scale, "Étalonner…", OK, and
    // the channels.
    QWidget *previous = nullptr;
    const auto chain = [&previous, this](QWidget *next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (int i = 10; i >= 1; --i)
        chain(option1(i));
    chain(test);
    chain(usb);
    chain(serial);
    chain(m_max);
    chain(m_min);
    chain(m_unit);
    chain(calibrate);
    chain(ok);
    for (QAbstractButton *channel : channels)
        chain(channel);
}

void FormOption::Form_Load()
{
    const Settings &current = m_choices.current();
    if (QAbstractButton *button = option1(current.duree_option))
        button->setChecked(true);
    if (QAbstractButton *button = m_sources->button(current.source); button && current.source <= 2)
        button->setChecked(true);
    m_choices.chooseDuration(current.duree_option, false);
    m_choices.chooseSource(current.source, false);
    const SensorScale &scale = m_choices.scale();
    m_max->setText(QString::number(scale.max(), 'g', 10));
    m_min->setText(QString::number(scale.min(), 'g', 10));
    m_unit->setText(scale.unit());
    showScale({});
}

void FormOption::applyScale()
{
    showScale(m_choices.chooseScale(m_min->text(), m_max->text(), m_unit->text()));
}

void FormOption::showScale(const QString &refusal)
{
    // The refusal in red until the fields make a scale; the scale's step otherwise.
    QPalette palette = m_scaleLine->palette();
    palette.setColor(QPalette::WindowText,
                     refusal.isEmpty() ? this->palette().color(QPalette::WindowText) : Qt::red);
    m_scaleLine->setPalette(palette);
    m_scaleLine->setText(
        refusal.isEmpty()
            ? tr("Echelle en usage : %1").arg(m_choices.scale().resolutionText(QLocale()))
            : tr("Refusé : %1 L'échelle en usage reste %2 … %3.")
                  .arg(refusal, m_choices.scale().text(0, QLocale()),
                       m_choices.scale().text(SensorScale::FullScale, QLocale())));
}

void FormOption::CmdEtalonner_Click()
{
    if (!m_calibration) {
        m_calibration = new CalibrationWindow(m_live, m_unit->text(), this);
        connect(m_unit, &QLineEdit::textChanged, m_calibration, &CalibrationWindow::setUnit);
        connect(m_calibration, &CalibrationWindow::applied, this,
                [this](const QString &min, const QString &max) {
                    m_max->setText(max);
                    m_min->setText(min);
                    applyScale();
                });
    }
    m_calibration->show();
    m_calibration->raise();
    m_calibration->activateWindow();
}

void FormOption::Option1_Click(int index)
{
    m_choices.chooseDuration(index, true);
}

void FormOption::Option2_Click(int index)
{
    m_choices.chooseSource(index, true);
}

QAbstractButton *FormOption::option1(int index) const
{
    return m_durations->button(index);
}

void FormOption::closeEvent(QCloseEvent *event)
{
    emit unloaded();
    event->accept();
}

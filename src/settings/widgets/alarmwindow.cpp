#include "alarmwindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A field with its unit after it, in a row of the form.
QLineEdit *field(QFormLayout *form, const QString &label, const char *name, const QString &text,
                 const QString &unit)
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(QLatin1StringView(name));
    auto *row = new QHBoxLayout;
    row->addWidget(edit, 1);
    auto *unitLabel = new QLabel(unit);
    unitLabel->setMinimumWidth(unitLabel->fontMetrics().horizontalAdvance(QStringLiteral("°C°")));
    row->addWidget(unitLabel);
    form->addRow(label, row);
    return edit;
}

} // namespace

AlarmWindow::AlarmWindow(const AlarmLimits::Texts &shown, const SensorScale &scale, Choose choose,
                         QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_choose(std::move(choose))
{
    setObjectName(QStringLiteral("Form_alarme"));
    setWindowTitle(tr("Alarme"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *form = new QFormLayout;
    m_high = field(form, tr("Limite haute"), "TextHaute", shown.high, scale.unit());
    m_low = field(form, tr("Limite basse"), "TextBasse", shown.low, scale.unit());
    m_delay = field(form, tr("Délai"), "TextDelai", shown.delay, tr("s"));
    m_hysteresis = field(form, tr("Hystérésis"), "TextHysteresis", shown.hysteresis, scale.unit());
    m_hysteresis->setPlaceholderText(
        tr("2 pas : %1").arg(scale.unitsText(2 * scale.rawStep(), QLocale())));

    auto *note = new QLabel(tr("Une limite laissée vide ne surveille rien. La valeur doit rester "
                               "au-delà d'une limite pendant le délai pour lever l'alarme, et "
                               "revenir en deçà de l'hystérésis pour retourner à la normale."));
    note->setWordWrap(true);
    m_silence = new QCheckBox(tr("Alarme aussi quand le capteur se tait (----)"));
    m_silence->setObjectName(QStringLiteral("CheckMuet"));
    m_silence->setChecked(shown.silenceRaises);
    m_sound = new QCheckBox(tr("Alarme sonore"));
    m_sound->setObjectName(QStringLiteral("CheckSon"));
    m_sound->setChecked(shown.sound);
    m_reason = new QLabel;
    m_reason->setObjectName(QStringLiteral("LabelRaison"));
    m_reason->setWordWrap(true);
    QPalette palette = m_reason->palette();
    palette.setColor(QPalette::WindowText, QColor(192, 0, 0));
    m_reason->setPalette(palette);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("CmdOK"));
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CmdAnnuler"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &AlarmWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    for (QLineEdit *edit : {m_high, m_low, m_delay, m_hysteresis})
        connect(edit, &QLineEdit::returnPressed, this, &AlarmWindow::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(m_silence);
    layout->addWidget(m_sound);
    layout->addWidget(m_reason);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void AlarmWindow::accept()
{
    const QString reason
        = m_choose({m_high->text(), m_low->text(), m_delay->text(), m_hysteresis->text(),
                    m_silence->isChecked(), m_sound->isChecked()});
    m_reason->setText(reason);
    if (reason.isEmpty())
        close();
}

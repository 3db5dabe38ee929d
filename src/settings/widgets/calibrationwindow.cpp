#include "calibrationwindow.h"

#include "common/twips.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>

namespace {

// As the panel's fields show a scale's Max and Min.
QString fieldText(double value)
{
    return QString::number(value, 'g', 10);
}

void setRed(QLabel *label, bool red)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     red ? QColor(Qt::red)
                         : label->parentWidget()->palette().color(QPalette::WindowText));
    label->setPalette(palette);
}

template<typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// A label whose text changes while the window is open: room for two lines from the start.
QLabel *stateLabel(QWidget *parent, const QString &name)
{
    auto *label = named(new QLabel(parent), name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumHeight(2 * label->fontMetrics().lineSpacing());
    return label;
}

} // namespace

CalibrationWindow::CalibrationWindow(const Calibration::Live &live, const QString &unit,
                                     QWidget *parent)
    : QWidget(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::CustomizeWindowHint)
    , m_calibration(live.value, live.monotonicMs)
    , m_live(live.value)
    , m_unit(unit)
{
    setObjectName(QStringLiteral("Form_etalonnage"));
    setWindowTitle(QStringLiteral("   Étalonnage du capteur"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *grid = new QGridLayout(this);
    auto *help = new QLabel(tr("Mettez le capteur dans un état connu, tapez sa valeur vraie, puis "
                               "« Mesurer » : la mesure est lue pendant %1 s, sans bouger. "
                               "Faites de même pour un second état, bien éloigné du premier.")
                                .arg(Calibration::ReadingMs / 1000),
                            this);
    help->setWordWrap(true);
    grid->addWidget(help, 0, 0, 1, 4);
    m_liveLabel = named(new QLabel(this), QStringLiteral("LabelLecture"));
    grid->addWidget(m_liveLabel, 1, 0, 1, 4);
    for (int i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        const int row = 2 + 2 * i;
        grid->addWidget(new QLabel(tr("Point %1 - valeur vraie :").arg(n), this), row, 0);
        m_truth[i] = named(new QLineEdit(this), QStringLiteral("TextVraie") + n);
        grid->addWidget(m_truth[i], row, 1);
        m_measure[i]
            = named(new QPushButton(tr("Mesurer"), this), QStringLiteral("CmdMesurer") + n);
        m_measure[i]->setAutoDefault(false);
        grid->addWidget(m_measure[i], row, 2);
        m_pointState[i] = stateLabel(this, QStringLiteral("LabelPoint") + n);
        grid->addWidget(m_pointState[i], row + 1, 0, 1, 4);
        connect(m_measure[i], &QPushButton::clicked, this, [this, i] { measure(i); });
    }
    m_result = stateLabel(this, QStringLiteral("LabelResultat"));
    grid->addWidget(m_result, 6, 0, 1, 4);
    m_apply = named(new QPushButton(tr("Appliquer"), this), QStringLiteral("CmdAppliquer"));
    auto *cancel = named(new QPushButton(tr("Annuler"), this), QStringLiteral("CmdAnnuler"));
    grid->addWidget(m_apply, 7, 2);
    grid->addWidget(cancel, 7, 3);
    connect(m_apply, &QPushButton::clicked, this, &CalibrationWindow::apply);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    // The main window's test keys do not reach this one: these move the same test value. Typed
    // in a true value's field, "-" is a minus sign.
    if (live.testKey)
        for (const char key : {'+', '-'})
            connect(new QShortcut(QKeySequence(QChar(key)), this), &QShortcut::activated, this,
                    [testKey = live.testKey, key] { testKey(key); });
    if (live.onRefresh)
        live.onRefresh(this, [this] { refreshed(); });
    setMinimumWidth(Twips::px(6000));
    showState();
}

void CalibrationWindow::setUnit(const QString &unit)
{
    m_unit = unit;
    showState();
}

void CalibrationWindow::measure(int point)
{
    m_calibration.measure(point, m_truth[point]->text());
    showState();
}

void CalibrationWindow::refreshed()
{
    m_calibration.refresh();
    showState();
}

void CalibrationWindow::showState()
{
    const QLocale locale;
    const std::optional<double> live = m_live ? m_live() : std::nullopt;
    m_liveLabel->setText(tr("Mesure actuelle (valeur enregistrée) : %1")
                             .arg(live ? locale.toString(*live, 'g', 10) : QStringLiteral("----")));
    const std::optional<int> reading = m_calibration.reading();
    for (int i = 0; i < 2; ++i) {
        const std::optional<double> recorded = m_calibration.recorded(i);
        const QString refusal = m_calibration.refusal(i);
        setRed(m_pointState[i], !refusal.isEmpty());
        if (reading == i)
            m_pointState[i]->setText(
                m_calibration.readings(i) < 2
                    ? tr("Lecture en cours, ne touchez à rien…")
                    : tr("Lecture en cours : %1 mesures…").arg(m_calibration.readings(i)));
        else if (!refusal.isEmpty())
            m_pointState[i]->setText(tr("Point refusé : %1.").arg(refusal));
        else if (recorded)
            m_pointState[i]->setText(tr("Mesuré : %1 (moyenne de %2 mesures)")
                                         .arg(locale.toString(*recorded, 'f', 1))
                                         .arg(m_calibration.readings(i)));
        else
            m_pointState[i]->setText(tr("Pas encore mesuré."));
    }
    QString reason;
    m_scale = m_calibration.scale(&reason);
    m_apply->setEnabled(m_scale.has_value());
    setRed(m_result, !reason.isEmpty());
    if (m_scale) {
        const QString suffix = SensorScale(m_scale->min(), m_scale->max(), m_unit).unitSuffix();
        m_result->setText(
            tr("Echelle obtenue : Max = %1, Min = %2")
                .arg(fieldText(m_scale->max()) + suffix, fieldText(m_scale->min()) + suffix));
    } else if (!reason.isEmpty())
        m_result->setText(tr("Étalonnage refusé : %1.").arg(reason));
    else
        m_result->setText(tr("Mesurez les deux points pour obtenir l'échelle."));
}

void CalibrationWindow::apply()
{
    if (!m_scale)
        return;
    emit applied(fieldText(m_scale->min()), fieldText(m_scale->max()));
    close();
}

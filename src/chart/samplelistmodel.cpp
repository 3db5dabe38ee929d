#include "samplelistmodel.h"

#include "recording/samplestore.h"

#include <QDateTime>
#include <QStringList>
#include <cmath>

namespace {

constexpr QStringView kNumberSeparator = u" ---- ";
constexpr QStringView kFieldSeparator = u" --- ";

// "#000": a whole number with at least three digits, zero-padded after the sign: 7 → "007",
// -7 → "-007".
QString pattern000(double value)
{
    const auto whole = static_cast<qint64>(std::llround(value));
    const QString digits = QString::number(whole < 0 ? -whole : whole).rightJustified(3, u'0');
    return whole < 0 ? u'-' + digits : digits;
}

// A number with its sign: "+52", "-3.5", "0".
QString signedText(double value)
{
    return (value > 0 ? QStringLiteral("+") : QString()) + QString::number(value, 'g', 15);
}

// A signed duration: "+12 s", "-5 min 03 s", "+6 h 40 min 00 s", "+2 j 6 h 40 min 00 s".
QString durationText(qint64 seconds)
{
    const QString sign = seconds > 0 ? QStringLiteral("+")
        : seconds < 0                ? QStringLiteral("-")
                                     : QString();
    const qint64 s = std::abs(seconds);
    const auto two = [](qint64 n) {
        return QString::number(n).rightJustified(2, u'0');
    };
    QString text = QStringLiteral("%1 s").arg(s < 60 ? QString::number(s) : two(s % 60));
    if (s >= 60)
        text = QStringLiteral("%1 min ").arg(s < 3600 ? QString::number(s / 60) : two(s / 60 % 60))
            + text;
    if (s >= 3600)
        text = QStringLiteral("%1 h ").arg(s / 3600 % 24) + text;
    if (s >= 86400)
        text = QStringLiteral("%1 j ").arg(s / 86400) + text;
    return sign + text;
}

} // namespace

SampleListModel::SampleListModel(const SampleStore &store, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
{ }

int SampleListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || m_shown < 0)
        return 0;
    return m_shown + (m_store.isLoaded() ? 2 : 1);
}

QVariant SampleListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return row(index.row());
}

QString SampleListModel::row(int r) const
{
    if (!m_store.isLoaded()) {
        const int i = m_shown - r;
        return QString::number(i) % kNumberSeparator % pattern000(m_store.valeur(i))
            % kFieldSeparator % m_store.date_mesure(i) % kFieldSeparator % m_store.heure_mesure(i);
    }
    if (r == 0)
        return m_store.entete_fichier();
    const int i = m_shown - (r - 1);
    return QString::number(i) % kNumberSeparator % m_store.ligne_fichier(i);
}

void SampleListModel::clear()
{
    beginResetModel();
    m_shown = -1;
    endResetModel();
}

void SampleListModel::show()
{
    const int n = m_store.num_mesure();
    if (!m_store.isLoaded() && m_shown >= 0 && n == m_shown + 1) {
        beginInsertRows({}, 0, 0);
        m_shown = n;
        endInsertRows();
        return;
    }
    beginResetModel();
    m_shown = n;
    endResetModel();
}

QString SampleListModel::readout(int i, std::optional<int> pinned) const
{
    if (i < 0 || i > m_shown)
        return {};
    QString value;
    QString when;
    if (!m_store.isLoaded()) {
        value = pattern000(m_store.valeur(i));
        when = QString(m_store.date_mesure(i) + u' ' + m_store.heure_mesure(i)).trimmed();
    } else {
        const QStringList fields = m_store.ligne_fichier(i).split(u';');
        value = fields.value(1).trimmed();
        if (value.isEmpty())
            value = pattern000(m_store.valeur(i));
        when = fields.mid(2).join(u' ').trimmed();
    }
    QString text = QStringLiteral("N° %1 : %2").arg(i).arg(value);
    if (!when.isEmpty())
        text += QStringLiteral(" — ") + when;
    if (!pinned || *pinned < 0 || *pinned > m_shown)
        return text;
    const int samples = i - *pinned;
    const QDateTime from = m_store.dateTime(*pinned), to = m_store.dateTime(i);
    return text
        + QStringLiteral("\nΔ %1 %2, %3, %4")
              .arg(signedText(samples), std::abs(samples) > 1 ? u"mesures" : u"mesure",
                   from.isValid() && to.isValid() ? durationText(from.secsTo(to))
                                                  : QStringLiteral("—"),
                   signedText(m_store.valeur(i) - m_store.valeur(*pinned)));
}

#include "samplelistmodel.h"

#include "recording/samplestore.h"

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

QString SampleListModel::readout(int i) const
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
    return text;
}

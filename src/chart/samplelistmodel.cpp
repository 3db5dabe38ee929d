#include "samplelistmodel.h"

#include "recording/samplestore.h"
#include "recording/sampletext.h"

SampleListModel::SampleListModel(const SampleStore &store, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
{
    connect(&store, &SampleStore::cleared, this, [this] { showAll(-1); });
    connect(&store, &SampleStore::grew, this, &SampleListModel::showAdded);
    connect(&store, &SampleStore::reloaded, this, [this] { showAll(m_store.num_mesure()); });
}

int SampleListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || m_shown < 0)
        return 0;
    return m_shown + (m_store.entete_fichier() ? 2 : 1);
}

QModelIndex SampleListModel::index(int row, int column, const QModelIndex &parent) const
{
    return row >= 0 && row < SampleListModel::rowCount() && column == 0 && !parent.isValid()
        ? createIndex(row, 0)
        : QModelIndex();
}

QVariant SampleListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const std::optional<QString> &header = m_store.entete_fichier();
    if (header && index.row() == 0)
        return *header;
    const int i = m_shown - index.row() + (header ? 1 : 0);
    return SampleText::row(m_store.at(i), m_store.scaleAt(i));
}

void SampleListModel::showAdded()
{
    const int n = m_store.num_mesure();
    if (m_shown < 0 || n != m_shown + 1)
        return showAll(n);
    beginInsertRows({}, 0, 0);
    m_shown = n;
    endInsertRows();
}

void SampleListModel::showAll(int last)
{
    beginResetModel();
    m_shown = last;
    endResetModel();
}

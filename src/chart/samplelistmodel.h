#pragma once

#include <QAbstractListModel>

class SampleStore;

// The sample list, newest first: one row per sample from the last one shown down to 0, under
// the file's first line when the samples were read from one. It follows the sample store: a
// recorded sample comes in as a new row on top; a file read, or the store cleared, starts the
// list over. Rows are made when a view asks for them, so showing one more sample or a whole
// file costs the same.
class SampleListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit SampleListModel(const SampleStore &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    // Without the base class's calls back into rowCount and columnCount: a view laying out a
    // whole file asks for every row's index.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void showAdded();
    void showAll(int last);

    const SampleStore &m_store;
    int m_shown = -1; // the last sample shown; -1: none
};

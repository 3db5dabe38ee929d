#pragma once

#include <QAbstractListModel>
#include <optional>

class SampleStore;

// The sample list, newest first: one row per sample from the last one shown down to 0, under
// the file's first line when the samples were loaded. Rows are made when a view asks for them,
// so showing one more sample or a whole file costs the same.
class SampleListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit SampleListModel(const SampleStore &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // raz: no rows.
    void clear();
    // affich: the samples as the store holds them now. A recorded sample added to those shown
    // comes in as a new row on top; anything else starts the list over.
    void show();
    // The chart's label for sample i: "N° i : value — date time", the value as listed and, for
    // a loaded line, the fields after it (nothing when it has none); with a pinned sample, a
    // second line of the differences from it: samples, time ("—" when either has no readable
    // date and time) and value.
    QString readout(int i, std::optional<int> pinned = std::nullopt) const;

private:
    QString row(int r) const;

    const SampleStore &m_store;
    int m_shown = -1; // the last sample shown; -1: none
};

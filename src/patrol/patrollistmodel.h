#pragma once
#include "patrol/patrolentry.h"

#include <QAbstractTableModel>
#include <QList>

namespace kirano {

// The patrol list: one entry per row, all six fields under one index. The
// view lsv1 shows it; rows are never sorted. The first three columns are the
// entry's display row, derived from fields that never change once the entry
// is in the list, so they are worked out only for the rows on screen.
// Every entry given to the model must have a display row.
class PatrolListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { First, Second, Third, Days, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int size() const { return static_cast<int>(entries_.size()); }
    const PatrolEntry &entry(int row) const { return entries_.at(row); }
    const QList<PatrolEntry> &entries() const { return entries_; }

    void insertEntry(int position, PatrolEntry entry);
    // A whole file's entries in one step.
    void setEntries(QList<PatrolEntry> entries);
    void clear() { setEntries({}); }
    void removeEntry(int row);
    // Rows row-1 and row change places in one move: each keeps its
    // selection in a view.
    void moveUp(int row);
    void setDays(int row, const QByteArray &days);

  private:
    QList<PatrolEntry> entries_;
};

} // namespace kirano

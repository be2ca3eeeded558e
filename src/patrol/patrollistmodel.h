#pragma once
#include "patrol/patrolentry.h"

#include <QAbstractTableModel>
#include <QList>

namespace kirano {

// The patrol list: the entries and their display rows, one index for all of
// an entry's fields. The view lsv1 shows it; rows are never sorted.
class PatrolListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { First, Second, Third, Days, ColumnCount };

    struct Row {
        PatrolEntry entry;
        DisplayRow display;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int size() const { return static_cast<int>(rows_.size()); }
    const PatrolEntry &entry(int row) const { return rows_.at(row).entry; }
    const Row &rowAt(int row) const { return rows_.at(row); }

    void insertRow(int position, Row row);
    // A whole file's entries in one step.
    void setRows(QList<Row> rows);
    void clear() { setRows({}); }
    void removeEntry(int row);
    // Rows row-1 and row change places; the row that moves up is created
    // anew (so it is never selected) and the other keeps its selection.
    void moveUp(int row);
    void setDays(int row, const QByteArray &days);

  private:
    QList<Row> rows_;
};

} // namespace kirano

#pragma once
#include "store/filteredlistmodel.h"

#include <QByteArray>
#include <QList>

namespace kirano {

// A list of Shift_JIS rows, decoded only when a row is drawn. Loads replace
// all rows in one reset. A search may show only some of them.
class ByteListModel : public FilteredListModel {
    Q_OBJECT
  public:
    using FilteredListModel::FilteredListModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    int wholeCount() const override { return int(rows_.size()); }
    QByteArrayView searchedText(int whole) const override { return rows_.at(whole); }

    void setRows(QList<QByteArray> rows);
    void clear() { setRows({}); }
    // Every row, shown or not.
    const QList<QByteArray> &rows() const { return rows_; }
    // The row shown at `row`: its bytes from the whole list; none for no row.
    const QByteArray *shownRowBytes(int row) const {
        const int whole = wholeRow(row);
        return whole < 0 ? nullptr : &rows_.at(whole);
    }

  private:
    QList<QByteArray> rows_;
};

} // namespace kirano

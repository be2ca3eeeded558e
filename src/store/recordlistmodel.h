#pragma once
#include "text/sjis.h"

#include <QAbstractListModel>
#include <QList>

namespace kirano {

// A list of records shown by their Shift_JIS `name`, decoded only when a row
// is drawn; the other fields (a forum's code, a patio's ID and password) come
// out of the model with the record, never from a list kept beside it. Loads
// replace all records in one reset.
template <typename Record> class RecordListModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(records_.size());
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override {
        if (!index.isValid() || index.row() >= records_.size() || role != Qt::DisplayRole)
            return QVariant();
        return text::shownText(records_.at(index.row()).name);
    }

    void setRecords(QList<Record> records) {
        beginResetModel();
        records_ = std::move(records);
        endResetModel();
    }
    void clear() { setRecords({}); }
    const QList<Record> &records() const { return records_; }
    // The record shown in `row`; none for no row.
    const Record *record(int row) const {
        return row >= 0 && row < records_.size() ? &records_.at(row) : nullptr;
    }

  private:
    QList<Record> records_;
};

} // namespace kirano

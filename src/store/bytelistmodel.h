#pragma once
#include <QAbstractListModel>
#include <QByteArray>
#include <QList>

namespace kirano {

// A list of Shift_JIS rows, decoded only when a row is drawn. Loads replace
// all rows in one reset.
class ByteListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setRows(QList<QByteArray> rows);
    void clear() { setRows({}); }
    const QList<QByteArray> &rows() const { return rows_; }

  private:
    QList<QByteArray> rows_;
};

} // namespace kirano

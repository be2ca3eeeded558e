#include "patrol/patrollistmodel.h"
#include "text/sjis.h"

namespace kirano {

int PatrolListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : size();
}

int PatrolListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PatrolListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= size() || role != Qt::DisplayRole)
        return QVariant();
    const Row &row = rows_.at(index.row());
    switch (index.column()) {
    case First:
        return text::decode(row.display.column1);
    case Second:
        return text::decode(row.display.column2);
    case Third:
        return text::decode(row.display.column3);
    case Days:
        return text::decode(row.entry.days);
    default:
        return QVariant();
    }
}

QVariant PatrolListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case First:
        return QStringLiteral(u"第一項目");
    case Second:
        return QStringLiteral(u"第二項目");
    case Third:
        return QStringLiteral(u"第三項目");
    case Days:
        return QStringLiteral(u"曜日");
    default:
        return QVariant();
    }
}

void PatrolListModel::insertRow(int position, Row row) {
    beginInsertRows(QModelIndex(), position, position);
    rows_.insert(position, std::move(row));
    endInsertRows();
}

void PatrolListModel::setRows(QList<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void PatrolListModel::removeEntry(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    rows_.removeAt(row);
    endRemoveRows();
}

void PatrolListModel::moveUp(int row) {
    const int above = row - 1;
    Row moving = rows_.at(row);
    beginInsertRows(QModelIndex(), above, above);
    rows_.insert(above, std::move(moving));
    endInsertRows();
    beginRemoveRows(QModelIndex(), row + 1, row + 1);
    rows_.removeAt(row + 1);
    endRemoveRows();
}

void PatrolListModel::setDays(int row, const QByteArray &days) {
    rows_[row].entry.days = days;
    const QModelIndex cell = index(row, Days);
    emit dataChanged(cell, cell);
}

} // namespace kirano

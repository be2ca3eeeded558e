#include "patrol/patrollistmodel.h"
#include "patrol/displayrow.h"
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
    const PatrolEntry &entry = entries_.at(index.row());
    if (index.column() == Days)
        return text::shownText(entry.days);
    const DisplayRow display = BuildDisplayRow(entry).value_or(DisplayRow{});
    switch (index.column()) {
    case First:
        return text::shownText(display.column1);
    case Second:
        return text::shownText(display.column2);
    case Third:
        return text::shownText(display.column3);
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

void PatrolListModel::insertEntry(int position, PatrolEntry entry) {
    beginInsertRows(QModelIndex(), position, position);
    entries_.insert(position, std::move(entry));
    endInsertRows();
}

void PatrolListModel::setEntries(QList<PatrolEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

void PatrolListModel::removeEntry(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    entries_.removeAt(row);
    endRemoveRows();
}

void PatrolListModel::moveUp(int row) {
    // One move, so that a view's current index and selection follow each row.
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), row - 1);
    entries_.move(row, row - 1);
    endMoveRows();
}

void PatrolListModel::setDays(int row, const QByteArray &days) {
    entries_[row].days = days;
    const QModelIndex cell = index(row, Days);
    emit dataChanged(cell, cell);
}

} // namespace kirano

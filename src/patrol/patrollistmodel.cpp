#include "patrol/patrollistmodel.h"
#include "patrol/displayrow.h"
#include "text/sjis.h"

#include <QCoreApplication>
#include <QMimeData>

namespace kirano {

int PatrolListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : size();
}

int PatrolListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PatrolListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= size())
        return QVariant();
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) {
        const QString problems = markText(index.row());
        return problems.isEmpty() ? QVariant() : QVariant(problems);
    }
    if (role == MarkRole)
        return index.column() == First && marks_.at(index.row()) != 0;
    if (role == DaysRole)
        return entries_.at(index.row()).days;
    if (role != Qt::DisplayRole)
        return QVariant();
    const PatrolEntry &entry = entries_.at(index.row());
    if (index.column() == Days)
        return text::shownText(entry.days);
    const DisplayRow display = displayRowOf(entry).value_or(DisplayRow{});
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
    marks_.insert(position, 0);
    endInsertRows();
}

void PatrolListModel::insertEntries(int position, QList<PatrolEntry> entries) {
    if (entries.isEmpty())
        return;
    const int count = int(entries.size());
    beginInsertRows(QModelIndex(), position, position + count - 1);
    // The fields are moved, never copied: a paste of thousands costs one
    // pass over the list.
    QList<PatrolEntry> merged;
    merged.reserve(entries_.size() + count);
    auto moveIn = [&merged](QList<PatrolEntry>::iterator from, QList<PatrolEntry>::iterator to) {
        for (; from != to; ++from)
            merged.append(std::move(*from));
    };
    moveIn(entries_.begin(), entries_.begin() + position);
    moveIn(entries.begin(), entries.end());
    moveIn(entries_.begin() + position, entries_.end());
    entries_.swap(merged);
    marks_.insert(position, count, 0);
    endInsertRows();
}

QList<PatrolEntry> PatrolListModel::takeEntries(int position, int count) {
    if (count <= 0)
        return {};
    beginRemoveRows(QModelIndex(), position, position + count - 1);
    QList<PatrolEntry> taken;
    taken.reserve(count);
    for (int row = position; row < position + count; ++row) {
        taken.append(std::move(entries_[row]));
        markedCount_ -= marks_.at(row) != 0 ? 1 : 0;
    }
    entries_.remove(position, count);
    marks_.remove(position, count);
    endRemoveRows();
    return taken;
}

PatrolEntry PatrolListModel::replaceEntry(int row, PatrolEntry entry) {
    std::swap(entries_[row], entry);
    // Every column may read anew, and the mark is the new entry's to find.
    emit dataChanged(index(row, First), index(row, ColumnCount - 1));
    return entry;
}

void PatrolListModel::setEntries(QList<PatrolEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    marks_ = QList<int>(entries_.size());
    markedCount_ = 0;
    endResetModel();
}

void PatrolListModel::swapEntries(QList<PatrolEntry> &entries) {
    beginResetModel();
    entries_.swap(entries);
    marks_ = QList<int>(entries_.size());
    markedCount_ = 0;
    endResetModel();
}

PatrolEntry PatrolListModel::takeEntry(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    PatrolEntry entry = entries_.takeAt(row);
    markedCount_ -= marks_.takeAt(row) != 0 ? 1 : 0;
    endRemoveRows();
    return entry;
}

void PatrolListModel::moveEntry(int from, int to) {
    if (from == to)
        return;
    // One move, so that a view's current index and selection follow each row.
    // The destination counts rows before the move: below `from` it is one more.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    entries_.move(from, to);
    marks_.move(from, to);
    endMoveRows();
}

void PatrolListModel::setDays(int row, const QByteArray &days) {
    entries_[row].days = days;
    const QModelIndex cell = index(row, Days);
    emit dataChanged(cell, cell);
}

QString PatrolListModel::markText(int row) const {
    const int mark = marks_.at(row);
    return mark != 0 && markWords_ ? markWords_(entries_.at(row), mark) : QString();
}

bool PatrolListModel::storeMark(int row, int mark) {
    if (marks_.at(row) == mark)
        return false;
    markedCount_ += (mark != 0 ? 1 : 0) - (marks_.at(row) != 0 ? 1 : 0);
    marks_[row] = mark;
    return true;
}

void PatrolListModel::marksChanged(int first, int last) {
    emit dataChanged(index(first, First), index(last, ColumnCount - 1),
                     {MarkRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

namespace {

const QString kRowMimeType = QStringLiteral("application/x-kirano-patrol-row");

} // namespace

Qt::ItemFlags PatrolListModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
}

QStringList PatrolListModel::mimeTypes() const {
    return {kRowMimeType};
}

QMimeData *PatrolListModel::mimeData(const QModelIndexList &indexes) const {
    // One row is dragged at a time; its cells all name the same row.
    if (indexes.isEmpty() || !indexes.first().isValid())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(kRowMimeType, listMark() + QByteArray::number(indexes.first().row()));
    return data;
}

bool PatrolListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                      const QModelIndex &parent) const {
    return action == Qt::MoveAction && !parent.isValid() && draggedRow(data) >= 0;
}

int PatrolListModel::draggedRow(const QMimeData *data) const {
    if (!data || !data->hasFormat(kRowMimeType))
        return -1;
    const QByteArray bytes = data->data(kRowMimeType);
    const QByteArray mark = listMark();
    if (!bytes.startsWith(mark))
        return -1;
    bool ok = false;
    const int row = bytes.mid(mark.size()).toInt(&ok);
    return ok && row >= 0 && row < size() ? row : -1;
}

QByteArray PatrolListModel::listMark() const {
    return QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
           QByteArray::number(reinterpret_cast<quintptr>(this)) + ' ';
}

} // namespace kirano

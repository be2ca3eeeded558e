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
    if (role == MarkRole)
        return index.column() == First && marks_.at(index.row()).problems != 0;
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
    insertMarks(position, 1);
    endInsertRows();
    emit rowsAwaitCheck(position, position);
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
    insertMarks(position, count);
    endInsertRows();
    emit rowsAwaitCheck(position, position + count - 1);
}

QList<PatrolEntry> PatrolListModel::takeEntries(int position, int count) {
    if (count <= 0)
        return {};
    beginRemoveRows(QModelIndex(), position, position + count - 1);
    QList<PatrolEntry> taken;
    taken.reserve(count);
    for (int row = position; row < position + count; ++row)
        taken.append(std::move(entries_[row]));
    entries_.remove(position, count);
    forgetMarks(position, count);
    endRemoveRows();
    return taken;
}

PatrolEntry PatrolListModel::replaceEntry(int row, PatrolEntry entry) {
    std::swap(entries_[row], entry);
    setPending(row);
    // Every column may read anew; the mark shown stays until the new entry's
    // is found.
    emit dataChanged(index(row, First), index(row, ColumnCount - 1));
    emit rowsAwaitCheck(row, row);
    return entry;
}

void PatrolListModel::setEntries(QList<PatrolEntry> entries) {
    // The list replaced goes with `entries`.
    swapEntries(entries);
}

void PatrolListModel::swapEntries(QList<PatrolEntry> &entries) {
    beginResetModel();
    entries_.swap(entries);
    newMarks();
    endResetModel();
    if (!entries_.isEmpty())
        emit rowsAwaitCheck(0, size() - 1);
}

PatrolEntry PatrolListModel::takeEntry(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    PatrolEntry entry = entries_.takeAt(row);
    forgetMarks(row, 1);
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
    pendingFrom_ = qMin(pendingFrom_, qMin(from, to));
    rowOfKeyKnown_ = false;
    endMoveRows();
}

void PatrolListModel::setDays(int row, const QByteArray &days) {
    entries_[row].days = days;
    setPending(row);
    const QModelIndex cell = index(row, Days);
    emit dataChanged(cell, cell);
    emit rowsAwaitCheck(row, row);
}

void PatrolListModel::insertMarks(int position, int count) {
    marks_.insert(position, count, RowMark());
    for (int row = position; row < position + count; ++row)
        marks_[row].key = nextKey_++;
    pendingCount_ += count;
    pendingFrom_ = qMin(pendingFrom_, position);
    rowOfKeyKnown_ = false;
}

void PatrolListModel::forgetMarks(int position, int count) {
    for (int row = position; row < position + count; ++row) {
        const RowMark &mark = marks_.at(row);
        markedCount_ -= mark.problems != 0 ? 1 : 0;
        pendingCount_ -= mark.pending ? 1 : 0;
        consultedTotal_ -= mark.consultedCount;
    }
    marks_.remove(position, count);
    pendingFrom_ = qMin(pendingFrom_, position);
    rowOfKeyKnown_ = false;
}

void PatrolListModel::newMarks() {
    // The new marks take the old ones' room: a list emptied and opened
    // again is not made anew.
    marks_.clear();
    marks_.resize(entries_.size());
    for (RowMark &mark : marks_)
        mark.key = nextKey_++;
    markedCount_ = 0;
    pendingCount_ = size();
    consultedTotal_ = 0;
    pendingFrom_ = 0;
    rowOfKeyKnown_ = false;
}

int PatrolListModel::firstPending() const {
    if (pendingCount_ == 0)
        return -1;
    // Never past the last row, whatever the count says.
    while (pendingFrom_ < size() && !marks_.at(pendingFrom_).pending)
        ++pendingFrom_;
    return pendingFrom_ < size() ? pendingFrom_ : -1;
}

void PatrolListModel::setPending(int row) {
    RowMark &mark = marks_[row];
    if (!mark.pending) {
        mark.pending = true;
        ++pendingCount_;
    }
    pendingFrom_ = qMin(pendingFrom_, row);
}

void PatrolListModel::setAllPending() {
    for (RowMark &mark : marks_) {
        mark.pending = true;
        mark.consultedCount = 0;
    }
    pendingCount_ = size();
    consultedTotal_ = 0;
    pendingFrom_ = 0;
}

void PatrolListModel::storeMark(int row, quint32 problems, const RowMark::Consulted &consulted,
                                int count) {
    RowMark &mark = marks_[row];
    if (mark.problems != problems) {
        markedCount_ += (problems != 0 ? 1 : 0) - (mark.problems != 0 ? 1 : 0);
        mark.problems = problems;
        changedFirst_ = qMin(changedFirst_, row);
        changedLast_ = qMax(changedLast_, row);
    }
    consultedTotal_ += count - mark.consultedCount;
    mark.consulted = consulted;
    mark.consultedCount = quint8(count);
    if (mark.pending) {
        mark.pending = false;
        --pendingCount_;
    }
}

void PatrolListModel::showMarks() {
    // Rows removed since may have taken the last ones with them.
    const int last = qMin(changedLast_, size() - 1);
    if (changedFirst_ <= last)
        emit dataChanged(index(changedFirst_, First), index(last, ColumnCount - 1),
                         {MarkRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    changedFirst_ = std::numeric_limits<int>::max();
    changedLast_ = -1;
}

int PatrolListModel::rowOfKey(quint32 key) const {
    if (!rowOfKeyKnown_) {
        rowOfKey_.clear();
        rowOfKey_.reserve(marks_.size());
        for (int row = 0; row < marks_.size(); ++row)
            rowOfKey_.insert(marks_.at(row).key, row);
        rowOfKeyKnown_ = true;
    }
    return rowOfKey_.value(key, -1);
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

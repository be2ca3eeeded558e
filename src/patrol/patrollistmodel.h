#pragma once
#include "patrol/patrolentry.h"
#include "patrol/rowmark.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <limits>

namespace kirano {

// The patrol list: one entry per row, all six fields under one index. The
// view lsv1 shows it; rows are never sorted. The first three columns are the
// entry's display row, derived from fields that never change once the entry
// is in the list, so they are worked out only for the rows on screen.
// Every entry given to the model must have a display row.
// Each row is its entry and its mark (patrol/rowmark.h): what the night's run
// would fail on with it, as found by the marks. The two come, go and move
// together; the entries stay one list of their own, so that the history,
// saving and the recovery copy share it without copying a field.
class PatrolListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { First, Second, Third, Days, ColumnCount };
    // True in the first column of a marked row: where the view draws its sign.
    static constexpr int MarkRole = Qt::UserRole + 1;
    // The entry's days text as its bytes, in every column: what a preview of
    // one day's run goes by.
    static constexpr int DaysRole = Qt::UserRole + 2;

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
    // Entries put in before `position` in one insertion, however many.
    void insertEntries(int position, QList<PatrolEntry> entries);
    // The `count` entries from `position` out of the list, in one removal.
    QList<PatrolEntry> takeEntries(int position, int count);
    // The entry at `row` is given new fields; the old ones are handed back.
    // The row stays where it is, with its selection in a view.
    PatrolEntry replaceEntry(int row, PatrolEntry entry);
    // A whole file's entries in one step.
    void setEntries(QList<PatrolEntry> entries);
    // The list and `entries` change places in one step; neither is copied,
    // so a history can keep the list it replaced at no cost.
    void swapEntries(QList<PatrolEntry> &entries);
    void clear() { setEntries({}); }
    void removeEntry(int row) { takeEntry(row); }
    PatrolEntry takeEntry(int row);
    // Row `from` moves to row `to` in one move: every row keeps its
    // selection in a view, and no row is made anew.
    void moveEntry(int from, int to);
    // Rows row-1 and row change places.
    void moveUp(int row) { moveEntry(row, row - 1); }
    void setDays(int row, const QByteArray &days);

    // The row's mark: its problems, what they rest on, whether it waits for
    // its check. A row enters the list waiting, and waits again whenever
    // its entry or its days change.
    const RowMark &rowMark(int row) const { return marks_.at(row); }
    // How many rows carry problems.
    int markedCount() const { return markedCount_; }
    // How many rows wait for their check.
    int pendingCount() const { return pendingCount_; }
    // The first row waiting for its check, or -1.
    int firstPending() const;
    // The row waits for its check again: something it consulted changed.
    void setPending(int row);
    // Every row waits for its check and consults nothing: the folders the
    // checks go by changed.
    void setAllPending();
    // Keeps what the check of a row found; the row waits no more. Views hear
    // of the marks stored from showMarks(), once for a whole slice of rows.
    void storeMark(int row, quint32 problems, const RowMark::Consulted &consulted, int count);
    void showMarks();
    // The row whose mark has `key`; -1 when it left the list.
    int rowOfKey(quint32 key) const;
    // How many path ids the rows consult, all together.
    qsizetype consultedTotal() const { return consultedTotal_; }

    // Dragging a row within a view: rows are dragged, and dropped only
    // between rows, never onto one.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    // The dragged row's number, marked as this very list's, so that nothing
    // from another program or another list reads as one of its rows.
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    // The row of this list that mimeData() put in `data`, or -1.
    int draggedRow(const QMimeData *data) const;

  signals:
    // Rows entered the list, or their entry changed: their marks are to be
    // found. Once the rows are in place, after the views heard of them.
    void rowsAwaitCheck(int first, int last);

  private:
    // This process and this list, ahead of a dragged row's number.
    QByteArray listMark() const;
    // `count` waiting marks, with keys of their own, at `position`.
    void insertMarks(int position, int count);
    // The marks of the rows to be removed leave the counts.
    void forgetMarks(int position, int count);
    // A waiting mark for every entry: the list was replaced.
    void newMarks();

    QList<PatrolEntry> entries_;
    QList<RowMark> marks_; // one per entry, at the same row
    quint32 nextKey_ = 0;
    int markedCount_ = 0;
    int pendingCount_ = 0;
    qsizetype consultedTotal_ = 0;
    mutable int pendingFrom_ = 0; // no row before it waits
    // The rows whose marks changed since showMarks().
    int changedFirst_ = std::numeric_limits<int>::max();
    int changedLast_ = -1;
    mutable QHash<quint32, int> rowOfKey_; // made when asked, after rows moved
    mutable bool rowOfKeyKnown_ = false;
};

} // namespace kirano

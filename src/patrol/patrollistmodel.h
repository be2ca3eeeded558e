#pragma once
#include "patrol/patrolentry.h"

#include <QAbstractTableModel>
#include <QList>
#include <functional>

namespace kirano {

// The patrol list: one entry per row, all six fields under one index. The
// view lsv1 shows it; rows are never sorted. The first three columns are the
// entry's display row, derived from fields that never change once the entry
// is in the list, so they are worked out only for the rows on screen.
// Every entry given to the model must have a display row.
// A row may carry a mark: a number standing for the problems the night's run
// would meet with its entry, whose words (one problem per line) are made
// from the entry by whoever stored it, only when shown as its tooltip and
// accessible description; the mark follows its row and is dropped with it.
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

    // 0 for a row without problems.
    int mark(int row) const { return marks_.at(row); }
    // How many rows carry a mark.
    int markedCount() const { return markedCount_; }
    // The row's problems, one per line; empty for a row without any.
    QString markText(int row) const;
    // What the marks stored stand for.
    using MarkWords = std::function<QString(const PatrolEntry &entry, int mark)>;
    void setMarkWords(MarkWords words) { markWords_ = std::move(words); }
    // Keeps the row's mark and says whether it changed; views hear of it
    // from marksChanged(), once for a whole slice of rows checked.
    bool storeMark(int row, int mark);
    void marksChanged(int first, int last);

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

  private:
    // This process and this list, ahead of a dragged row's number.
    QByteArray listMark() const;

    QList<PatrolEntry> entries_;
    QList<int> marks_; // parallel to entries_
    int markedCount_ = 0;
    MarkWords markWords_;
};

} // namespace kirano

#pragma once
// The patrol list's history: one undo step per change. A step keeps only what
// its change took or brought (an entry, two row numbers, a days text, the list
// a "開く" or "クリア" replaced), never a copy of the whole list, so a long
// history of small edits costs little; the history as a whole keeps within a
// memory budget.
#include "patrol/patrolentry.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

class QAction;

namespace kirano {

class PatrolListModel;

// What the steps act on: the list, lsv1's selection and the file being edited.
struct PatrolEditTarget {
    PatrolListModel *model = nullptr;
    std::function<void(int row)> selectRow; // -1: no row
    std::function<QByteArray()> currentFile;
    std::function<void(const QByteArray &path)> setCurrentFile;
    // Scrolls the row into view: the row a step changed is always seen.
    std::function<void(int row)> showRow;
};

// Each step puts back the selected row it found on undo, and sets the one its
// command leaves on redo (-1 for none); either way the row it changed is
// scrolled into view.
class PatrolStep {
  public:
    PatrolStep(const PatrolEditTarget &target, const QString &text, int selectedBefore,
               int selectedAfter);
    virtual ~PatrolStep() = default;
    void undo();
    void redo();
    const QString &text() const { return text_; }
    // About how many bytes of memory the step keeps, whichever way it was
    // last run.
    virtual qint64 heldBytes() const { return sizeof(*this); }

  protected:
    virtual void apply() = 0;
    virtual void revert() = 0;
    // The row to show after apply() and after revert(); -1 for none.
    virtual int rowAfterApply() const = 0;
    virtual int rowAfterRevert() const { return rowAfterApply(); }
    PatrolListModel &model() const { return *target_.model; }
    const PatrolEditTarget &target_;

  private:
    QString text_;
    int selectedBefore_;
    int selectedAfter_;
};

// About how many bytes an entry takes in memory, its fields' bytes included.
qint64 heldBytes(const PatrolEntry &entry);

// The steps of the list's changes, to undo and redo them (Ctrl+Z, Ctrl+Y),
// and which of them left the list as it was last opened or saved. When the
// steps together keep more than the budget, the oldest are dropped, never
// the newest: a history of many opens of large lists keeps a bounded size.
class PatrolHistory : public QObject {
    Q_OBJECT
  public:
    static constexpr qint64 kDefaultBudget = qint64(256) * 1024 * 1024;

    explicit PatrolHistory(QObject *parent = nullptr);
    ~PatrolHistory() override;

    // Runs the step and keeps it; the steps undone before are dropped.
    void push(std::unique_ptr<PatrolStep> step);
    void undo();
    void redo();
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < int(steps_.size()); }
    // The steps kept, and how many of them are done.
    int count() const { return int(steps_.size()); }
    int index() const { return index_; }
    void clear();

    // The list as it is now is the one last opened or saved.
    void setClean();
    bool isClean() const { return index_ == cleanIndex_; }

    void setBudget(qint64 bytes);
    qint64 heldBytes() const { return held_; }

    // Actions for the keys, enabled while there is something to undo or redo.
    QAction *createUndoAction(QObject *parent);
    QAction *createRedoAction(QObject *parent);

  signals:
    // After every push, undo, redo or clear.
    void changed();
    void cleanChanged(bool clean);

  private:
    void keepWithinBudget();
    void afterChange(bool wasClean);

    std::deque<std::unique_ptr<PatrolStep>> steps_;
    int index_ = 0;      // steps before it are done
    int cleanIndex_ = 0; // -1: the clean list was dropped with its steps
    qint64 held_ = 0;
    qint64 budget_ = kDefaultBudget;
};

// An entry added at `row`.
class InsertEntryStep : public PatrolStep {
  public:
    InsertEntryStep(const PatrolEditTarget &target, int row, PatrolEntry entry, int selectedBefore,
                    int selectedAfter);

    qint64 heldBytes() const override;

  private:
    void apply() override;
    void revert() override;
    int rowAfterApply() const override { return row_; }
    int row_;
    PatrolEntry entry_; // held while the entry is out of the list
};

// Entries put in before `row`, however many, as one step (a paste).
class InsertEntriesStep : public PatrolStep {
  public:
    InsertEntriesStep(const PatrolEditTarget &target, int row, QList<PatrolEntry> entries,
                      int selectedBefore, int selectedAfter);

    qint64 heldBytes() const override;

  private:
    void apply() override;
    void revert() override;
    int rowAfterApply() const override { return row_; }
    int row_;
    int count_;
    QList<PatrolEntry> entries_; // held while they are out of the list
};

// The entry at `row` given new fields in place ("編集..."): the same row,
// still selected.
class ReplaceEntryStep : public PatrolStep {
  public:
    ReplaceEntryStep(const PatrolEditTarget &target, int row, PatrolEntry entry, int selected);

    qint64 heldBytes() const override;

  private:
    void apply() override { swapEntry(); }
    void revert() override { swapEntry(); }
    int rowAfterApply() const override { return row_; }
    void swapEntry();
    int row_;
    PatrolEntry entry_; // the fields the row does not have now
};

// The entry at `row` deleted ("削除").
class RemoveEntryStep : public PatrolStep {
  public:
    RemoveEntryStep(const PatrolEditTarget &target, int row, int selectedBefore);

    qint64 heldBytes() const override;

  private:
    void apply() override;
    void revert() override;
    int rowAfterApply() const override { return row_; }
    int row_;
    PatrolEntry entry_;
};

// One row moved from `from` to `to` ("上へ", "下へ", a drag).
class MoveEntryStep : public PatrolStep {
  public:
    MoveEntryStep(const PatrolEditTarget &target, const QString &text, int from, int to,
                  int selectedBefore, int selectedAfter);

  private:
    void apply() override;
    void revert() override;
    int rowAfterApply() const override { return to_; }
    int rowAfterRevert() const override { return from_; }
    int from_;
    int to_;
};

// The days of the entry at `row` changed ("曜日変更").
class ChangeDaysStep : public PatrolStep {
  public:
    ChangeDaysStep(const PatrolEditTarget &target, int row, QByteArray days, int selectedBefore);

    qint64 heldBytes() const override { return sizeof(*this) + days_.capacity(); }

  private:
    void apply() override { swapDays(); }
    void revert() override { swapDays(); }
    int rowAfterApply() const override { return row_; }
    void swapDays();
    int row_;
    QByteArray days_; // the days the entry does not have now
};

// The whole list and the file name replaced ("開く", "クリア"). The step holds
// the list that is not shown, moved in and out of the model, never copied.
class ReplaceListStep : public PatrolStep {
  public:
    ReplaceListStep(const PatrolEditTarget &target, const QString &text, QList<PatrolEntry> entries,
                    QByteArray file, int selectedBefore);

    qint64 heldBytes() const override { return held_; }

  private:
    void apply() override { swapList(); }
    void revert() override { swapList(); }
    int rowAfterApply() const override { return 0; }
    void swapList();
    QList<PatrolEntry> entries_;
    QByteArray file_;
    qint64 held_ = 0; // of the larger of the two lists
};

} // namespace kirano

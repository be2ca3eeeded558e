#pragma once
// The patrol list's history: one undo step per change. A step keeps only what
// its change took or brought (an entry, two row numbers, a days text, the list
// a "開く" or "クリア" replaced), never a copy of the whole list, so a long
// history of small edits costs little.
#include "patrol/patrolentry.h"

#include <QByteArray>
#include <QList>
#include <QUndoCommand>
#include <functional>

namespace kirano {

class PatrolListModel;

// What the steps act on: the list, lsv1's selection and the file being edited.
struct PatrolEditTarget {
    PatrolListModel *model = nullptr;
    std::function<void(int row)> selectRow; // -1: no row
    std::function<QByteArray()> currentFile;
    std::function<void(const QByteArray &path)> setCurrentFile;
};

// Each step puts back the selected row it found on undo, and sets the one its
// command leaves on redo (-1 for none).
class PatrolStep : public QUndoCommand {
  public:
    PatrolStep(const PatrolEditTarget &target, const QString &text, int selectedBefore,
               int selectedAfter);
    void undo() final;
    void redo() final;

  protected:
    virtual void apply() = 0;
    virtual void revert() = 0;
    PatrolListModel &model() const { return *target_.model; }
    const PatrolEditTarget &target_;

  private:
    int selectedBefore_;
    int selectedAfter_;
};

// An entry added at `row`.
class InsertEntryStep : public PatrolStep {
  public:
    InsertEntryStep(const PatrolEditTarget &target, int row, PatrolEntry entry, int selectedBefore,
                    int selectedAfter);

  private:
    void apply() override;
    void revert() override;
    int row_;
    PatrolEntry entry_; // held while the entry is out of the list
};

// The entry at `row` deleted ("削除").
class RemoveEntryStep : public PatrolStep {
  public:
    RemoveEntryStep(const PatrolEditTarget &target, int row, int selectedBefore);

  private:
    void apply() override;
    void revert() override;
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
    int from_;
    int to_;
};

// The days of the entry at `row` changed ("曜日変更").
class ChangeDaysStep : public PatrolStep {
  public:
    ChangeDaysStep(const PatrolEditTarget &target, int row, QByteArray days, int selectedBefore);

  private:
    void apply() override { swapDays(); }
    void revert() override { swapDays(); }
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

  private:
    void apply() override { swapList(); }
    void revert() override { swapList(); }
    void swapList();
    QList<PatrolEntry> entries_;
    QByteArray file_;
};

} // namespace kirano

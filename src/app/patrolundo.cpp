#include "app/patrolundo.h"
#include "patrol/patrollistmodel.h"

#include <utility>

namespace kirano {

PatrolStep::PatrolStep(const PatrolEditTarget &target, const QString &text, int selectedBefore,
                       int selectedAfter)
    : QUndoCommand(text), target_(target), selectedBefore_(selectedBefore),
      selectedAfter_(selectedAfter) {}

void PatrolStep::undo() {
    revert();
    target_.selectRow(selectedBefore_);
}

void PatrolStep::redo() {
    apply();
    target_.selectRow(selectedAfter_);
}

InsertEntryStep::InsertEntryStep(const PatrolEditTarget &target, int row, PatrolEntry entry,
                                 int selectedBefore, int selectedAfter)
    : PatrolStep(target, QStringLiteral(u"追加"), selectedBefore, selectedAfter), row_(row),
      entry_(std::move(entry)) {}

void InsertEntryStep::apply() {
    model().insertEntry(row_, std::exchange(entry_, PatrolEntry()));
}

void InsertEntryStep::revert() {
    entry_ = model().takeEntry(row_);
}

RemoveEntryStep::RemoveEntryStep(const PatrolEditTarget &target, int row, int selectedBefore)
    : PatrolStep(target, QStringLiteral(u"削除"), selectedBefore, -1), row_(row) {}

void RemoveEntryStep::apply() {
    entry_ = model().takeEntry(row_);
}

void RemoveEntryStep::revert() {
    model().insertEntry(row_, std::exchange(entry_, PatrolEntry()));
}

MoveEntryStep::MoveEntryStep(const PatrolEditTarget &target, const QString &text, int from, int to,
                             int selectedBefore, int selectedAfter)
    : PatrolStep(target, text, selectedBefore, selectedAfter), from_(from), to_(to) {}

void MoveEntryStep::apply() {
    model().moveEntry(from_, to_);
}

void MoveEntryStep::revert() {
    model().moveEntry(to_, from_);
}

ChangeDaysStep::ChangeDaysStep(const PatrolEditTarget &target, int row, QByteArray days,
                               int selectedBefore)
    : PatrolStep(target, QStringLiteral(u"曜日変更"), selectedBefore, selectedBefore), row_(row),
      days_(std::move(days)) {}

void ChangeDaysStep::swapDays() {
    QByteArray shown = model().entry(row_).days;
    model().setDays(row_, days_);
    days_ = std::move(shown);
}

ReplaceListStep::ReplaceListStep(const PatrolEditTarget &target, const QString &text,
                                 QList<PatrolEntry> entries, QByteArray file, int selectedBefore)
    : PatrolStep(target, text, selectedBefore, -1), entries_(std::move(entries)),
      file_(std::move(file)) {}

void ReplaceListStep::swapList() {
    model().swapEntries(entries_);
    QByteArray shown = target_.currentFile();
    target_.setCurrentFile(file_);
    file_ = std::move(shown);
}

} // namespace kirano

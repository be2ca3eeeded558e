#include "app/patrolundo.h"
#include "patrol/patrollistmodel.h"

#include <QAction>
#include <utility>

namespace kirano {

namespace {

// A byte array's heap block: its bytes, its header and the allocator's own.
constexpr qint64 kBlockOverhead = 48;

qint64 heldBytesOf(const QList<PatrolEntry> &entries) {
    qint64 bytes = entries.capacity() * qint64(sizeof(PatrolEntry));
    for (const PatrolEntry &entry : entries)
        bytes += heldBytes(entry) - qint64(sizeof(PatrolEntry));
    return bytes;
}

} // namespace

qint64 heldBytes(const PatrolEntry &entry) {
    qint64 bytes = sizeof(PatrolEntry);
    for (int f = 0; f < PatrolEntry::kFieldCount; ++f) {
        const QByteArray &field = entry.field(f);
        // A shared field costs its list nothing more; the fields of an entry
        // read from a file each have their own block.
        if (field.isDetached())
            bytes += field.capacity() + kBlockOverhead;
    }
    return bytes;
}

PatrolStep::PatrolStep(const PatrolEditTarget &target, const QString &text, int selectedBefore,
                       int selectedAfter)
    : target_(target), text_(text), selectedBefore_(selectedBefore), selectedAfter_(selectedAfter) {
}

void PatrolStep::undo() {
    revert();
    target_.selectRow(selectedBefore_);
    if (target_.showRow)
        target_.showRow(rowAfterRevert());
}

void PatrolStep::redo() {
    apply();
    target_.selectRow(selectedAfter_);
    if (target_.showRow)
        target_.showRow(rowAfterApply());
}

PatrolHistory::PatrolHistory(QObject *parent) : QObject(parent) {}

PatrolHistory::~PatrolHistory() = default;

void PatrolHistory::push(std::unique_ptr<PatrolStep> step) {
    const bool wasClean = isClean();
    while (canRedo()) {
        held_ -= steps_.back()->heldBytes();
        steps_.pop_back();
    }
    if (cleanIndex_ > index_)
        cleanIndex_ = -1; // the clean list was among the steps undone
    step->redo();
    held_ += step->heldBytes();
    steps_.push_back(std::move(step));
    ++index_;
    keepWithinBudget();
    afterChange(wasClean);
}

void PatrolHistory::undo() {
    if (!canUndo())
        return;
    const bool wasClean = isClean();
    PatrolStep &step = *steps_[--index_];
    held_ -= step.heldBytes();
    step.undo();
    held_ += step.heldBytes();
    afterChange(wasClean);
}

void PatrolHistory::redo() {
    if (!canRedo())
        return;
    const bool wasClean = isClean();
    PatrolStep &step = *steps_[index_++];
    held_ -= step.heldBytes();
    step.redo();
    held_ += step.heldBytes();
    afterChange(wasClean);
}

void PatrolHistory::clear() {
    const bool wasClean = isClean();
    steps_.clear();
    held_ = 0;
    index_ = 0;
    cleanIndex_ = wasClean ? 0 : -1;
    afterChange(wasClean);
}

void PatrolHistory::setClean() {
    const bool wasClean = isClean();
    cleanIndex_ = index_;
    afterChange(wasClean);
}

void PatrolHistory::setBudget(qint64 bytes) {
    budget_ = bytes;
    const bool wasClean = isClean();
    keepWithinBudget();
    afterChange(wasClean);
}

void PatrolHistory::keepWithinBudget() {
    // The oldest step goes first; the one step done last always stays.
    while (held_ > budget_ && steps_.size() > 1 && index_ > 1) {
        held_ -= steps_.front()->heldBytes();
        steps_.pop_front();
        --index_;
        cleanIndex_ = cleanIndex_ > 0 ? cleanIndex_ - 1 : -1;
    }
}

void PatrolHistory::afterChange(bool wasClean) {
    emit changed();
    if (wasClean != isClean())
        emit cleanChanged(isClean());
}

QAction *PatrolHistory::createUndoAction(QObject *parent) {
    auto *action = new QAction(QStringLiteral(u"元に戻す"), parent);
    action->setEnabled(canUndo());
    connect(action, &QAction::triggered, this, &PatrolHistory::undo);
    connect(this, &PatrolHistory::changed, action,
            [this, action] { action->setEnabled(canUndo()); });
    return action;
}

QAction *PatrolHistory::createRedoAction(QObject *parent) {
    auto *action = new QAction(QStringLiteral(u"やり直し"), parent);
    action->setEnabled(canRedo());
    connect(action, &QAction::triggered, this, &PatrolHistory::redo);
    connect(this, &PatrolHistory::changed, action,
            [this, action] { action->setEnabled(canRedo()); });
    return action;
}

InsertEntryStep::InsertEntryStep(const PatrolEditTarget &target, int row, PatrolEntry entry,
                                 int selectedBefore, int selectedAfter)
    : PatrolStep(target, QStringLiteral(u"追加"), selectedBefore, selectedAfter), row_(row),
      entry_(std::move(entry)) {}

qint64 InsertEntryStep::heldBytes() const {
    return sizeof(*this) + kirano::heldBytes(entry_) - qint64(sizeof(PatrolEntry));
}

void InsertEntryStep::apply() {
    model().insertEntry(row_, std::exchange(entry_, PatrolEntry()));
}

void InsertEntryStep::revert() {
    entry_ = model().takeEntry(row_);
}

InsertEntriesStep::InsertEntriesStep(const PatrolEditTarget &target, int row,
                                     QList<PatrolEntry> entries, int selectedBefore,
                                     int selectedAfter)
    : PatrolStep(target, QStringLiteral(u"貼り付け"), selectedBefore, selectedAfter), row_(row),
      count_(int(entries.size())), entries_(std::move(entries)) {}

qint64 InsertEntriesStep::heldBytes() const {
    return sizeof(*this) + heldBytesOf(entries_);
}

void InsertEntriesStep::apply() {
    model().insertEntries(row_, std::exchange(entries_, {}));
}

void InsertEntriesStep::revert() {
    entries_ = model().takeEntries(row_, count_);
}

ReplaceEntryStep::ReplaceEntryStep(const PatrolEditTarget &target, int row, PatrolEntry entry,
                                   int selected)
    : PatrolStep(target, QStringLiteral(u"編集"), selected, selected), row_(row),
      entry_(std::move(entry)) {}

qint64 ReplaceEntryStep::heldBytes() const {
    return sizeof(*this) + kirano::heldBytes(entry_) - qint64(sizeof(PatrolEntry));
}

void ReplaceEntryStep::swapEntry() {
    entry_ = model().replaceEntry(row_, std::move(entry_));
}

RemoveEntryStep::RemoveEntryStep(const PatrolEditTarget &target, int row, int selectedBefore)
    : PatrolStep(target, QStringLiteral(u"削除"), selectedBefore, -1), row_(row) {}

qint64 RemoveEntryStep::heldBytes() const {
    return sizeof(*this) + kirano::heldBytes(entry_) - qint64(sizeof(PatrolEntry));
}

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
      file_(std::move(file)),
      held_(sizeof(*this) + qMax(heldBytesOf(entries_), heldBytesOf(model().entries()))) {}

void ReplaceListStep::swapList() {
    model().swapEntries(entries_);
    QByteArray shown = target_.currentFile();
    target_.setCurrentFile(file_);
    file_ = std::move(shown);
}

} // namespace kirano

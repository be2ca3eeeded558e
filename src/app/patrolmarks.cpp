#include "app/patrolmarks.h"
#include "patrol/patrollistmodel.h"
#include "patrol/weekdays.h"
#include "rules/entrycheck.h"
#include "widgets/fonts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QStyle>
#include <QTimer>

namespace kirano {

namespace {

// A slice of checking between two looks at the event queue: well under the
// 50 ms a key or a click may wait.
constexpr qint64 kSliceMs = 8;
constexpr int kRowsPerLook = 32;
// Rows entering the list one by one are checked at once; a whole file's
// rows, in slices.
constexpr int kAtOnce = 16;
// A run of the autopilot changes many files in a row: they are looked at
// once it pauses.
constexpr int kSettleMs = 50;

} // namespace

PatrolMarks::PatrolMarks(PatrolListModel *model, QObject *parent)
    : QObject(parent), model_(model), slice_(new QTimer(this)), settle_(new QTimer(this)),
      refreshing_(new QTimer(this)) {
    model_->setMarkWords([this](const PatrolEntry &entry, int mark) {
        return checker_ ? checker_->words(entry, quint32(mark)).join(u'\n') : QString();
    });
    slice_->setSingleShot(true);
    slice_->setInterval(0);
    connect(slice_, &QTimer::timeout, this, &PatrolMarks::checkSlice);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &PatrolMarks::takeChangedFolders);
    refreshing_->setSingleShot(true);
    refreshing_->setInterval(0);
    connect(refreshing_, &QTimer::timeout, this, &PatrolMarks::refreshSlice);

    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int row = first; row <= last; ++row)
                    rows_.insert(row, Row());
                pending_ += last - first + 1;
                cursor_ = qMin(cursor_, first);
                if (checker_ && checking_ && last - first < kAtOnce) {
                    for (int row = first; row <= last; ++row)
                        checkRow(row);
                }
                checkSlice();
            });
    connect(model_, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                for (int row = first; row <= last; ++row)
                    pending_ -= rows_.at(row).pending ? 1 : 0;
                rows_.remove(first, last - first + 1);
                cursor_ = qMin(cursor_, first);
            });
    connect(model_, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &, int from, int, const QModelIndex &, int before) {
                const int to = before > from ? before - 1 : before;
                rows_.move(from, to);
                cursor_ = qMin(cursor_, qMin(from, to));
            });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        rows_ = QList<Row>(model_->size());
        pending_ = int(rows_.size());
        cursor_ = 0;
        checkSlice();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &top, const QModelIndex &bottom, const QList<int> &roles) {
                // A new days text; the marks' own changes come with their roles.
                if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                    return;
                for (int row = top.row(); row <= bottom.row(); ++row) {
                    setPending(row);
                    if (checker_ && checking_)
                        checkRow(row);
                }
                showChangedMarks();
            });
}

PatrolMarks::~PatrolMarks() = default;

void PatrolMarks::setFolders(const SettingsFolders &folders) {
    checker_ = std::make_unique<autopilot::EntryChecker>(folders);
    refreshed_ = -1; // the new checker knows nothing yet
    // The folders watched so far may mean nothing now.
    delete watcher_;
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &PatrolMarks::folderChanged);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &PatrolMarks::folderChanged);
    watched_.clear();
    pathsWatched_ = -1;
    changedFolders_.clear();
    for (int row = 0; row < rows_.size(); ++row)
        setPending(row);
    checkSlice();
}

void PatrolMarks::refresh() {
    if (!checker_)
        return;
    refreshed_ = 0; // a refresh under way starts over
    refreshSlice();
}

void PatrolMarks::refreshSlice() {
    if (!checker_ || refreshed_ < 0)
        return;
    QList<int> changed;
    refreshed_ = checker_->refreshFrom(refreshed_, QDeadlineTimer(kSliceMs), &changed);
    if (refreshed_ < checker_->pathCount())
        refreshing_->start();
    else
        refreshed_ = -1;
    recheckConsulting(changed);
}

void PatrolMarks::setPending(int row) {
    Row &r = rows_[row];
    if (!r.pending) {
        r.pending = true;
        ++pending_;
    }
    cursor_ = qMin(cursor_, row);
}

void PatrolMarks::checkRow(int row) {
    Row &r = rows_[row];
    const autopilot::Findings found = checker_->check(model_->entry(row));
    r.consulted = found.consulted;
    r.consultedCount = quint8(found.consultedCount);
    if (model_->storeMark(row, int(found.problems))) {
        changedFirst_ = qMin(changedFirst_, row);
        changedLast_ = qMax(changedLast_, row);
    }
    if (r.pending) {
        r.pending = false;
        --pending_;
    }
}

void PatrolMarks::showChangedMarks() {
    if (changedLast_ < 0)
        return;
    // Rows removed since may have taken the last ones with them.
    const int last = qMin(changedLast_, int(rows_.size()) - 1);
    if (changedFirst_ <= last)
        model_->marksChanged(changedFirst_, last);
    changedFirst_ = std::numeric_limits<int>::max();
    changedLast_ = -1;
}

void PatrolMarks::setChecking(bool on) {
    checking_ = on;
    checkSlice();
}

void PatrolMarks::checkSlice() {
    if (!checker_ || !checking_)
        return;
    QElapsedTimer slice;
    slice.start();
    // The clock is read every few rows: reading it costs as much as a check.
    for (int checked = 0;
         pending_ > 0 && (checked % kRowsPerLook != 0 || slice.elapsed() < kSliceMs); ++checked) {
        while (!rows_.at(cursor_).pending)
            ++cursor_;
        checkRow(cursor_);
    }
    showChangedMarks();
    if (pending_ > 0) {
        slice_->start();
        return;
    }
    watchNewFolders();
    if (refreshed_ < 0)
        emit settled();
}

void PatrolMarks::recheckConsulting(const QList<int> &changed) {
    if (!changed.isEmpty()) {
        const QSet<int> paths(changed.cbegin(), changed.cend());
        for (int row = 0; row < rows_.size(); ++row) {
            const Row &r = rows_.at(row);
            for (int i = 0; i < r.consultedCount; ++i) {
                if (paths.contains(r.consulted[i])) {
                    setPending(row);
                    break;
                }
            }
        }
    }
    pathsWatched_ = -1; // a missing path's folder may have appeared: watch anew
    checkSlice();
}

void PatrolMarks::watchNewFolders() {
    if (!watcher_ || checker_->pathCount() == pathsWatched_)
        return;
    pathsWatched_ = checker_->pathCount();
    QStringList added;
    for (const QString &path : checker_->watchPaths()) {
        if (!watched_.contains(path)) {
            watched_.insert(path);
            added << path;
        }
    }
    if (!added.isEmpty())
        watcher_->addPaths(added);
}

void PatrolMarks::folderChanged(const QString &folder) {
    changedFolders_.insert(folder);
    if (!settle_->isActive())
        settle_->start();
}

void PatrolMarks::takeChangedFolders() {
    if (!checker_)
        return;
    QList<int> changed;
    for (const QString &path : std::as_const(changedFolders_)) {
        changed << checker_->refresh(path);
        // A file replaced by another is no longer the one watched: it is
        // watched anew below, when it is there.
        if (watcher_->files().contains(path))
            watcher_->removePath(path);
        if (!watcher_->directories().contains(path))
            watched_.remove(path);
    }
    changedFolders_.clear();
    recheckConsulting(changed);
}

int PatrolMarks::nextMarked(int from, int step) const {
    const int n = model_->size();
    const int start = from >= 0 ? from : (step > 0 ? -1 : n);
    for (int k = 1; k <= n; ++k) {
        const int row = ((start + step * k) % n + n) % n;
        if (model_->mark(row) != 0)
            return row;
    }
    return -1;
}

void MarkDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (previewDay_ >= 0 &&
        !runsOn(index.data(PatrolListModel::DaysRole).toByteArray(), previewDay_)) {
        // Not run that night: drawn as a disabled row is, selected or not.
        option->state &= ~QStyle::State_Enabled;
        option->palette.setCurrentColorGroup(QPalette::Disabled);
    }
    if (!index.data(PatrolListModel::MarkRole).toBool())
        return;
    const QStyle *style = option->widget ? option->widget->style() : QApplication::style();
    option->icon = style->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, option->widget);
    option->features |= QStyleOptionViewItem::HasDecoration;
    // The sign fits the row the font asks for.
    const int side = qMin(style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, option->widget),
                          rowHeight(option->font) - 2);
    option->decorationSize = QSize(side, side);
}

QSize MarkDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(rowHeight(option.font));
    return size;
}

} // namespace kirano

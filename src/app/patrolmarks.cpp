#include "app/patrolmarks.h"
#include "app/folderwatcher.h"
#include "patrol/patrollistmodel.h"
#include "patrol/weekdays.h"
#include "rules/entrycheck.h"
#include "widgets/fonts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QStyle>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>

namespace kirano {

namespace {

// A slice of checking between two looks at the event queue: well under the
// 50 ms a key or a click may wait.
constexpr qint64 kSliceMs = 8;
// A row first checked may ask the file system a few things: the clock is
// read every few rows.
constexpr int kRowsPerLook = 8;
// Rows entering the list one by one are checked at once; a whole file's
// rows, in slices.
constexpr int kAtOnce = 16;
// A run of the autopilot changes many files in a row: they are looked at
// once it pauses.
constexpr int kSettleMs = 50;
// Folders handed to the watcher between two looks at the clock.
constexpr int kWatchesPerLook = 64;
// The folders that could not be watched are looked at again this long after
// the last look at them ended.
constexpr int kPollMs = 1000;

const QString kWatchLimitNote =
    QStringLiteral(u"監視できるファイル数の上限に達しました: 表示が古い場合があります");

} // namespace

PatrolMarks::PatrolMarks(PatrolListModel *model, QObject *parent)
    : QObject(parent), model_(model), slice_(new QTimer(this)), settle_(new QTimer(this)),
      looking_(new QTimer(this)), watching_(new QTimer(this)), polling_(new QTimer(this)) {
    for (QTimer *timer : {slice_, settle_, looking_, watching_, polling_})
        timer->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    polling_->setInterval(kPollMs);
    connect(slice_, &QTimer::timeout, this, &PatrolMarks::checkSlice);
    connect(settle_, &QTimer::timeout, this, &PatrolMarks::lookSlice);
    connect(looking_, &QTimer::timeout, this, &PatrolMarks::lookSlice);
    connect(watching_, &QTimer::timeout, this, &PatrolMarks::watchSlice);
    connect(polling_, &QTimer::timeout, this, [this] {
        if (!checker_)
            return;
        checker_->noteRefused();
        lookSlice();
    });

    connect(model_, &PatrolListModel::rowsAwaitCheck, this, &PatrolMarks::rowsEntered);
    // Every row is new: what the old ones consulted says nothing.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { consultersKnown_ = false; });
}

PatrolMarks::~PatrolMarks() = default;

void PatrolMarks::rowsEntered(int first, int last) {
    if (checker_ && checking_ && last - first < kAtOnce) {
        for (int row = first; row <= last; ++row)
            checkRow(row);
    }
    checkSlice();
}

void PatrolMarks::setFolders(const SettingsFolders &folders) {
    if (checker_ && folders == folders_) {
        // The settings dialog closed as it was: only what changed on disk
        // is checked again.
        refresh();
        return;
    }
    folders_ = folders;
    // Letting go of tens of thousands of paths takes longer than the window
    // may wait: another thread does it.
    if (checker_)
        QThreadPool::globalInstance()->start([old = checker_.release()] { delete old; });
    checker_ = std::make_unique<rules::EntryChecker>(folders);
    // The folders watched so far may mean nothing now, nor what the rows
    // consulted.
    newWatcher();
    consultersKnown_ = false;
    said_.clear();
    looking_->stop();
    watching_->stop();
    polling_->stop();
    lookingDone_ = true;
    model_->setAllPending();
    checkSlice();
}

void PatrolMarks::newWatcher() {
    delete watcher_;
    watcher_ =
        new FolderWatcher([this](const QString &folder, const QString &name,
                                 FolderWatcher::What what) { watched(folder, name, int(what)); },
                          this);
    watcher_->setLimit(watchLimit_);
}

void PatrolMarks::setWatchLimit(qsizetype limit) {
    watchLimit_ = limit;
    if (!checker_)
        return;
    // Watched anew under the limit: every folder is handed out again.
    checker_.reset();
    setFolders(SettingsFolders(folders_));
}

void PatrolMarks::watched(const QString &folder, const QString &name, int what) {
    if (!checker_)
        return;
    switch (FolderWatcher::What(what)) {
    case FolderWatcher::What::Entry:
    case FolderWatcher::What::Itself:
        // Most changes in a watched folder concern no path of the rows.
        if (!checker_->noteChange(folder, name))
            return;
        break;
    case FolderWatcher::What::Contents:
        checker_->noteContents(folder);
        break;
    case FolderWatcher::What::Everything:
        checker_->noteAll();
        break;
    case FolderWatcher::What::Lost:
        checker_->unwatched(folder, false);
        break;
    }
    lookingDone_ = false;
    if (!settle_->isActive())
        settle_->start();
}

void PatrolMarks::refresh() {
    if (!checker_)
        return;
    checker_->noteAll();
    lookSlice();
}

void PatrolMarks::lookSlice() {
    if (!checker_)
        return;
    settle_->stop();
    QList<int> changed;
    lookingDone_ = checker_->lookAgain(QDeadlineTimer(kSliceMs), &changed);
    if (!lookingDone_)
        looking_->start();
    recheckConsulting(changed);
}

void PatrolMarks::consultedBy(int id, quint32 key) {
    if (size_t(id) >= consultersOf_.size())
        consultersOf_.resize(std::max(size_t(id) + 1, 2 * consultersOf_.size()), -1);
    consulters_.push_back({key, consultersOf_[size_t(id)]});
    consultersOf_[size_t(id)] = int(consulters_.size() - 1);
}

void PatrolMarks::rebuildConsulters() {
    std::fill(consultersOf_.begin(), consultersOf_.end(), -1);
    consulters_.clear();
    consulters_.reserve(size_t(model_->consultedTotal()));
    consultersKnown_ = true;
    for (int row = 0; row < model_->size(); ++row) {
        const RowMark &mark = model_->rowMark(row);
        for (int i = 0; i < mark.consultedCount; ++i)
            consultedBy(mark.consulted[size_t(i)], mark.key);
    }
}

void PatrolMarks::checkRow(int row) {
    const RowMark &mark = model_->rowMark(row);
    const rules::Findings found = checker_->check(model_->entry(row));
    // Only what it did not consult before is new to the index, once the
    // index is made.
    for (int i = 0; consultersKnown_ && i < found.consultedCount; ++i) {
        if (!mark.consults(found.consulted[size_t(i)]))
            consultedBy(found.consulted[size_t(i)], mark.key);
    }
    model_->storeMark(row, found.problems, found.consulted, found.consultedCount);
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
    for (int checked = 0; checked % kRowsPerLook != 0 || slice.elapsed() < kSliceMs; ++checked) {
        const int row = model_->firstPending();
        if (row < 0)
            break;
        checkRow(row);
    }
    model_->showMarks();
    // Entries left over from rows rechecked or gone: past twice what the
    // rows consult, they are dropped.
    if (consultersKnown_ && qsizetype(consulters_.size()) > 2 * model_->consultedTotal() + 4096)
        rebuildConsulters();
    if (model_->pendingCount() > 0) {
        slice_->start();
        return;
    }
    // A list too large to read is named once, where no row shows it.
    for (const QString &line : checker_->unreadableFiles()) {
        if (!said_.contains(line)) {
            said_.append(line);
            emit note(line);
        }
    }
    watchSlice();
}

void PatrolMarks::recheckConsulting(const QList<int> &changed) {
    // Made when first needed: a list opened is checked without it.
    if (!changed.isEmpty() && !consultersKnown_)
        rebuildConsulters();
    for (int id : changed) {
        const int latest = size_t(id) < consultersOf_.size() ? consultersOf_[size_t(id)] : -1;
        for (int at = latest; at >= 0; at = consulters_[size_t(at)].next) {
            const int row = model_->rowOfKey(consulters_[size_t(at)].key);
            if (row >= 0 && !model_->rowMark(row).pending && model_->rowMark(row).consults(id))
                model_->setPending(row);
        }
    }
    checkSlice();
}

void PatrolMarks::watchSlice() {
    if (!checker_ || !watcher_ || model_->pendingCount() > 0)
        return;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more && slice.elapsed() < kSliceMs) {
        const QList<rules::EntryChecker::WatchRequest> requests =
            checker_->foldersToWatch(kWatchesPerLook);
        more = !requests.isEmpty();
        for (const rules::EntryChecker::WatchRequest &request : requests) {
            switch (watcher_->add(request.folder, request.files)) {
            case FolderWatcher::Added::Watched:
                break;
            case FolderWatcher::Added::Missing: // gone since it was looked at
                checker_->unwatched(request.folder, false);
                lookingDone_ = false;
                if (!settle_->isActive())
                    settle_->start();
                break;
            case FolderWatcher::Added::LimitReached:
                if (!limitSaid_) {
                    limitSaid_ = true;
                    emit note(kWatchLimitNote);
                }
                Q_FALLTHROUGH();
            case FolderWatcher::Added::Unwatchable:
                checker_->unwatched(request.folder, true);
                break;
            }
        }
    }
    if (more)
        watching_->start();
    if (checker_->anyRefused() && !polling_->isActive() && lookingDone_)
        polling_->start();
    maybeSettled();
}

bool PatrolMarks::isSettled() const {
    return model_->pendingCount() == 0 && lookingDone_ && !settle_->isActive() &&
           !watching_->isActive();
}

void PatrolMarks::maybeSettled() {
    if (isSettled())
        emit settled();
}

int PatrolMarks::nextMarked(int from, int step) const {
    const int n = model_->size();
    const int start = from >= 0 ? from : (step > 0 ? -1 : n);
    for (int k = 1; k <= n; ++k) {
        const int row = ((start + step * k) % n + n) % n;
        if (model_->rowMark(row).problems != 0)
            return row;
    }
    return -1;
}

QString PatrolMarks::words(int row) const {
    const quint32 problems = model_->rowMark(row).problems;
    if (problems == 0 || !checker_)
        return QString();
    return checker_->words(model_->entry(row), problems).join(u'\n');
}

MarkedPatrolList::MarkedPatrolList(QObject *parent)
    : PatrolListModel(parent), marks_(new PatrolMarks(this, this)) {}

QVariant MarkedPatrolList::data(const QModelIndex &index, int role) const {
    if ((role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) && index.isValid() &&
        index.row() < size()) {
        const QString problems = marks_->words(index.row());
        return problems.isEmpty() ? QVariant() : QVariant(problems);
    }
    return PatrolListModel::data(index, role);
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

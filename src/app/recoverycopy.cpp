#include "app/recoverycopy.h"
#include "app/patrollistpane.h"
#include "app/patrolundo.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "store/settingsfile.h"
#include "text/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace kirano {

namespace {

// The first line of a copy; the second names the list's file; the list's
// own lines follow, as its file holds them.
const QByteArray kFirstLine = "Kirano recovery copy";
const QString kCopySuffix = QStringLiteral(".txt");
const QString kLockSuffix = QStringLiteral(".lock");
// A change is written this long after it, whatever follows: a Kirano
// killed at any moment loses less than a second of edits.
constexpr int kDelayMs = 250;
// The copy may hold patio passwords: it is the user's alone.
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

text::Result<> writeCopy(const QString &path, const QByteArray &listFile,
                         const QList<PatrolEntry> &entries) {
    QList<QByteArray> lines = patrolListLines(entries);
    lines.prepend(listFile);
    lines.prepend(kFirstLine);
    return text::writeLines(path, lines, kOwnerOnly);
}

std::optional<RecoveryCopy::Found> readCopy(const QString &path) {
    const text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return std::nullopt;
    const qsizetype first = content->indexOf("\r\n");
    const qsizetype second = first < 0 ? -1 : content->indexOf("\r\n", first + 2);
    if (second < 0 || content->first(first) != kFirstLine)
        return std::nullopt;
    std::optional<QList<PatrolEntry>> entries = openablePatrolList(content->sliced(second + 2));
    if (!entries)
        return std::nullopt;
    return RecoveryCopy::Found{path, content->sliced(first + 2, second - first - 2),
                               QFileInfo(path).lastModified(), std::move(*entries)};
}

} // namespace

QString RecoveryCopy::defaultFolder() {
    return userDataFolder() + QStringLiteral("recovery/");
}

RecoveryCopy::RecoveryCopy(PatrolListPane *pane, const QString &folder, QObject *parent)
    : QObject(parent), pane_(pane), folder_(folder), delay_(new QTimer(this)) {
    // Named after this process and when it started, so that no copy left by
    // an earlier Kirano of the same process number is written over.
    path_ = folder_ +
            QStringLiteral("%1-%2")
                .arg(QCoreApplication::applicationPid())
                .arg(QDateTime::currentMSecsSinceEpoch()) +
            kCopySuffix;
    delay_->setSingleShot(true);
    delay_->setInterval(kDelayMs);
    connect(delay_, &QTimer::timeout, this, &RecoveryCopy::startWriting);
    connect(pane_->history(), &PatrolHistory::changed, this, &RecoveryCopy::listChanged);
}

RecoveryCopy::~RecoveryCopy() {
    if (writing_) {
        writing_->wait();
        delete writing_;
    }
    if (!pane_->hasUnsavedChanges())
        removeCopy();
}

bool RecoveryCopy::takeLock() {
    if (lock_)
        return true;
    if (!QDir().mkpath(folder_))
        return false;
    QFile::setPermissions(folder_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto lock = std::make_unique<QLockFile>(path_.chopped(kCopySuffix.size()) + kLockSuffix);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    lock_ = std::move(lock);
    return true;
}

void RecoveryCopy::listChanged() {
    if (writing_) {
        again_ = true;
        return;
    }
    if (!pane_->hasUnsavedChanges()) {
        delay_->stop();
        removeCopy();
        return;
    }
    if (!delay_->isActive())
        delay_->start();
}

void RecoveryCopy::startWriting() {
    if (!pane_->hasUnsavedChanges())
        return;
    if (!takeLock()) {
        emit writeFailed(text::cannotCreateText(path_));
        return;
    }
    // The list is shared with the writer, not copied: an edit meanwhile
    // makes the window's list its own again.
    writing_ = QThread::create(
        [this, path = path_, file = pane_->currentFile(), entries = pane_->model()->entries()] {
            const text::Result<> written = writeCopy(path, file, entries);
            failure_ = written ? QString() : written.error().text();
        });
    connect(writing_, &QThread::finished, this, &RecoveryCopy::writingEnded);
    writing_->start();
}

void RecoveryCopy::writingEnded() {
    writing_->wait();
    delete writing_;
    writing_ = nullptr;
    if (!failure_.isEmpty())
        emit writeFailed(failure_);
    if (std::exchange(again_, false))
        listChanged();
}

void RecoveryCopy::writeNow() {
    delay_->stop();
    // The copy under way ends first; its end is handled as any other.
    if (writing_)
        writing_->wait();
    if (!pane_->hasUnsavedChanges()) {
        removeCopy();
        return;
    }
    if (!takeLock())
        return;
    if (const text::Result<> written =
            writeCopy(path_, pane_->currentFile(), pane_->model()->entries());
        !written)
        emit writeFailed(written.error().text());
}

void RecoveryCopy::removeCopy() {
    if (lock_)
        text::removeFile(path_);
}

QList<RecoveryCopy::Found> RecoveryCopy::leftBehind(const QString &folder) {
    QList<Found> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({u'*' + kCopySuffix}, QDir::Files)) {
        // A copy whose lock its Kirano still holds is that Kirano's.
        QLockFile lock(dir.filePath(name.chopped(kCopySuffix.size()) + kLockSuffix));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        if (std::optional<Found> copy = readCopy(dir.filePath(name)))
            found << std::move(*copy);
    }
    std::sort(found.begin(), found.end(),
              [](const Found &a, const Found &b) { return a.written > b.written; });
    return found;
}

void RecoveryCopy::remove(const Found &copy) {
    text::removeFile(copy.path);
}

} // namespace kirano

#include "app/folderwatcher.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>
#include <QThreadPool>
#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>
#else
#include <QFileSystemWatcher>
#endif

namespace kirano {

#ifdef Q_OS_LINUX

namespace {

// What comes, goes or is renamed in a folder, and the folder's own end.
constexpr quint32 kEntries = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                             IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// A file rewritten in place: while it is written, and when it is closed.
constexpr quint32 kFiles = IN_MODIFY | IN_CLOSE_WRITE;
// A burst of changes is read a part at a time, so that the window answers
// in between; the notifier comes back for the rest.
constexpr int kReadsAtOnce = 4;

} // namespace

FolderWatcher::FolderWatcher(Handler handler, QObject *parent)
    : QObject(parent), handler_(std::move(handler)) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return; // every folder is then refused, and looked at in turns
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
}

FolderWatcher::~FolderWatcher() {
    if (fd_ < 0)
        return;
    // Closing lets go of every watch, which for tens of thousands takes
    // longer than the window may wait: another thread closes it, once
    // nothing here listens to it any more.
    delete notifier_;
    QThreadPool::globalInstance()->start(
        [fd = fd_, folders = std::move(folders_), watches = std::move(watches_)] { ::close(fd); });
}

qsizetype FolderWatcher::count() const {
    return folders_.size();
}

FolderWatcher::Added FolderWatcher::add(const QString &folder, bool files) {
    if (fd_ < 0)
        return Added::LimitReached;
    const auto held = watches_.constFind(folder);
    if (limit_ >= 0 && held == watches_.constEnd() && folders_.size() >= limit_)
        return Added::LimitReached;
    const int watch = inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                                        kEntries | (files ? kFiles : 0));
    if (watch < 0) {
        if (errno == ENOSPC)
            return Added::LimitReached;
        return errno == ENOENT || errno == ENOTDIR ? Added::Missing : Added::Unwatchable;
    }
    if (held != watches_.constEnd()) {
        if (*held == watch)
            return Added::Watched;
        // The path names another folder now: the old one's watch is not its.
        forget(folder, *held);
    }
    watches_.insert(folder, watch);
    QStringList &paths = folders_[watch];
    if (!paths.contains(folder))
        paths.append(folder);
    return Added::Watched;
}

void FolderWatcher::forget(const QString &folder, int watch) {
    watches_.remove(folder);
    const auto paths = folders_.find(watch);
    if (paths == folders_.end())
        return;
    paths->removeOne(folder);
    if (paths->isEmpty()) {
        folders_.erase(paths);
        inotify_rm_watch(fd_, watch);
    }
}

void FolderWatcher::readEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    for (int reads = 0; reads < kReadsAtOnce; ++reads) {
        const ssize_t size = ::read(fd_, buffer, sizeof buffer);
        if (size <= 0)
            return;
        for (ssize_t at = 0; at < size;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                handler_(QString(), QString(), What::Everything);
                continue;
            }
            const QStringList paths = folders_.value(event->wd);
            if (event->mask & IN_IGNORED) {
                // The folder was removed, or moved away and let go below.
                folders_.remove(event->wd);
                for (const QString &path : paths) {
                    if (watches_.value(path, -1) == event->wd)
                        watches_.remove(path);
                    handler_(path, QString(), What::Lost);
                }
                continue;
            }
            if (event->mask & IN_MOVE_SELF)
                inotify_rm_watch(fd_, event->wd); // it watches another place now
            const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
            for (const QString &path : paths)
                handler_(path, name, name.isEmpty() ? What::Itself : What::Entry);
        }
    }
}

#else

FolderWatcher::FolderWatcher(Handler handler, QObject *parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), handler_(std::move(handler)) {
    // This watcher does not say which entry changed; its list of paths is
    // searched on every addition, so it holds a few thousand folders at
    // most, and the marks look at the rest in turns.
    limit_ = 4096;
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString &folder) { handler_(folder, QString(), What::Contents); });
}

FolderWatcher::~FolderWatcher() = default;

qsizetype FolderWatcher::count() const {
    return watcher_->directories().size();
}

FolderWatcher::Added FolderWatcher::add(const QString &folder, bool) {
    if (!QFileInfo(folder).isDir())
        return Added::Missing;
    if (limit_ >= 0 && count() >= limit_)
        return Added::LimitReached;
    return watcher_->addPath(folder) || watcher_->directories().contains(folder)
               ? Added::Watched
               : Added::Unwatchable;
}

#endif

} // namespace kirano

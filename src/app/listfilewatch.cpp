#include "app/listfilewatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace kirano {

ListFileWatch::ListFileWatch(QObject *parent) : QObject(parent) {}

ListFileWatch::State ListFileWatch::stateOf(const QString &path) {
    const QFileInfo info(path);
    State state;
    state.exists = info.isFile();
    if (state.exists) {
        state.size = info.size();
        state.modified = info.lastModified();
        state.metadataChanged = info.metadataChangeTime();
    }
    return state;
}

void ListFileWatch::remember(const QString &path) {
    forget();
    path_ = path;
    state_ = stateOf(path);
    // Another program replaces the file whole, as Kirano does: its folder
    // hears of that, the file itself of a change in place.
    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(QFileInfo(path).absolutePath());
    if (state_.exists)
        watcher_->addPath(path);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &ListFileWatch::look);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &ListFileWatch::look);
}

void ListFileWatch::forget() {
    delete watcher_;
    watcher_ = nullptr;
    path_.clear();
    state_ = State();
    told_ = false;
}

bool ListFileWatch::changedElsewhere(const QString &path) const {
    if (path_.isEmpty() || path != path_)
        return false;
    // A file that is gone is written again without a question, as after
    // the file command "削除".
    const State now = stateOf(path);
    return now.exists && !(now == state_);
}

void ListFileWatch::look() {
    if (!watcher_)
        return;
    if (QFileInfo(path_).isFile() && !watcher_->files().contains(path_))
        watcher_->addPath(path_); // a file replaced whole is a new file to watch
    if (!told_ && changedElsewhere(path_)) {
        told_ = true;
        emit changed(path_);
    }
}

} // namespace kirano

#include "app/recentfiles.h"
#include "store/settingsfile.h"
#include "text/files.h"
#include "text/lines.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <utility>

namespace kirano {

namespace {

// The file's paths, newest first, as read.
QList<QByteArray> readPaths(const QString &path) {
    const text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return {};
    QList<QByteArray> paths;
    text::LineCursor cursor(*content);
    QByteArray line;
    while (paths.size() < RecentFiles::kKept && cursor.next(line)) {
        if (!line.isEmpty() && !paths.contains(line))
            paths.append(line);
    }
    return paths;
}

// The paths with those added (oldest first) put first.
QList<QByteArray> withAdded(QList<QByteArray> paths, const QList<QByteArray> &added) {
    for (const QByteArray &path : added) {
        paths.removeAll(path);
        paths.prepend(path);
    }
    while (paths.size() > RecentFiles::kKept)
        paths.removeLast();
    return paths;
}

} // namespace

QString RecentFiles::defaultPath() {
    return userDataFolder() + QStringLiteral("recent.txt");
}

RecentFiles::RecentFiles(QString path, QObject *parent) : QObject(parent), path_(std::move(path)) {}

RecentFiles::~RecentFiles() {
    if (writer_) {
        writer_->wait();
        delete writer_;
    }
}

QList<QByteArray> RecentFiles::paths() const {
    return withAdded(readPaths(path_), writing_ + waiting_);
}

void RecentFiles::add(const QByteArray &path) {
    waiting_.append(path);
    if (!writer_)
        startWriting();
}

void RecentFiles::startWriting() {
    writing_ = std::exchange(waiting_, {});
    // The file is read again as it is written, so that another Kirano's
    // lists stay in it.
    writer_ = QThread::create([this, path = path_, added = writing_] {
        const QString folder = QFileInfo(path).absolutePath();
        // The folder and the file are the user's alone: they name the
        // user's files.
        if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        const text::Result<> written =
            text::writeLines(path, withAdded(readPaths(path), added),
                             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        failure_ = written ? QString() : written.error().text();
    });
    connect(writer_, &QThread::finished, this, [this] {
        writer_->wait();
        delete writer_;
        writer_ = nullptr;
        writing_.clear();
        if (!failure_.isEmpty())
            emit writeFailed(failure_);
        if (!waiting_.isEmpty())
            startWriting();
    });
    writer_->start();
}

} // namespace kirano

#include "text/files.h"
#include "text/lines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kirano::text {

namespace {

// Qt reports the failure, errno says why; a failure that left no errno
// (a short write) still needs a number to show.
int lastErrno() {
    return errno != 0 ? errno : EIO;
}

} // namespace

QString cannotCreateText(const QString &path) {
    return QStringLiteral(u"ﾌｧｲﾙ %1 を作成できません").arg(path);
}

QString cannotDeleteText(const QString &path, const IoError &error) {
    return QStringLiteral(u"ﾌｧｲﾙ %1 を削除できません\r\n%2").arg(path, error.text());
}

namespace {

// Opens a regular file for reading, or fails without waiting: a FIFO put in
// its place after the check would otherwise block the open until a writer
// comes.
bool openRegular(QFile &file, const QString &path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = ENODEV;
        return false;
    }
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#endif
}

} // namespace

Result<QByteArray> readFile(const QString &path) {
    // Only regular files are read: a FIFO would wait for ever for a writer,
    // a device never ends. Neither is opened.
    const QFileInfo info(path);
    if (!info.isFile())
        return IoError(info.isDir() ? EISDIR : info.exists() ? ENODEV : ENOENT);
    QFile file;
    errno = 0;
    if (!openRegular(file, path))
        return IoError(lastErrno());
    errno = 0;
    try {
        QByteArray content = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return IoError(lastErrno());
        return content;
    } catch (const std::bad_alloc &) {
        // A file larger than the memory left is a file that cannot be read.
        return IoError(ENOMEM);
    }
}

Result<> writeFile(const QString &path, const QByteArray &content,
                   std::optional<QFileDevice::Permissions> newFilePermissions) {
    const bool isNew = !QFileInfo::exists(path);
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return IoError(lastErrno());
    if (isNew && newFilePermissions)
        file.setPermissions(*newFilePermissions);
    errno = 0;
    // A buffered write reports success for bytes that never reach the disk;
    // the flush is where a full disk or a size limit shows.
    if (file.write(content) != content.size() || !file.flush()) {
        IoError failure(lastErrno());
        file.cancelWriting();
        return failure;
    }
    errno = 0;
    if (!file.commit())
        return IoError(lastErrno());
    return {};
}

Result<> writeLines(const QString &path, const QList<QByteArray> &lines,
                    std::optional<QFileDevice::Permissions> newFilePermissions) {
    return writeFile(path, joinCrLf(lines), newFilePermissions);
}

Result<> appendFile(const QString &path, const QByteArray &content) {
    // Unbuffered, so that a failed write leaves nothing waiting in a buffer
    // that the cut back to the old length would first try to write again.
    constexpr QIODevice::OpenMode kAppend =
        QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    QFile file;
    errno = 0;
#ifdef Q_OS_UNIX
    // As for reading: a FIFO in the file's place must not block the open,
    // and only a regular file is written to.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return IoError(lastErrno());
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return IoError(ENODEV);
    }
    if (!file.open(fd, kAppend, QFileDevice::AutoCloseHandle))
        return IoError(lastErrno());
#else
    file.setFileName(path);
    if (!file.open(kAppend))
        return IoError(lastErrno());
#endif
    const qint64 before = file.size();
    errno = 0;
    if (file.write(content) != content.size() || !file.flush()) {
        IoError failure(lastErrno());
        file.resize(before);
        return failure;
    }
    return {};
}

namespace {

// The file holds bytes and the last is no line end: what comes next would
// join its last line.
bool endsMidLine(const QString &path) {
    QFile file;
    if (!QFileInfo(path).isFile() || !openRegular(file, path) || file.size() == 0)
        return false;
    return file.seek(file.size() - 1) && file.read(1) != "\n";
}

} // namespace

Result<> appendLines(const QString &path, const QList<QByteArray> &lines) {
    QByteArray content = joinCrLf(lines);
    if (endsMidLine(path))
        content.prepend("\r\n");
    return appendFile(path, content);
}

Result<> removeFile(const QString &path) {
#ifdef Q_OS_UNIX
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT || errno == ENOTDIR)
        return {};
    return IoError(lastErrno());
#else
    QFile file(path);
    if (file.remove() || !file.exists())
        return {};
    return IoError(EACCES);
#endif
}

bool fileExists(const QString &path) {
    QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace kirano::text

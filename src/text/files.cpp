#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <csignal>
#include <new>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

qint64 largestReadable() {
    // Half the machine's memory: what is read whole is held whole, and its
    // rows again beside it.
    static const qint64 most = [] {
#ifdef Q_OS_UNIX
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long size = ::sysconf(_SC_PAGE_SIZE);
        if (pages > 0 && size > 0)
            return qint64(pages) * size / 2;
#endif
        return qint64(1) << 31;
    }();
    return most;
}

QString cannotReadText(const QString &path, const IoError &error) {
    return QStringLiteral(u"%1 を読めません: %2").arg(path, error.text());
}

namespace {

// Why a file of `size` bytes is not read.
IoError tooLarge(qint64 size) {
    return IoError(QStringLiteral(u"大きすぎます (%1 バイト)").arg(size), EFBIG);
}

// Why a path that is no regular file cannot be read, without opening it.
std::optional<IoError> notReadable(const QFileInfo &info) {
    if (info.isFile())
        return std::nullopt;
    return IoError(info.isDir() ? EISDIR : info.exists() ? ENODEV : ENOENT);
}

} // namespace

Result<QByteArray> readFile(const QString &path, qint64 most) {
    // Only regular files are read: a FIFO would wait for ever for a writer,
    // a device never ends. Neither is opened.
    if (std::optional<IoError> why = notReadable(QFileInfo(path)))
        return *why;
    QFile file;
    errno = 0;
    if (!openRegular(file, path))
        return IoError(lastErrno());
    // Refused before a byte is read: reading it would hold the window and
    // the memory for nothing.
    if (file.size() > most)
        return tooLarge(file.size());
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

Result<qint64> readableFileSize(const QString &path) {
#ifdef Q_OS_UNIX
    // System calls alone: the marks ask this of every file a list sends.
    const QByteArray local = QFile::encodeName(path);
    struct stat status {};
    if (::stat(local.constData(), &status) != 0)
        return IoError(errno == ENOTDIR || errno == ELOOP ? ENOENT : lastErrno());
    if (!S_ISREG(status.st_mode))
        return IoError(S_ISDIR(status.st_mode) ? EISDIR : ENODEV);
    errno = 0;
    const int fd = ::open(local.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return IoError(lastErrno());
    char first;
    const bool read =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::read(fd, &first, 1) >= 0;
    const int why = S_ISREG(status.st_mode) ? lastErrno() : ENODEV;
    ::close(fd);
    if (!read)
        return IoError(why);
    return qint64(status.st_size);
#else
    if (std::optional<IoError> why = notReadable(QFileInfo(path)))
        return *why;
    QFile file;
    errno = 0;
    if (!openRegular(file, path))
        return IoError(lastErrno());
    char first;
    errno = 0;
    if (file.read(&first, 1) < 0)
        return IoError(lastErrno());
    return file.size();
#endif
}

namespace {

// A path that names something other than a regular file (links followed):
// a folder, a device, a FIFO or a socket is never written over.
} // namespace

IoError notRegularFile() {
    return IoError(QStringLiteral(u"通常のファイルではありません"), ENODEV);
}

#ifdef Q_OS_UNIX

namespace {

// The writer's temporary files: hidden, named apart from anything else, and
// short, so that a file of the longest name has one too.
constexpr char kTemporaryPrefix[] = ".kirano-";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr int kTemporaryRandom = 8;

QByteArray temporaryName() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = kTemporaryPrefix;
    for (int i = 0; i < kTemporaryRandom; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name + kTemporarySuffix;
}

bool isTemporaryName(const QByteArray &name) {
    const qsizetype prefix = qsizetype(sizeof kTemporaryPrefix) - 1;
    const qsizetype suffix = qsizetype(sizeof kTemporarySuffix) - 1;
    if (name.size() != prefix + kTemporaryRandom + suffix || !name.startsWith(kTemporaryPrefix) ||
        !name.endsWith(kTemporarySuffix))
        return false;
    for (qsizetype i = prefix; i < prefix + kTemporaryRandom; ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// The file a path writes to: a link is followed to where it points, as far
// as it leads, so that the link stays and its target is replaced.
QString writtenFile(const QString &path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

// Qt's permissions as the system's mode bits.
const std::pair<QFileDevice::Permission, mode_t> kModeBits[] = {
    {QFileDevice::ReadOwner, S_IRUSR},  {QFileDevice::WriteOwner, S_IWUSR},
    {QFileDevice::ExeOwner, S_IXUSR},   {QFileDevice::ReadGroup, S_IRGRP},
    {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
    {QFileDevice::ReadOther, S_IROTH},  {QFileDevice::WriteOther, S_IWOTH},
    {QFileDevice::ExeOther, S_IXOTH}};

bool writeAll(int fd, const char *bytes, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// An open temporary file in the folder: unnamed where the system makes
// such files, else under a temporary name. It is locked while it lives, so
// that removeLeftTemporaries() leaves it alone.
struct Temporary {
    int fd = -1;
    QByteArray named; // its name, once it has one

    ~Temporary() {
        if (!named.isEmpty())
            ::unlink(named.constData());
        if (fd >= 0)
            ::close(fd);
    }
    bool open(const QByteArray &folder) {
#ifdef O_TMPFILE
        fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0)
            return ::flock(fd, LOCK_EX) == 0;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
#endif
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = folder + '/' + temporaryName();
            fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                named = name;
                return ::flock(fd, LOCK_EX) == 0;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }
    // Gives the file the path's name, replacing what was there.
    bool commit(const QByteArray &target, bool targetExists) {
        if (named.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            // A new file takes its name at once; an existing one is replaced
            // by a rename, which needs a name to rename from.
            if (!targetExists && ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(),
                                          AT_SYMLINK_FOLLOW) == 0)
                return true;
            if (!targetExists && errno != EEXIST)
                return false;
            const qsizetype slash = target.lastIndexOf('/');
            for (int attempt = 0; named.isEmpty() && attempt < 100; ++attempt) {
                const QByteArray name = target.first(slash + 1) + temporaryName();
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                             AT_SYMLINK_FOLLOW) == 0)
                    named = name;
                else if (errno != EEXIST)
                    return false;
            }
        }
        if (named.isEmpty() || ::rename(named.constData(), target.constData()) != 0)
            return false;
        named.clear();
        return true;
    }
};

} // namespace

Result<> writeFile(const QString &path, const QByteArray &content,
                   std::optional<QFileDevice::Permissions> newFilePermissions) {
    const QByteArray target = QFile::encodeName(writtenFile(path));
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return notRegularFile();
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : target.first(slash);
    const QByteArray absoluteTarget = slash < 0 ? "./" + target : target;
    errno = 0;
    Temporary file;
    if (!file.open(folder))
        return IoError(lastErrno());
    // The mode the file keeps, or a new file's; then every byte, on the disk
    // before the name moves to it.
    mode_t mode = existing.st_mode & 07777;
    if (!exists && newFilePermissions) {
        mode = 0;
        for (const auto &[permission, bit] : kModeBits) {
            if (newFilePermissions->testFlag(permission))
                mode |= bit;
        }
    } else if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    errno = 0;
    if (!writeAll(file.fd, content.constData(), content.size()) || ::fchmod(file.fd, mode) != 0 ||
        ::fdatasync(file.fd) != 0 || !file.commit(absoluteTarget, exists))
        return IoError(lastErrno());
    return {};
}

void removeLeftTemporaries(const QString &folder) {
    const QByteArray local = QFile::encodeName(folder);
    DIR *dir = ::opendir(local.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!isTemporaryName(name))
            continue;
        const QByteArray path = local + '/' + name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {
        }, named{};
        // Only a writer that is gone lets go of its lock; and the name must
        // still be this file's.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.constData(), &named) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(dir);
}

#else

Result<> writeFile(const QString &path, const QByteArray &content,
                   std::optional<QFileDevice::Permissions> newFilePermissions) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return notRegularFile();
    const bool isNew = !info.exists();
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

void removeLeftTemporaries(const QString &) {
    // QSaveFile's own temporary files are left as they are.
}

#endif

Result<> writeLines(const QString &path, const QList<QByteArray> &lines,
                    std::optional<QFileDevice::Permissions> newFilePermissions) {
    return writeFile(path, joinCrLf(lines), newFilePermissions);
}

Result<> appendFile(const QString &path, const QByteArray &content) {
#ifdef Q_OS_UNIX
    // Only a regular file is written to, and a FIFO or a device in the
    // file's place is not even opened; the check after the open sees one put
    // there meanwhile, and its open does not wait for a reader.
    const QByteArray local = QFile::encodeName(path);
    struct stat status {};
    if (::stat(local.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return notRegularFile();
    errno = 0;
    const int fd =
        ::open(local.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return IoError(lastErrno());
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return notRegularFile();
    }
    // The bytes go in one write; one cut short (a size limit, a full disk)
    // is cut back to where the file ended.
    const off_t before = status.st_size;
    errno = 0;
    if (!writeAll(fd, content.constData(), content.size())) {
        IoError failure(lastErrno());
        while (::ftruncate(fd, before) != 0 && errno == EINTR) {
        }
        ::close(fd);
        return failure;
    }
    ::close(fd);
    return {};
#else
    // Unbuffered, so that a failed write leaves nothing waiting in a buffer
    // that the cut back to the old length would first try to write again.
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return IoError(lastErrno());
    const qint64 before = file.size();
    errno = 0;
    if (file.write(content) != content.size() || !file.flush()) {
        IoError failure(lastErrno());
        file.resize(before);
        return failure;
    }
    return {};
#endif
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

void reportSizeLimitsAsErrors() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool fileExists(const QString &path) {
    QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString pathIn(const QByteArray &folder, const QByteArray &name) {
    return nativePath(folder + name);
}

QString shownName(const QByteArray &path) {
    return decode(fileNamePart(path));
}

std::optional<QString> pathProblem(const QString &path) {
    if (encodeExact(path))
        return std::nullopt;
    return QStringLiteral(
               u"パス %1 は Shift_JIS で表せません (別の名前に変わる文字か改行を含みます)")
        .arg(path);
}

qsizetype nameMaxIn(const QString &folder) {
    constexpr qsizetype kUsual = 255;
#ifdef Q_OS_UNIX
    const long max = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return max > 0 ? qsizetype(max) : kUsual;
#else
    Q_UNUSED(folder);
    return kUsual;
#endif
}

bool isWritableFolder(const QString &folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace kirano::text

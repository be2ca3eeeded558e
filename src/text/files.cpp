#include "text/files.h"
#include "text/lines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace kirano::text {

namespace {

// Qt reports the failure, errno says why; a failure that left no errno
// (a short write) still needs a number to show.
int lastErrno() {
    return errno != 0 ? errno : EIO;
}

} // namespace

QString IoError::text() const {
    switch (code) {
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral(u"ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral(u"ﾃﾞｨｽｸがいっぱいです");
    default:
        return QStringLiteral(u"I/O ｴﾗｰ (%1)").arg(code);
    }
}

QString cannotCreateText(const QString &path) {
    return QStringLiteral(u"ﾌｧｲﾙ %1 を作成できません").arg(path);
}

std::optional<QByteArray> readFile(const QString &path, IoError *error) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            error->code = lastErrno();
        return std::nullopt;
    }
    errno = 0;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            error->code = lastErrno();
        return std::nullopt;
    }
    return content;
}

std::optional<IoError> writeLines(const QString &path, const QList<QByteArray> &lines,
                                  std::optional<QFileDevice::Permissions> newFilePermissions) {
    const QByteArray content = joinCrLf(lines);
    const bool isNew = !QFileInfo::exists(path);
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return IoError{lastErrno()};
    if (isNew && newFilePermissions)
        file.setPermissions(*newFilePermissions);
    errno = 0;
    // A buffered write reports success for bytes that never reach the disk;
    // the flush is where a full disk or a size limit shows.
    if (file.write(content) != content.size() || !file.flush()) {
        IoError failure{lastErrno()};
        file.cancelWriting();
        return failure;
    }
    errno = 0;
    if (!file.commit())
        return IoError{lastErrno()};
    return std::nullopt;
}

bool fileExists(const QString &path) {
    QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace kirano::text

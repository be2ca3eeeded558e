#include "text/result.h"
#include "text/files.h"

#include <cerrno>

namespace kirano::text {

namespace {

QString platformText(int code) {
    switch (code) {
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral(u"ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    case EISDIR:
    case ENODEV: // not a regular file: a FIFO, a device or a socket
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

} // namespace

IoError::IoError(int code) : code_(code), text_(platformText(code)) {}

IoError cannotWrite(const QString &path, const text::IoError &error) {
    return IoError(cannotCreateText(path) + QStringLiteral(" (") + error.text() + u')',
                   error.code());
}

} // namespace kirano::text

#pragma once
// Files made and read byte for byte by the tests.

#include "text/sjis.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace kirano::testing {

inline QByteArray sjis(const char16_t *text) {
    return text::bytesOf(QStringView(text));
}

inline void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

// "<missing>" for a file that is not there, so that it never equals an
// empty one.
inline QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

#ifdef Q_OS_UNIX
// What may stand where a file is to be written or read: a FIFO, a socket,
// a device node (a null device of the test's own; only root may make one),
// a folder.
enum class Special { Fifo, Socket, Device, Folder };

// Makes one at `path`, or with `viaLink` makes it beside and `path` a link
// to it. False when the system does not let the test make it.
inline bool makeSpecial(const QString &path, Special kind, bool viaLink = false) {
    const QString made = viaLink ? path + QStringLiteral(".target") : path;
    const QByteArray local = QFile::encodeName(made);
    bool done = false;
    switch (kind) {
    case Special::Fifo:
        done = ::mkfifo(local.constData(), 0600) == 0;
        break;
    case Special::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(local.size()) >= sizeof address.sun_path)
            return false;
        qstrcpy(address.sun_path, local.constData());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        done = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd); // the socket's file stays
        break;
    }
    case Special::Device:
        done = ::mknod(local.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
        break;
    case Special::Folder:
        done = QDir().mkdir(made);
        break;
    }
    if (done && viaLink)
        done = QFile::link(made, path);
    return done;
}
#endif

} // namespace kirano::testing

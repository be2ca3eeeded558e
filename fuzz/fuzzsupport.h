#pragma once
// Shared by the fuzz targets: the input as bytes, a scratch file for the
// readers that take a path, and a property check that stops the run.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace kirano::fuzz {

inline QByteArray input(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// A failed property is a finding: libFuzzer keeps the input that caused it.
inline void check(bool holds, const char *property) {
    if (holds)
        return;
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
}

// A file in a folder of its own that lives for the whole run, in memory
// where the system has a memory file system: writing to a disk every input
// would slow the run a hundredfold.
inline QString scratchPath(const char *name) {
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                 ? QStringLiteral("/dev/shm/kirano-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kirano-fuzz-XXXXXX"));
    return dir.path() + u'/' + QString::fromLatin1(name);
}

inline QString writeScratch(const char *name, const QByteArray &bytes) {
    const QString path = scratchPath(name);
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file opens");
    check(file.write(bytes) == bytes.size(), "scratch file written");
    return path;
}

inline QByteArray readScratch(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace kirano::fuzz

#pragma once
// Files made and read byte for byte by the tests.

#include "text/sjis.h"

#include <QByteArray>
#include <QFile>
#include <QTest>

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

} // namespace kirano::testing

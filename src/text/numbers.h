#pragma once
// Numbers and byte positions in Shift_JIS texts.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace kirano::text {

// The number at the start of a text: blanks skipped, then an optional sign or
// a '$' that makes the digits hexadecimal, then digits up to the first other
// byte. No digits give 0. A value beyond 32 bits stops at the 32-bit limit.
qint32 leadingNumber(QByteArrayView text);

// The whole text as a 32-bit integer: blanks before it allowed, then a signed
// decimal number or '$' and hexadecimal digits (a two's-complement pattern),
// and nothing after. Anything else, empty included, gives nothing.
std::optional<qint32> strictInteger(QByteArrayView text);

// The number right-aligned in two places, filled with a blank ("%2d").
QByteArray fill2d(qint32 value);

// Decimal text without leading zeros.
inline QByteArray decimal(qint32 value) {
    return QByteArray::number(value);
}

// The file-name part of a path: what follows the last '\', ':' (and on this
// platform '/'), never splitting a double-byte character.
QByteArray fileNamePart(const QByteArray &path);
// Where that part starts.
qsizetype fileNameStart(QByteArrayView path);

// True when the first 10 bytes of a captured file's line are "データ取得".
bool isDateLine(QByteArrayView line);

// Bytes start..start+count-1 counted from 1; shorter when the text is.
QByteArray bytesAt(QByteArrayView text, qsizetype start, qsizetype count);

// Only the ASCII letters a to z become capitals; the bytes of double-byte
// characters, which may look like letters, stay as they are.
QByteArray asciiUpper(const QByteArray &bytes);

} // namespace kirano::text

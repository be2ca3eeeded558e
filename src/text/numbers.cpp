#include "text/numbers.h"
#include "text/sjis.h"

#include <limits>

namespace kirano::text {

namespace {

int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v;
}

struct Scan {
    bool negative = false;
    int base = 10;
    qsizetype digitsStart = 0;
};

// Blanks, then a sign or '$'.
Scan scanPrefix(QByteArrayView text) {
    Scan s;
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        s.negative = text[i] == '-';
        ++i;
    } else if (i < text.size() && text[i] == '$') {
        s.base = 16;
        ++i;
    }
    s.digitsStart = i;
    return s;
}

// Accumulates digits from start; returns the position after them. Sets
// overflow when the value no longer fits the base's range.
qsizetype readDigits(QByteArrayView text, const Scan &s, quint64 &value, bool &overflow) {
    const quint64 limit = s.base == 16 ? 0xFFFFFFFFull : s.negative ? 0x80000000ull : 0x7FFFFFFFull;
    value = 0;
    overflow = false;
    qsizetype i = s.digitsStart;
    for (; i < text.size(); ++i) {
        int d = digitValue(text[i], s.base);
        if (d < 0)
            break;
        value = value * s.base + d;
        if (value > limit) {
            overflow = true;
            value = limit;
        }
    }
    return i;
}

qint32 toSigned(quint64 value, const Scan &s) {
    if (s.base == 16)
        return static_cast<qint32>(static_cast<quint32>(value));
    qint64 v = static_cast<qint64>(value);
    return static_cast<qint32>(s.negative ? -v : v);
}

} // namespace

qint32 leadingNumber(QByteArrayView text) {
    Scan s = scanPrefix(text);
    quint64 value = 0;
    bool overflow = false;
    readDigits(text, s, value, overflow);
    return toSigned(value, s);
}

std::optional<qint32> strictInteger(QByteArrayView text) {
    Scan s = scanPrefix(text);
    quint64 value = 0;
    bool overflow = false;
    qsizetype end = readDigits(text, s, value, overflow);
    if (end == s.digitsStart || end != text.size() || overflow)
        return std::nullopt;
    return toSigned(value, s);
}

QByteArray fill2d(qint32 value) {
    QByteArray digits = QByteArray::number(value);
    if (digits.size() < 2)
        digits.prepend(' ');
    return digits;
}

qsizetype fileNameStart(QByteArrayView path) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        uchar b = static_cast<uchar>(path[i]);
        if (isLeadByte(b) && i + 1 < path.size()) {
            ++i; // the trail byte may be 0x5C, which is no separator here
            continue;
        }
        if (b == '\\' || b == ':' || b == '/')
            start = i + 1;
    }
    return start;
}

QByteArray fileNamePart(const QByteArray &path) {
    const qsizetype start = fileNameStart(path);
    return start == 0 ? path : path.mid(start); // a whole name is shared, not copied
}

bool isDateLine(QByteArrayView line) {
    static const QByteArray marker = bytesOf(u"データ取得");
    return line.startsWith(marker);
}

QByteArray bytesAt(QByteArrayView text, qsizetype start, qsizetype count) {
    const qsizetype from = qMax<qsizetype>(0, start - 1);
    if (from >= text.size() || count <= 0)
        return QByteArray();
    return text.sliced(from, qMin(count, text.size() - from)).toByteArray();
}

QByteArray asciiUpper(const QByteArray &bytes) {
    QByteArray upper = bytes;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        const uchar b = static_cast<uchar>(upper[i]);
        if (isLeadByte(b)) {
            ++i;
            continue;
        }
        if (b >= 'a' && b <= 'z')
            upper[i] = static_cast<char>(b - 'a' + 'A');
    }
    return upper;
}

} // namespace kirano::text

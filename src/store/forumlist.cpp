#include "store/forumlist.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <algorithm>
#include <array>
#include <new>

namespace kirano {

namespace {

QList<ForumRecord> parseForumList(const QByteArray &content);

} // namespace

QList<ForumRecord> readForumList(const QString &path) {
    text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return {};
    try {
        return parseForumList(*content);
    } catch (const std::bad_alloc &) {
        return {}; // more records than memory: a file that cannot be read
    }
}

namespace {

// ASCII letters as capitals; bytes of double-byte characters stay.
inline uchar folded(uchar b) {
    return b >= 'a' && b <= 'z' ? static_cast<uchar>(b - 'a' + 'A') : b;
}

// Compares as text::asciiUpper(a) against text::asciiUpper(b) would, without
// the copies. While the bytes agree, both texts are at the same place of a
// double-byte character, so one flag serves both.
int compareFolded(QByteArrayView a, QByteArrayView b) {
    const qsizetype common = qMin(a.size(), b.size());
    bool secondByte = false;
    for (qsizetype i = 0; i < common; ++i) {
        uchar x = static_cast<uchar>(a[i]);
        uchar y = static_cast<uchar>(b[i]);
        if (!secondByte) {
            x = folded(x);
            y = folded(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
        secondByte = !secondByte && text::isLeadByte(x);
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// The first 32 folded bytes of the name (most of its 40), big-endian, filled
// with zeros: keys that differ order as compareFolded does; equal keys need
// the full compare.
template <typename Key> Key prefixKey(QByteArrayView name, qsizetype index) {
    std::array<quint64, 4> part{};
    const qsizetype size = qMin<qsizetype>(name.size(), 8 * qsizetype(part.size()));
    bool secondByte = false;
    for (qsizetype i = 0; i < size; ++i) {
        uchar b = static_cast<uchar>(name[i]);
        if (!secondByte)
            b = folded(b);
        secondByte = !secondByte && text::isLeadByte(b);
        part[i / 8] |= quint64(b) << (8 * (7 - i % 8));
    }
    return Key{part, index};
}

QList<ForumRecord> parseForumList(const QByteArray &content) {
    text::LineReader reader(content);
    QList<ForumRecord> inFileOrder;
    // One allocation for all records: each takes two lines, each line ends
    // at a CR or at the end.
    inFileOrder.reserve(content.count('\r') / 2 + 1);
    while (!reader.atEnd()) {
        ForumRecord record;
        record.name = reader.readLine();
        record.code = reader.readLine();
        inFileOrder.append(std::move(record));
    }
    // Positions are sorted by the first 32 folded bytes of the name, held
    // beside them, so that most comparisons touch neither the heap nor
    // memcmp; only names alike that far are compared in full. (Comparing
    // folded copies with memcmp cost microseconds a call on blank names:
    // glibc compares under 32 bytes with masked vector loads, which this
    // machine served slowly for the shared empty array.)
    struct Key {
        std::array<quint64, 4> prefix;
        qsizetype index;
    };
    const qsizetype count = inFileOrder.size();
    std::vector<Key> order(count);
    for (qsizetype i = 0; i < count; ++i)
        order[i] = prefixKey<Key>(inFileOrder.at(i).name, i);
    std::stable_sort(order.begin(), order.end(), [&](const Key &a, const Key &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const ForumRecord &x = inFileOrder.at(a.index);
        const ForumRecord &y = inFileOrder.at(b.index);
        const int byName = compareFolded(x.name, y.name);
        return byName != 0 ? byName < 0 : compareFolded(x.code, y.code) < 0;
    });
    // Records move into sorted order in place, following each cycle of the
    // permutation, so no second list is needed.
    ForumRecord *records = inFileOrder.data();
    for (qsizetype start = 0; start < count; ++start) {
        if (order[start].index < 0)
            continue;
        ForumRecord held = std::move(records[start]);
        qsizetype to = start;
        while (order[to].index != start) {
            const qsizetype from = order[to].index;
            records[to] = std::move(records[from]);
            order[to].index = -1;
            to = from;
        }
        records[to] = std::move(held);
        order[to].index = -1;
    }
    return inFileOrder;
}

} // namespace

} // namespace kirano

#include "store/forumlist.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QtEndian>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace kirano {

text::Result<ForumList> tryReadForumList(const QString &path) {
    // The records' offsets reach 4 GiB: a larger list is refused unread.
    text::Result<QByteArray> content = text::readFile(
        path, qMin(text::largestReadable(), qint64(std::numeric_limits<quint32>::max())));
    if (!content)
        return content.error();
    try {
        return parseForumList(*content);
    } catch (const std::bad_alloc &) {
        return text::IoError(ENOMEM); // more records than memory
    }
}

ForumList readForumList(const QString &path) {
    return tryReadForumList(path).value_or(ForumList());
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

using Prefix = std::array<quint64, 3>;

// The first 24 folded bytes of the name (twelve double-byte characters of
// its 40), big-endian, filled with zeros: prefixes that differ order as
// compareFolded does; equal ones need the full compare.
Prefix prefixOf(QByteArrayView name) {
    uchar bytes[sizeof(Prefix)] = {};
    const qsizetype size = qMin<qsizetype>(name.size(), qsizetype(sizeof bytes));
    std::memcpy(bytes, name.data(), size_t(size));
    for (qsizetype i = 0; i < size; ++i) {
        if (text::isLeadByte(bytes[i]))
            ++i; // the second byte of a double-byte character stays
        else
            bytes[i] = folded(bytes[i]);
    }
    Prefix part;
    for (size_t k = 0; k < part.size(); ++k)
        part[k] = qFromBigEndian<quint64>(bytes + 8 * k);
    return part;
}

// Prefixes compared word by word: -1, 0 or 1.
inline int comparePrefix(const Prefix &a, const Prefix &b) {
    for (size_t k = 0; k < a.size(); ++k) {
        if (a[k] != b[k])
            return a[k] < b[k] ? -1 : 1;
    }
    return 0;
}

// A block of `bytes` for std::free; a large one in huge pages where the
// system offers them, since faulting in a million keys 4 KiB at a time cost
// more than sorting them.
void *largeBlock(size_t bytes) {
#ifdef __linux__
    constexpr size_t huge = size_t(2) << 20;
    if (bytes >= huge) {
        const size_t rounded = (bytes + huge - 1) / huge * huge;
        if (void *block = std::aligned_alloc(huge, rounded)) {
            madvise(block, rounded, MADV_HUGEPAGE); // only a hint
            return block;
        }
    }
#endif
    return std::malloc(bytes);
}

} // namespace

ForumList parseForumList(const QByteArray &content) {
    if (content.size() > qsizetype(std::numeric_limits<quint32>::max()))
        return {}; // beyond the offsets' reach: a file that cannot be read
    // Records are sorted by the first 24 folded bytes of the name, held
    // beside them, so that most comparisons touch neither the buffer nor
    // memcmp; only names alike that far are compared in full. A record's
    // offset is its place in the file, so ties on it keep file order without
    // a stable sort's second buffer.
    struct Key {
        Prefix prefix;
        ForumList::Span span;
    };
    // Each record takes two lines, each line ends at a CR or at the end:
    // one block for all keys. Sorted, they are packed into the front of the
    // same block as the records, and the rest given back, so that no memory
    // is touched twice for them.
    const size_t most = size_t(std::count(content.cbegin(), content.cend(), '\r') / 2 + 1);
    std::unique_ptr<void, decltype(&std::free)> block(largeBlock(most * sizeof(Key)), &std::free);
    if (!block)
        throw std::bad_alloc();
    Key *keys = static_cast<Key *>(block.get());
    size_t count = 0;
    text::LineReader reader(content);
    while (!reader.atEnd()) {
        const auto [nameStart, nameSize] = reader.readSpan();
        const auto [codeStart, codeSize] = reader.readSpan();
        const QByteArrayView name(content.constData() + nameStart, nameSize);
        // The file was refused above unless its offsets fit in 32 bits.
        new (keys + count++)
            Key{prefixOf(name),
                {quint32(nameStart), quint32(nameSize), quint32(codeStart), quint32(codeSize)}};
    }
    const char *bytes = content.constData();
    std::sort(keys, keys + count, [bytes](const Key &a, const Key &b) {
        if (const int byPrefix = comparePrefix(a.prefix, b.prefix))
            return byPrefix < 0;
        const ForumList::Span &x = a.span;
        const ForumList::Span &y = b.span;
        int order = compareFolded(QByteArrayView(bytes + x.nameStart, x.nameSize),
                                  QByteArrayView(bytes + y.nameStart, y.nameSize));
        if (order == 0)
            order = compareFolded(QByteArrayView(bytes + x.codeStart, x.codeSize),
                                  QByteArrayView(bytes + y.codeStart, y.codeSize));
        return order != 0 ? order < 0 : x.nameStart < y.nameStart;
    });
    // Record i lands where key i / 3 was, a key already read.
    auto *records = static_cast<ForumList::Span *>(block.get());
    for (size_t i = 0; i < count; ++i) {
        const ForumList::Span span = keys[i].span;
        new (records + i) ForumList::Span(span);
    }
    if (void *shrunk =
            std::realloc(block.get(), qMax<size_t>(count, 1) * sizeof(ForumList::Span))) {
        block.release();
        block.reset(shrunk);
    }
    ForumList list;
    list.records_.reset(
        static_cast<const ForumList::Span *>(block.release()),
        [](const ForumList::Span *p) { std::free(const_cast<ForumList::Span *>(p)); });
    list.size_ = qsizetype(count);
    list.bytes_ = content;
    return list;
}

} // namespace kirano

#include "store/forumlist.h"
#include "text/files.h"
#include "text/sjis.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace kirano {

ForumList readForumList(const QString &path) {
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

using Prefix = std::array<quint64, 4>;

// The first 32 folded bytes of the name (most of its 40), big-endian, filled
// with zeros: prefixes that differ order as compareFolded does; equal ones
// need the full compare.
Prefix prefixOf(QByteArrayView name) {
    Prefix part{};
    const qsizetype size = qMin<qsizetype>(name.size(), 8 * qsizetype(part.size()));
    bool secondByte = false;
    for (qsizetype i = 0; i < size; ++i) {
        uchar b = static_cast<uchar>(name[i]);
        if (!secondByte)
            b = folded(b);
        secondByte = !secondByte && text::isLeadByte(b);
        part[i / 8] |= quint64(b) << (8 * (7 - i % 8));
    }
    return part;
}

// Reads the file line by line: a line ends at CR, an LF right after the CR
// belongs to the line end, a bare LF stays in the text; past `end` (the
// 0x1A that ends the file, or the last byte) every line is empty.
class SpanReader {
  public:
    SpanReader(const char *bytes, qsizetype end) : bytes_(bytes), end_(end) {}
    bool atEnd() const { return pos_ >= end_; }
    // The next line as its offset and size.
    std::pair<quint32, quint32> readLine() {
        if (atEnd())
            return {quint32(end_), 0};
        const qsizetype start = pos_;
        const void *cr = std::memchr(bytes_ + pos_, '\r', size_t(end_ - pos_));
        pos_ = cr ? static_cast<const char *>(cr) - bytes_ : end_;
        const qsizetype size = pos_ - start;
        if (pos_ < end_) { // at a CR: it and an LF right after it end the line
            ++pos_;
            if (pos_ < end_ && bytes_[pos_] == '\n')
                ++pos_;
        }
        return {quint32(start), quint32(size)};
    }

  private:
    const char *bytes_;
    qsizetype end_;
    qsizetype pos_ = 0;
};

} // namespace

ForumList parseForumList(const QByteArray &content) {
    if (content.size() > qsizetype(std::numeric_limits<quint32>::max()))
        return {}; // beyond the offsets' reach: a file that cannot be read
    qsizetype end = content.indexOf('\x1A');
    if (end < 0)
        end = content.size();
    // Records are sorted by the first 32 folded bytes of the name, held
    // beside them, so that most comparisons touch neither the buffer nor
    // memcmp; only names alike that far are compared in full. A record's
    // offset is its place in the file, so ties on it keep file order without
    // a stable sort's second buffer.
    struct Key {
        Prefix prefix;
        ForumList::Span span;
    };
    std::vector<Key> keys;
    // Each record takes two lines, each line ends at a CR or at the end:
    // one allocation for all.
    keys.reserve(size_t(QByteArrayView(content).first(end).count('\r') / 2 + 1));
    SpanReader reader(content.constData(), end);
    while (!reader.atEnd()) {
        const auto [nameStart, nameSize] = reader.readLine();
        const auto [codeStart, codeSize] = reader.readLine();
        const QByteArrayView name(content.constData() + nameStart, nameSize);
        keys.push_back({prefixOf(name), {nameStart, nameSize, codeStart, codeSize}});
    }
    const char *bytes = content.constData();
    std::sort(keys.begin(), keys.end(), [bytes](const Key &a, const Key &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const ForumList::Span &x = a.span;
        const ForumList::Span &y = b.span;
        int order = compareFolded(QByteArrayView(bytes + x.nameStart, x.nameSize),
                                  QByteArrayView(bytes + y.nameStart, y.nameSize));
        if (order == 0)
            order = compareFolded(QByteArrayView(bytes + x.codeStart, x.codeSize),
                                  QByteArrayView(bytes + y.codeStart, y.codeSize));
        return order != 0 ? order < 0 : x.nameStart < y.nameStart;
    });
    ForumList list;
    list.records_.resize(qsizetype(keys.size()));
    std::transform(keys.begin(), keys.end(), list.records_.begin(),
                   [](const Key &key) { return key.span; });
    list.bytes_ = content;
    return list;
}

} // namespace kirano

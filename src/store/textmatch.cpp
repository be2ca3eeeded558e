#include "store/textmatch.h"
#include "text/sjis.h"

#include <algorithm>
#include <cstring>

namespace kirano {

namespace {

inline bool isLower(uchar b) {
    return b >= 'a' && b <= 'z';
}
inline bool isUpper(uchar b) {
    return b >= 'A' && b <= 'Z';
}

// True when `at` starts a character of the text that begins at `start`:
// after the last byte that cannot lead a double-byte character, the bytes
// that can pair off, so an even count of them leaves `at` at a start.
bool startsCharacter(const char *start, const char *at) {
    qsizetype leads = 0;
    for (const char *p = at; p > start && text::isLeadByte(uchar(p[-1])); --p)
        ++leads;
    return leads % 2 == 0;
}

} // namespace

TextMatch::TextMatch(const QByteArray &needle) {
    fold(needle, needle_);
    for (qsizetype i = 0; i < needle_.size(); ++i) {
        const uchar b = uchar(needle_[i]);
        if (text::isLeadByte(b))
            ++i; // its second byte is no letter
        else if (isUpper(b) && i < qsizetype(letters_.size()))
            letters_.set(size_t(i));
    }
}

void TextMatch::fold(QByteArrayView text, QByteArray &to) {
    const qsizetype at = to.size();
    to.append(text);
    char *bytes = to.data() + at;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (text::isLeadByte(b))
            ++i;
        else if (isLower(b))
            bytes[i] = char(b - 'a' + 'A');
    }
}

bool TextMatch::matchesFolded(QByteArrayView folded) const {
    if (never_)
        return false;
    const qsizetype n = needle_.size();
    if (n == 0)
        return true;
    if (folded.size() < n)
        return false;
    // A row is a few dozen bytes: a plain loop over it costs less than
    // calling a search function for each row.
    const char *start = folded.data();
    const char *last = start + folded.size() - n;
    const char *needle = needle_.constData();
    const char first = needle[0];
    for (const char *at = start; at <= last; ++at) {
        // Once the first byte starts a character, the rest lines up with the
        // needle's characters byte for byte.
        if (*at == first && std::memcmp(at + 1, needle + 1, size_t(n - 1)) == 0 &&
            startsCharacter(start, at))
            return true;
    }
    return false;
}

TextMatch TextMatch::typed(const QString &text) {
    if (text.isEmpty())
        return TextMatch();
    const std::optional<QByteArray> bytes = text::encode(text);
    TextMatch match(bytes.value_or(QByteArray()));
    match.never_ = !bytes || text::holdsLineBreak(text);
    return match;
}

bool TextMatch::restMatches(const char *at) const {
    for (qsizetype i = 1; i < needle_.size(); ++i) {
        const uchar want = uchar(needle_[i]);
        const uchar have = uchar(at[i]);
        if (have == want)
            continue;
        const bool letter =
            i < qsizetype(letters_.size())
                ? letters_.test(size_t(i))
                : isUpper(want) && startsCharacter(needle_.constData(), needle_.constData() + i);
        if (!letter || have != want - 'A' + 'a')
            return false;
    }
    return true;
}

bool TextMatch::matches(QByteArrayView text) const {
    if (never_)
        return false;
    const qsizetype n = needle_.size();
    if (n == 0)
        return true;
    if (text.size() < n)
        return false;
    const char *start = text.data();
    const char *last = start + text.size() - n; // the last place a match may start
    const char first = needle_[0];
    const bool letter = letters_.test(0);
    const char other = letter ? char(first - 'A' + 'a') : first;
    const char *from = start;
    while (from <= last) {
        // The next place the first byte is found, in either case.
        const size_t span = size_t(last - from + 1);
        const char *at = static_cast<const char *>(std::memchr(from, first, span));
        if (letter) {
            const char *lower = static_cast<const char *>(std::memchr(from, other, span));
            if (lower && (!at || lower < at))
                at = lower;
        }
        if (!at)
            return false;
        // Once the first byte starts a character, the rest lines up with the
        // needle's characters byte for byte.
        if (restMatches(at) && startsCharacter(start, at))
            return true;
        from = at + 1;
    }
    return false;
}

bool TextMatch::narrows(const TextMatch &wider) const {
    if (wider.never_)
        return never_;
    return never_ || wider.matches(needle_);
}

} // namespace kirano

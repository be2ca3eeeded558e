#include "text/lines.h"
#include "text/sjis.h"

#include <cstring>

namespace kirano::text {

namespace {

// The first CR or 0x1A in [p, stop), or stop; eight bytes a step, since
// one pass over the file for each byte cost more than reading it.
const char *lineEnd(const char *p, const char *stop) {
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 highs = 0x8080808080808080ULL;
    while (stop - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        const quint64 cr = word ^ (ones * '\r');
        const quint64 eof = word ^ (ones * 0x1A);
        if (((cr - ones) & ~cr & highs) | ((eof - ones) & ~eof & highs))
            break; // one of them is among these eight
        p += 8;
    }
    while (p < stop && *p != '\r' && *p != '\x1A')
        ++p;
    return p;
}

} // namespace

LineReader::LineReader(QByteArray content) : content_(std::move(content)), end_(content_.size()) {
    stopAtEof();
}

// A 0x1A at the reading place ends the file there; one inside a line ends
// the line at it first.
void LineReader::stopAtEof() {
    if (pos_ < end_ && content_.constData()[pos_] == '\x1A')
        end_ = pos_;
}

LineReader::Span LineReader::readSpan() {
    if (atEnd())
        return {end_, 0};
    const char *bytes = content_.constData();
    const qsizetype start = pos_;
    pos_ = lineEnd(bytes + pos_, bytes + end_) - bytes;
    const qsizetype size = pos_ - start;
    if (pos_ < end_ && bytes[pos_] == '\r') { // it and an LF right after it end the line
        ++pos_;
        if (pos_ < end_ && bytes[pos_] == '\n')
            ++pos_;
    }
    stopAtEof();
    return {start, size};
}

QByteArray LineReader::readLine() {
    const Span line = readSpan();
    return content_.mid(line.start, line.size);
}

LineCursor::LineCursor(const QByteArray &content) {
    qsizetype end = content.indexOf('\0');
    if (end < 0)
        end = content.size();
    pos_ = content.constData();
    stop_ = pos_ + end;
}

bool LineCursor::next(QByteArray &line) {
    QByteArrayView view;
    if (!next(view))
        return false;
    line = view.toByteArray();
    return true;
}

bool LineCursor::next(QByteArrayView &line) {
    if (pos_ >= stop_)
        return false;
    const char *p = pos_;
    while (p < stop_ && *p != '\r' && *p != '\n')
        ++p;
    line = QByteArrayView(pos_, p - pos_);
    if (p < stop_ && *p == '\r' && p + 1 < stop_ && p[1] == '\n')
        ++p;
    pos_ = p + 1;
    return true;
}

QList<QByteArray> splitLines(const QByteArray &content) {
    QList<QByteArray> lines;
    LineCursor cursor(content);
    QByteArray line;
    while (cursor.next(line))
        lines.append(std::move(line));
    return lines;
}

QByteArray joinCrLf(const QList<QByteArray> &lines) {
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    QByteArray text;
    text.reserve(size);
    for (const QByteArray &line : lines) {
        text.append(line);
        text.append("\r\n", 2);
    }
    return text;
}

QByteArray shownLine(QByteArrayView line, qsizetype maxCells) {
    if (line.size() <= maxCells && !line.contains('\t'))
        return line.toByteArray();
    // The tabs first, only as far as can be drawn; then the cut.
    constexpr qsizetype kTabCells = 8;
    QByteArray shown;
    shown.reserve(qMin(line.size(), maxCells) + kTabCells + 1);
    qsizetype i = 0;
    for (; i < line.size() && shown.size() <= maxCells; ++i) {
        if (line[i] == '\t')
            shown.append(kTabCells - shown.size() % kTabCells, ' ');
        else
            shown.append(line[i]);
    }
    if (i == line.size() && shown.size() <= maxCells)
        return shown;
    shown.truncate(wholeCharactersIn(shown, maxCells));
    return shown + bytesOf(u"…");
}

} // namespace kirano::text

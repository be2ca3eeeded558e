#include "text/lines.h"
#include "text/sjis.h"

namespace kirano::text {

LineReader::LineReader(QByteArray content) : content_(std::move(content)) {
    end_ = content_.indexOf('\x1A');
    if (end_ < 0)
        end_ = content_.size();
}

QByteArray LineReader::readLine() {
    if (atEnd())
        return QByteArray();
    qsizetype cr = content_.indexOf('\r', pos_);
    if (cr < 0 || cr > end_)
        cr = end_;
    QByteArray line = content_.mid(pos_, cr - pos_);
    pos_ = cr;
    if (pos_ < end_) { // at a CR: it and an LF right after it end the line
        ++pos_;
        if (pos_ < end_ && content_.at(pos_) == '\n')
            ++pos_;
    }
    return line;
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

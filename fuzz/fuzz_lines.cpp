// Both line readers against plain reference splitters, and lines joined with
// CR LF read back the same.
#include "fuzzsupport.h"
#include "text/lines.h"

using namespace kirano;
using kirano::fuzz::check;

namespace {

// Line by line: 0x1A ends the file, a line ends at CR, an LF right after
// the CR belongs to the line end.
QList<QByteArray> byLines(const QByteArray &content) {
    const qsizetype sub = content.indexOf('\x1a');
    const QByteArray text = sub < 0 ? content : content.left(sub);
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype cr = text.indexOf('\r', start);
        if (cr < 0) {
            lines << text.mid(start);
            break;
        }
        lines << text.mid(start, cr - start);
        start = cr + 1 + (cr + 1 < text.size() && text[cr + 1] == '\n' ? 1 : 0);
    }
    return lines;
}

// Whole file: NUL ends the text; CR LF, CR or LF end a line.
QList<QByteArray> wholeLines(const QByteArray &content) {
    const qsizetype nul = content.indexOf('\0');
    const QByteArray text = nul < 0 ? content : content.left(nul);
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        lines << line;
        line.clear();
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QList<QByteArray> readAllLines(const QByteArray &content) {
    text::LineReader reader(content);
    QList<QByteArray> lines;
    while (!reader.atEnd())
        lines << reader.readLine();
    check(reader.readLine().isEmpty() && reader.atEnd(), "past the end come empty lines");
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);

    const QList<QByteArray> lines = readAllLines(content);
    check(lines == byLines(content), "line reader as the reference");
    check(readAllLines(text::joinCrLf(lines)) == lines, "line reader: CR LF joined read back");

    const QList<QByteArray> whole = text::splitLines(content);
    check(whole == wholeLines(content), "whole-file lines as the reference");
    check(text::splitLines(text::joinCrLf(whole)) == whole, "whole-file: CR LF joined read back");
    return 0;
}

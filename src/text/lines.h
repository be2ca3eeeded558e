#pragma once
// The two ways the program splits a text file into lines, each read by one
// class: LineReader (CR ends a line, 0x1A the file) and LineCursor (CR LF, CR
// or LF end a line, NUL the text).

#include <QByteArray>
#include <QList>

namespace kirano::text {

// Line by line, for the settings file, the forum list and the patio list:
// a line ends at CR, an LF right after that CR belongs to the line end, a bare
// LF stays in the text, the byte 0x1A ends the file, and reading past the end
// yields empty lines. The forum list takes its lines as places in the content
// (readSpan), so that a list of many thousand forums copies nothing.
class LineReader {
  public:
    explicit LineReader(QByteArray content);

    QByteArray readLine();
    // The next line as its offset and size in the content; at the end, an
    // empty line at the end.
    struct Span {
        qsizetype start = 0;
        qsizetype size = 0;
    };
    Span readSpan();
    bool atEnd() const { return pos_ >= end_; }

  private:
    void stopAtEof();

    QByteArray content_;
    qsizetype pos_ = 0;
    qsizetype end_ = 0; // the first 0x1A, once met
};

// Whole files, for the patrol list file and the captured files: lines end at
// CR LF, CR or LF; a last line without a line end counts; a NUL byte ends the
// text; an empty text has no lines. The cursor hands out one line at a time.
class LineCursor {
  public:
    explicit LineCursor(const QByteArray &content);
    // The next line, or false at the end of the text.
    bool next(QByteArray &line);
    // The same, as a view into the content: nothing is copied.
    bool next(QByteArrayView &line);

  private:
    const char *pos_;
    const char *stop_;
};

QList<QByteArray> splitLines(const QByteArray &content);

// Lines joined with CR LF after every line, the last one included.
QByteArray joinCrLf(const QList<QByteArray> &lines);

// A line as a fixed-pitch view draws it, one half-width cell per byte: each
// tab becomes the blanks up to the next multiple of eight cells, and a line
// wider than maxCells is cut after its last whole character that fits, with
// "…" marking the cut. Only what is drawn is cut; the line stays whole.
QByteArray shownLine(QByteArrayView line, qsizetype maxCells);

} // namespace kirano::text

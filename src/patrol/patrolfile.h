#pragma once
// The patrol list file: six lines per entry in field order, the fields' bytes
// as they are, CR LF after every line. Kirano saves it, the demo writes it
// and the autopilot reads it, all through the one writer and the one reader
// here; Kirano's "開く" and the autopilot's reading are policies on top.

#include "patrol/patrolentry.h"
#include "text/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace kirano {

// A patrol list file as read: every complete group of six lines an entry,
// whatever its fields hold, and how many lines (one to five) came after the
// last one.
struct PatrolListFile {
    QList<PatrolEntry> entries;
    int leftoverLines = 0;
};

// The six lines of every entry, in list order.
QList<QByteArray> patrolListLines(const QList<PatrolEntry> &entries);

// Replaces the file with the entries' lines, atomically.
text::Result<> writePatrolList(const QString &path, const QList<PatrolEntry> &entries);

// The reader: lines end at CR LF, CR or LF, a last line without its end
// counts, a NUL byte ends the text and an empty line is an empty field. Fails
// only for more entries than memory holds.
text::Result<PatrolListFile> parsePatrolList(const QByteArray &content);

// Kirano's "開く": the entries only when every one has its display row; the
// leftover lines are ignored.
std::optional<QList<PatrolEntry>> openablePatrolList(const QByteArray &content);

// The clipboard's own form of entries: their lines' exact bytes, as this
// file holds them.
inline const QString kEntriesMimeType = QStringLiteral("application/x-kirano-patrol-entries");

// Entries given as text (pasted): the same reader as "開く", with stricter
// checks, since nothing may be guessed: the text must be one or more
// complete entries (line ends at its very end do not count), each of a
// keyword the vocabulary knows and with its display row, and it may hold no
// NUL byte. Otherwise nothing, and why in the words the user is shown.
text::Result<QList<PatrolEntry>> pastedPatrolEntries(const QByteArray &bytes);
// The same for screen text (another program's): only when it encodes to
// Shift_JIS bytes that decode to the very same text.
text::Result<QList<PatrolEntry>> pastedPatrolEntries(const QString &text);

// How many entries a list read entry by entry held, and how many lines (one
// to five) came after the last one.
struct PatrolListShape {
    qsizetype entries = 0;
    int leftoverLines = 0;
};

// The autopilot's reading, entry by entry: `take` sees every entry in list
// order and the list itself is never held, so a list costs little more than
// its file's bytes. The same refusals as readRunnablePatrolList, given once
// every entry was seen.
text::Result<PatrolListShape>
scanRunnablePatrolList(const QString &path, const std::function<void(const PatrolEntry &)> &take);

// The autopilot's reading: every entry is kept and a bad one is reported
// later, but a file that cannot be read, holds no complete entry or not one
// entry of a known keyword is refused, saying why.
text::Result<PatrolListFile> readRunnablePatrolList(const QString &path);

} // namespace kirano

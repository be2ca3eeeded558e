#pragma once
// Reading whole files and replacing them atomically, with the platform's
// error texts.

#include "text/result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <optional>

namespace kirano::text {

// "ﾌｧｲﾙ %s を作成できません" with the path filled in.
QString cannotCreateText(const QString &path);
// "ﾌｧｲﾙ %s を削除できません" with the path filled in, and on a line of its
// own why.
QString cannotDeleteText(const QString &path, const IoError &error);

// "%1 を読めません: %2", the path and why: how a file that cannot be read
// is named where no entry or view says it.
QString cannotReadText(const QString &path, const IoError &error);

// Why something other than a regular file is not written over.
IoError notRegularFile();

// The most bytes a file read whole may hold: half the machine's memory.
qint64 largestReadable();

// The whole content of a regular file (links followed). A folder, a FIFO, a
// device or a socket cannot be read and is never opened; nor can a file too
// large for the memory left. A file of more than `most` bytes is refused
// before a byte is read (EFBIG, "大きすぎます (N バイト)").
Result<QByteArray> readFile(const QString &path, qint64 most = largestReadable());

// The size of a regular file that can be read (links followed), learned
// without reading it: it is opened and its first byte read, as sending it
// would. A folder, a FIFO, a device or a socket fails as for readFile,
// never opened.
Result<qint64> readableFileSize(const QString &path);

// Replaces the file with the bytes. The new content is written beside the
// file and renamed over it only when every byte reached the disk, so a
// failure (a full disk, a size limit) leaves the previous content as it was.
// A file that did not exist yet gets `newFilePermissions` when given, before
// it appears; one that did keeps its own. A link is followed and stays. Only
// a regular file is replaced: a path naming a folder, a device, a FIFO or a
// socket (or a link to one) is refused, and the thing left untouched.
Result<> writeFile(const QString &path, const QByteArray &content,
                   std::optional<QFileDevice::Permissions> newFilePermissions = {});

// Removes from the folder the temporary files that writeFile() left when
// its process was killed before it finished; those of a writer still at work
// stay.
void removeLeftTemporaries(const QString &folder);

// writeFile of the lines, each ended by CR LF.
Result<> writeLines(const QString &path, const QList<QByteArray> &lines,
                    std::optional<QFileDevice::Permissions> newFilePermissions = {});

// Adds the bytes at the end of a regular file, making it when it is missing.
// What the file held is neither read nor rewritten, so appending costs the
// same whatever its size. A failed append cuts the file back to its previous
// length: nothing that was there is lost, and no half of the new bytes stays.
Result<> appendFile(const QString &path, const QByteArray &content);
// appendFile of the lines, each ended by CR LF, on lines of their own: when
// the file's last line has lost its line end, one is put before them. Of
// what the file held, only its last byte is read.
Result<> appendLines(const QString &path, const QList<QByteArray> &lines);

// Deletes the file. A file that is not there counts as deleted; after a
// failure the file stays as it was.
Result<> removeFile(const QString &path);

// A write past a size limit (ulimit -f) then fails with EFBIG, which names
// the file, leaves the previous content and lets the program go on, instead
// of the system ending the program in the middle of a write. Called once,
// at the start of each program.
void reportSizeLimitsAsErrors();

// Something other than a folder is there (links followed). Whether it can
// be read is readFile's answer.
bool fileExists(const QString &path);

// A folder (a plain prefix, as the settings hold it) and a name, as a native
// path.
QString pathIn(const QByteArray &folder, const QByteArray &name);

// A file of the data folder as the reports name it: its name alone.
QString shownName(const QByteArray &path);

// Nothing for a path that names exactly itself when stored as Shift_JIS:
// it encodes, decodes back to the same text (a look-alike such as U+301C
// would name another file) and holds no CR, LF or NUL. Else the one line that
// refuses it.
std::optional<QString> pathProblem(const QString &path);

// The longest file name, in bytes of the native name, that the folder's file
// system takes.
qsizetype nameMaxIn(const QString &folder);

// Whether a folder exists and files can be made in it.
bool isWritableFolder(const QString &folder);

} // namespace kirano::text

#pragma once
// Reading whole files and replacing them atomically, with the platform's
// error texts.

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <optional>

namespace kirano::text {

// An operating-system error number from a failed file operation.
struct IoError {
    int code = 0;
    // "ﾌｧｲﾙへのｱｸｾｽが拒否されました", "ﾃﾞｨｽｸがいっぱいです" or "I/O ｴﾗｰ (n)".
    QString text() const;
};

// "ﾌｧｲﾙ %s を作成できません" with the path filled in.
QString cannotCreateText(const QString &path);
// "ﾌｧｲﾙ %s を削除できません" with the path filled in, and on a line of its
// own why.
QString cannotDeleteText(const QString &path, const IoError &error);

// The whole content of a regular file (links followed). A folder, a FIFO, a
// device or a socket cannot be read and is never opened; nor can a file too
// large for the memory left.
std::optional<QByteArray> readFile(const QString &path, IoError *error = nullptr);

// Replaces the file with the bytes. The new content is written beside the
// file and renamed over it only when every byte reached it, so a failure (a
// full disk, a size limit) leaves the previous content as it was. Returns the
// error on failure. A file that did not exist yet gets `newFilePermissions`
// when given, before it appears.
std::optional<IoError> writeFile(const QString &path, const QByteArray &content,
                                 std::optional<QFileDevice::Permissions> newFilePermissions = {});

// writeFile of the lines, each ended by CR LF.
std::optional<IoError> writeLines(const QString &path, const QList<QByteArray> &lines,
                                  std::optional<QFileDevice::Permissions> newFilePermissions = {});

// Adds the bytes at the end of a regular file, making it when it is missing.
// What the file held is neither read nor rewritten, so appending costs the
// same whatever its size. A failed append cuts the file back to its previous
// length: nothing that was there is lost, and no half of the new bytes stays.
std::optional<IoError> appendFile(const QString &path, const QByteArray &content);

// Deletes the file. A file that is not there counts as deleted; a failure
// returns the error, and the file stays as it was.
std::optional<IoError> removeFile(const QString &path);

// Something other than a folder is there (links followed). Whether it can
// be read is readFile's answer.
bool fileExists(const QString &path);

} // namespace kirano::text

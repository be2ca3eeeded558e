#pragma once
// What checking and running a patrol list share: the list read entry by
// entry (a bad entry is reported, not the whole file refused), what each
// keyword's fields mean, the days rule and the captured files' date line.

#include "patrol/commands.h"
#include "patrol/patrolentry.h"
#include "patrol/patrolfile.h"
#include "patrol/weekdays.h"
#include "store/settingsfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace kirano::autopilot {

// The days rule lives with the weekdays.
using kirano::parseDays;
using kirano::weekdayCharacter;
using kirano::weekdayOf;

// "N番目 (columns of its display row)": how the reports name an entry,
// counted from 1.
QString entryLabel(int position, const PatrolEntry &entry);

// "データ取得日 YY/MM/DD HH:MM", the last line of every captured file.
QByteArray dateLine(const QDateTime &when);

// A folder (a plain prefix, as the settings hold it) and a name, as a native
// path.
QString pathIn(const QByteArray &folder, const QByteArray &name);

// A file of the data folder as the reports name it: its name alone.
QString shownName(const QByteArray &path);

// Why the notice-reading command cannot run, the same for check and run:
// the notice selection is missing.
QString noNoticeSelection(const SettingsFolders &folders);

// Nothing for a path that names exactly itself when stored as Shift_JIS:
// it encodes, decodes back to the same text (a look-alike such as U+301C
// would name another file) and holds no CR, LF or NUL. Else the one line that
// refuses it.
std::optional<QString> pathProblem(const QString &path);

// Nothing for a download name that is a plain file name in its folder: its
// text holds no separator, no ".." and no character the bytes do not make,
// goes back to the same bytes, and fits the file system's name length. Else
// the line that refuses it, the same for check and run.
// `nameMax` answers the longest name a folder's file system takes, when the
// caller remembers it; without it the file system is asked each time.
using NameMax = std::function<qsizetype(const QString &folder)>;
std::optional<QString> downloadNameProblem(const SettingsFolders &folders, const QByteArray &name,
                                           const NameMax &nameMax = {});

// One line for each folder of the settings file that cannot be used as a
// prefix: its line is missing (or empty), it does not end with a separator,
// or it does not exist. Empty when all eight can.
QStringList settingsProblems(const QString &settingsPath, const SettingsFolders &folders);

// "ﾌｧｲﾙ %s を作成できません" with the platform's reason after it: how a
// failed write is reported.
text::IoError cannotWrite(const QString &path, const text::IoError &error);

// A file an entry writes when it runs, and what it is to the entry.
struct WrittenFile {
    enum Role { Captured, Log, Download };
    QByteArray path; // a plain path, as entries and settings make it
    Role role;
};
// The files an entry of `command` writes: the top page of the forum it
// enters, then what it captures, its log or its download. Check and run
// both refuse one whose path names something that is no regular file.
QList<WrittenFile> filesWritten(const PatrolEntry &entry, Command command,
                                const SettingsFolders &folders);
// The files every run writes besides: the warnings, the run record.
QList<QByteArray> sessionFilesWritten(const SettingsFolders &folders);
// "ﾌｧｲﾙ %1 を作成できません (通常のファイルではありません)" for each of
// those that names something other than a regular file (links followed).
QStringList sessionProblems(const SettingsFolders &folders);

// Why a file to post or send cannot be sent, the same for check and run:
// it is missing, it is no regular file, or it cannot be read (`code`, the
// system's error number).
QString sendFileProblem(const QByteArray &file, int code);

// The longest file name, in bytes of the native name, that the folder's file
// system takes.
qsizetype nameMaxIn(const QString &folder);

// Whether a folder exists and files can be made in it.
bool isWritableFolder(const QString &folder);

// What is wrong with an entry's fields on their own, before any data is
// looked at: an unknown keyword, a room, library, download number, count,
// date or category that is no number or out of range, an empty subject, a
// download name that is no plain file name. Empty when nothing is. The days
// are checked apart (daysProblem).
// `nameRule` answers downloadNameProblem() for a name, when the caller
// remembers its answers.
using NameRule = std::function<std::optional<QString>(const QByteArray &name)>;
QStringList fieldProblems(const PatrolEntry &entry, const SettingsFolders &folders,
                          const NameRule &nameRule = {});
// The same for an entry whose keyword is known to be `command`'s.
QStringList fieldProblems(const PatrolEntry &entry, Command command, const SettingsFolders &folders,
                          const NameRule &nameRule = {});

// The room or library number of an entry whose fields passed: `param2` read
// once, by the whole-integer rule, as every file name built from it is.
qint32 roomOrLibraryNumber(const PatrolEntry &entry);
// Nothing when the days text is sound.
std::optional<QString> daysProblem(const QByteArray &days);

// The date a library's titles are fetched from: six digits YYMMDD (70 to
// 99 are 1900s).
std::optional<QDate> parseSinceDate(const QByteArray &text);

// The folder a download lands in: text files (.TXT, .DOC) in the text
// download folder, everything else in the binary one.
QByteArray downloadFolder(const SettingsFolders &folders, const QByteArray &fileName);

} // namespace kirano::autopilot

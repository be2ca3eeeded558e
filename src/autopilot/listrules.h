#pragma once
// What checking and running a patrol list share: the list read entry by
// entry (a bad entry is reported, not the whole file refused), what each
// keyword's fields mean, the days rule and the captured files' date line.

#include "dialogs/settingsfile.h"
#include "patrol/patrolentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace kirano::autopilot {

// Where a keyword acts, and which of its fields name a room, a library, a
// file to send or a log to write.
struct CommandShape {
    enum Target { Account, Forum, Patio };
    const char *keyword;
    Target target;
    bool room = false;
    bool library = false;
    QByteArray PatrolEntry::*sendFile = nullptr;
    QByteArray PatrolEntry::*logFile = nullptr;
};

// Nothing for a keyword outside the seventeen (compared byte for byte).
const CommandShape *commandShape(const QByteArray &keyword);

// Which of 日月火水木金土 (Sunday first) a days text holds; nothing when it
// is empty or anything but those characters, each at most once, in that
// order.
std::optional<std::array<bool, 7>> parseDays(const QByteArray &days);

// The character of a weekday, 0 = 日 (Sunday) to 6 = 土.
QByteArray weekdayCharacter(int day);
// 0 to 6, Sunday first, for a date.
int weekdayOf(const QDate &date);

// A patrol list file, every complete group of six lines an entry, kept
// whatever its fields hold.
struct PatrolListFile {
    QList<PatrolEntry> entries;
    int leftoverLines = 0; // one to five lines after the last entry
};

// Nothing, with the reason in `error`, when the file cannot be read or is
// not a patrol list: no complete entry, or not one entry of a known keyword.
std::optional<PatrolListFile> readPatrolListFile(const QString &path, QString *error);

// "N番目 (columns of its display row)": how the reports name an entry,
// counted from 1.
QString entryLabel(int position, const PatrolEntry &entry);

// "データ取得日 YY/MM/DD HH:MM", the last line of every captured file.
QByteArray dateLine(const QDateTime &when);

// A folder (a plain prefix, as the settings hold it) and a name, as a native
// path.
QString pathIn(const QByteArray &folder, const QByteArray &name);

// True for a name that stays inside the folder it is put in: no separator,
// no "." or "..", not empty.
bool isPlainFileName(const QByteArray &name);

// Whether a folder exists and files can be made in it.
bool isWritableFolder(const QString &folder);

// What is wrong with an entry's fields on their own, before any data is
// looked at: an unknown keyword, a room, library, download number, count,
// date or category that is no number or out of range, an empty subject.
// Empty when nothing is. The days are checked apart (daysProblem).
QStringList fieldProblems(const PatrolEntry &entry);
// Nothing when the days text is sound.
std::optional<QString> daysProblem(const QByteArray &days);

// The date of "dltitleb", six digits YYMMDD (70 to 99 are 1900s).
std::optional<QDate> parseSinceDate(const QByteArray &text);

// The folder a download lands in: text files (.TXT, .DOC) in the text
// download folder, everything else in the binary one.
QByteArray downloadFolder(const SettingsFolders &folders, const QByteArray &fileName);

} // namespace kirano::autopilot

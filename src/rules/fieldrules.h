#pragma once
// What each parameter of an entry must hold, by the command vocabulary: the
// field rules that check, the window's marks and run share, and the readings
// of a field that passed them.

#include "patrol/commands.h"
#include "patrol/patrolentry.h"
#include "store/settingsfile.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kirano::rules {

// Nothing for a download name that is a plain file name in its folder: its
// text holds no separator, no ".." and no character the bytes do not make,
// goes back to the same bytes, and fits the file system's name length. Else
// the line that refuses it, the same for check and run.
// `nameMax` answers the longest name a folder's file system takes, when the
// caller remembers it; without it the file system is asked each time.
using NameMax = std::function<qsizetype(const QString &folder)>;
std::optional<QString> downloadNameProblem(const SettingsFolders &folders, const QByteArray &name,
                                           const NameMax &nameMax = {});

// The folder a download lands in: text files (.TXT, .DOC) in the text
// download folder, everything else in the binary one.
QByteArray downloadFolder(const SettingsFolders &folders, const QByteArray &fileName);

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

// The date a library's titles are fetched from: six digits YYMMDD (70 to
// 99 are 1900s).
std::optional<QDate> parseSinceDate(const QByteArray &text);

} // namespace kirano::rules

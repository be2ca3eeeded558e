#pragma once
// The files and folders an entry or a run reads and writes, and why one of
// them stops it: the same words for check, the window's marks and run.

#include "patrol/commands.h"
#include "patrol/patrolentry.h"
#include "store/settingsfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kirano::rules {

// Why the notice-reading command cannot run, the same for check and run:
// the notice selection is missing.
QString noNoticeSelection(const SettingsFolders &folders);

// Why a file to post or send cannot be sent, the same for check and run:
// it is missing, it is no regular file, or it cannot be read (`code`, the
// system's error number).
QString sendFileProblem(const QByteArray &file, int code);

// One line for each folder of the settings file that cannot be used as a
// prefix: its line is missing (or empty), it does not end with a separator,
// or it does not exist. Empty when all eight can.
QStringList settingsProblems(const QString &settingsPath, const SettingsFolders &folders);

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

} // namespace kirano::rules

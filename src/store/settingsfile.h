#pragma once
// The settings file: three flag lines then eight folder lines, Shift_JIS,
// CR LF. It lies beside the program, or for an installed program in the
// user's configuration folder (settingsFilePath()).

#include "text/files.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace kirano {

// The eight folders in file order. Each is used as a plain prefix of the
// file names built from it.
struct SettingsFolders {
    enum Folder {
        Log,
        Data,
        PatrolList,
        Autopilot,
        TextUpload,
        BinaryUpload,
        TextDownload,
        BinaryDownload,
        Count
    };
    std::array<QByteArray, Count> folders;

    static SettingsFolders allSetTo(const QByteArray &folder);

    const QByteArray &logFolder() const { return folders[Log]; }
    const QByteArray &dataFolder() const { return folders[Data]; }
    const QByteArray &patrolListFolder() const { return folders[PatrolList]; }
    const QByteArray &autopilotFolder() const { return folders[Autopilot]; }
    const QByteArray &textUploadFolder() const { return folders[TextUpload]; }
    const QByteArray &binaryUploadFolder() const { return folders[BinaryUpload]; }
    const QByteArray &textDownloadFolder() const { return folders[TextDownload]; }
    const QByteArray &binaryDownloadFolder() const { return folders[BinaryDownload]; }

    bool operator==(const SettingsFolders &o) const { return folders == o.folders; }
};

// The three autopilot flags; the program only stores and shows them.
struct SettingsFlags {
    bool logoutAfterPatrol = true;
    bool saveReceivedMail = true;
    bool receiveBinaryMail = true;
};

inline const QString kSettingsFileName = QStringLiteral(u"環境設定.txt");

// Where Kirano and the autopilot alike find the settings file, given the
// running program's folder (ending with '/'): beside the program when one is
// there, or when the user may write in that folder (the portable program
// folder); otherwise, for an installed program (in a folder the user may not
// write in, or anywhere under /usr/, where nothing is written at run time,
// not even by root), in userSettingsFolder().
QString settingsFilePath(const QString &programFolder);

// $XDG_CONFIG_HOME/kirano/, by default ~/.config/kirano/; ends with '/'.
QString userSettingsFolder();

// Where Kirano keeps what no required file holds, per user (the recovery
// copies, the recent files): $XDG_DATA_HOME/kirano/, by default
// ~/.local/share/kirano/; ends with '/'.
QString userDataFolder();

// The rule above in the words of the programs' --help: lines indented by two
// blanks.
QString settingsRuleText();

// Lines 4 to 11; missing lines give empty folders.
text::Result<SettingsFolders> readSettingsFolders(const QString &path);

// Lines 1 to 3; a flag is on exactly when its line is the one character "1".
text::Result<SettingsFlags> readSettingsFlags(const QString &path);

// All 11 lines, replacing the file atomically. The user's settings folder
// is made on the first write into it.
text::Result<> writeSettings(const QString &path, const SettingsFlags &flags,
                             const SettingsFolders &folders);

} // namespace kirano

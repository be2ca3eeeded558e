#include "store/settingsfile.h"
#include "text/lines.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#include <vector>
#endif

namespace kirano {

SettingsFolders SettingsFolders::allSetTo(const QByteArray &folder) {
    SettingsFolders s;
    s.folders.fill(folder);
    return s;
}

namespace {

const QString kUserFolderName = QStringLiteral("kirano");

#ifdef Q_OS_UNIX
bool inGroup(uint group) {
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? count : 0);
    if (count > 0 && getgroups(count, groups.data()) == count) {
        for (gid_t g : groups) {
            if (g == group)
                return true;
        }
    }
    return false;
}
#endif

// Root may write anywhere; whether a folder is meant to be written is what
// its permission bits say to the user, root included.
bool userMayWriteIn(const QString &folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
#ifdef Q_OS_UNIX
    const QFile::Permissions bits = info.permissions();
    if (info.ownerId() == geteuid())
        return bits.testFlag(QFile::WriteOwner);
    if (inGroup(info.groupId()))
        return bits.testFlag(QFile::WriteGroup);
    return bits.testFlag(QFile::WriteOther);
#else
    return true;
#endif
}

bool underUsr(const QString &folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real == u"/usr" || real.startsWith(QStringLiteral("/usr/"));
}

bool inUserSettingsFolder(const QString &path) {
    return QDir::cleanPath(QFileInfo(path).absolutePath()) == QDir::cleanPath(userSettingsFolder());
}

// Each missing level readable by the user alone, as configuration folders
// are made.
void makeUserSettingsFolder() {
    QStringList missing;
    for (QString f = QDir::cleanPath(userSettingsFolder()); !QFileInfo::exists(f);) {
        missing.prepend(f);
        const QString parent = QFileInfo(f).absolutePath();
        if (parent == f)
            break;
        f = parent;
    }
    for (const QString &f : missing) {
        if (!QDir().mkdir(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return; // the write that follows says why
    }
}

text::Result<text::LineReader> openSettings(const QString &path) {
    text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return content.error();
    return text::LineReader(std::move(*content));
}

} // namespace

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kirano/");
}

QString userSettingsFolder() {
    QString configuration = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // A relative $XDG_CONFIG_HOME is to be ignored, not taken from the
    // working folder.
    if (!QDir::isAbsolutePath(configuration))
        configuration = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(configuration + u'/' + kUserFolderName) + u'/';
}

QString settingsFilePath(const QString &programFolder) {
    const QString beside = programFolder + kSettingsFileName;
    const QFileInfo there(beside);
    if (there.exists() || there.isSymLink() ||
        (userMayWriteIn(programFolder) && !underUsr(programFolder)))
        return beside;
    return userSettingsFolder() + kSettingsFileName;
}

QString settingsRuleText() {
    return QStringLiteral(u"  このプログラムと同じフォルダの%1。\n"
                          u"  そこになく、そのフォルダに書き込めないとき (/usr/ の下など) は\n"
                          u"  $XDG_CONFIG_HOME/%2/%1\n"
                          u"  (既定は ~/.config/%2/%1)。")
        .arg(kSettingsFileName, kUserFolderName);
}

text::Result<SettingsFolders> readSettingsFolders(const QString &path) {
    text::Result<text::LineReader> reader = openSettings(path);
    if (!reader)
        return reader.error();
    for (int flag = 0; flag < 3; ++flag)
        reader->readLine();
    SettingsFolders result;
    for (QByteArray &folder : result.folders)
        folder = reader->readLine();
    return result;
}

text::Result<SettingsFlags> readSettingsFlags(const QString &path) {
    text::Result<text::LineReader> reader = openSettings(path);
    if (!reader)
        return reader.error();
    auto on = [&reader] { return reader->readLine() == "1"; };
    SettingsFlags flags;
    flags.logoutAfterPatrol = on();
    flags.saveReceivedMail = on();
    flags.receiveBinaryMail = on();
    return flags;
}

text::Result<> writeSettings(const QString &path, const SettingsFlags &flags,
                             const SettingsFolders &folders) {
    auto flagLine = [](bool on) { return on ? QByteArray("1") : QByteArray("0"); };
    QList<QByteArray> lines{flagLine(flags.logoutAfterPatrol), flagLine(flags.saveReceivedMail),
                            flagLine(flags.receiveBinaryMail)};
    for (const QByteArray &folder : folders.folders)
        lines.append(folder);
    if (inUserSettingsFolder(path))
        makeUserSettingsFolder();
    return text::writeLines(path, lines);
}

} // namespace kirano

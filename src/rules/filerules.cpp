#include "rules/filerules.h"
#include "rules/fieldrules.h"
#include "store/datafolder.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace kirano::rules {

QString noNoticeSelection(const SettingsFolders &folders) {
    return QStringLiteral(u"読むお知らせを選んだ %1 がありません")
        .arg(text::shownName(DataFolder(folders.dataFolder()).noticeSelection()));
}

QStringList settingsProblems(const QString &settingsPath, const SettingsFolders &folders) {
    // The settings file holds three flag lines, then the eight folders.
    constexpr int kFirstFolderLine = 4;
    const QString separators = QStringLiteral("/") + QDir::separator();
    QStringList problems;
    for (int i = 0; i < SettingsFolders::Count; ++i) {
        const QString where = QStringLiteral(u"設定ファイル %1 の %2 行目")
                                  .arg(settingsPath)
                                  .arg(kFirstFolderLine + i);
        const QString folder = text::nativePath(folders.folders[i]);
        if (folder.isEmpty())
            problems << where + QStringLiteral(u": フォルダがありません");
        else if (!separators.contains(folder.back()))
            problems << where + QStringLiteral(u": フォルダ「%1」が %2 で終わっていません")
                                    .arg(folder, QDir::separator());
        else if (!QFileInfo(folder).isDir())
            problems << where + QStringLiteral(u": フォルダ「%1」がありません").arg(folder);
    }
    return problems;
}

QList<WrittenFile> filesWritten(const PatrolEntry &e, Command command,
                                const SettingsFolders &folders) {
    const DataFolder data(folders.dataFolder());
    QList<WrittenFile> written;
    if (commandInfo(command).target == Target::Forum)
        written.append({data.topPage(e.param1), WrittenFile::Captured});
    switch (command) {
    case Command::Bill:
        written.append({data.fees(), WrittenFile::Captured});
        break;
    case Command::Myforum:
        written.append({data.forumList(), WrittenFile::Captured});
        break;
    case Command::Newtitle:
        written.append({data.notices(), WrittenFile::Captured});
        break;
    case Command::Mestitlea:
        written.append({data.rooms(e.param1), WrittenFile::Captured});
        break;
    case Command::Dltitlea:
        written.append({data.libraries(e.param1), WrittenFile::Captured});
        break;
    case Command::Dltitleb:
        written.append(
            {data.libraryFiles(e.param1, roomOrLibraryNumber(e)), WrittenFile::Captured});
        break;
    case Command::Dldown:
        written.append({downloadFolder(folders, e.param4) + e.param4, WrittenFile::Download});
        break;
    case Command::Mesread:
    case Command::New:
    case Command::Patioread:
        written.append({e.field(paramWith(command, Param::LogFile)), WrittenFile::Log});
        break;
    case Command::Mesup:
    case Command::Mailuptxt:
    case Command::Mailupbin:
    case Command::Mesrc:
    case Command::Patioup:
    case Command::Patiorc:
    case Command::Bbsup:
        break;
    }
    return written;
}

QList<QByteArray> sessionFilesWritten(const SettingsFolders &folders) {
    return {DataFolder(folders.dataFolder()).warnings(), runRecord(folders.autopilotFolder())};
}

QStringList sessionProblems(const SettingsFolders &folders) {
    QStringList problems;
    for (const QByteArray &file : sessionFilesWritten(folders)) {
        const QString path = text::nativePath(file);
        const QFileInfo info(path);
        if (info.exists() && !info.isFile())
            problems << text::cannotWrite(path, text::notRegularFile()).text();
    }
    return problems;
}

QString sendFileProblem(const QByteArray &file, int code) {
    const QString shown = text::decode(file);
    if (code == ENOENT)
        return QStringLiteral(u"送るファイル「%1」がありません").arg(shown);
    if (code == ENODEV || code == EISDIR)
        return QStringLiteral(u"送るファイル「%1」は通常のファイルではありません").arg(shown);
    return QStringLiteral(u"送るファイル「%1」を読めません (%2)")
        .arg(shown, text::IoError(code).text());
}

} // namespace kirano::rules

#include "rules/patrolcheck.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/forumlist.h"
#include "store/patiofile.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <optional>

namespace kirano::autopilot {

namespace {

// The numbers a captured list holds (the leading number of each row's
// first `width` bytes, or of the whole row); nothing when it is not there.
std::optional<QSet<qint32>> numbersIn(const QString &path, int width) {
    if (!text::fileExists(path))
        return std::nullopt;
    QSet<qint32> numbers;
    for (const QByteArray &row : loadCapturedRows(path).rows)
        numbers.insert(text::leadingNumber(width > 0 ? text::bytesAt(row, 1, width) : row));
    return numbers;
}

class Checker {
  public:
    explicit Checker(const SettingsFolders &folders)
        : folders_(folders), data_(folders.dataFolder()) {
        for (const ForumRecord &forum : readForumList(text::nativePath(data_.forumList())))
            forums_.insert(forum.code);
        if (const text::Result<QList<PatioRecord>> patios =
                readPatioList(text::nativePath(data_.patioList()))) {
            for (const PatioRecord &patio : *patios)
                patioPasswords_.insert(patio.id, patio.password);
        }
    }

    QStringList problems(const PatrolEntry &e) {
        QStringList found = fieldProblems(e, folders_);
        const std::optional<Command> command = commandOf(e.command);
        if (command && found.isEmpty()) {
            const CommandInfo &info = commandInfo(*command);
            if (info.target == Target::Forum)
                found << forumProblems(*command, e);
            if (info.target == Target::Patio)
                found << patioProblems(e);
            if (const int send = paramWith(*command, Param::SendFile);
                send && !text::fileExists(text::nativePath(e.field(send))))
                found << QStringLiteral(u"送るファイル「%1」がありません")
                             .arg(text::decode(e.field(send)));
            if (const int log = paramWith(*command, Param::LogFile))
                found << folderProblem(QFileInfo(text::nativePath(e.field(log))).path(),
                                       QStringLiteral(u"ログ"));
            if (const int name = paramWith(*command, Param::DownloadName))
                found << folderProblem(text::nativePath(downloadFolder(folders_, e.field(name))),
                                       QStringLiteral(u"ダウンロード"));
            if (*command == Command::New &&
                !text::fileExists(text::nativePath(data_.noticeSelection())))
                found << noNoticeSelection(folders_);
        }
        if (std::optional<QString> days = daysProblem(e.days))
            found << *days;
        found.removeAll(QString());
        return found;
    }

  private:
    QStringList forumProblems(Command command, const PatrolEntry &e) {
        const QString code = text::decode(e.param1);
        if (!forums_.contains(e.param1))
            return {QStringLiteral(u"フォーラム「%1」が %2 にありません")
                        .arg(code, shownName(data_.forumList()))};
        const qint32 number = roomOrLibraryNumber(e);
        if (paramWith(command, Param::RoomNumber) &&
            !listed(text::nativePath(data_.rooms(e.param1)), 2, number))
            return {QStringLiteral(u"%1番会議室が %2 の会議室リストにありません")
                        .arg(number)
                        .arg(code)};
        if (paramWith(command, Param::LibraryNumber) &&
            !listed(text::nativePath(data_.libraries(e.param1)), 4, number))
            return {QStringLiteral(u"%1番ライブラリィが %2 のライブラリィリストにありません")
                        .arg(number)
                        .arg(code)};
        if (const int download = paramWith(command, Param::DownloadNumber)) {
            const QByteArray list = data_.libraryFiles(e.param1, number);
            const qint32 file = text::strictInteger(e.field(download)).value_or(0);
            if (!listed(text::nativePath(list), 0, file))
                return {QStringLiteral(u"ダウンロード番号 %1 が %2 にありません")
                            .arg(file)
                            .arg(shownName(list))};
        }
        return {};
    }

    QStringList patioProblems(const PatrolEntry &e) {
        const auto known = patioPasswords_.constFind(e.param1);
        if (known == patioPasswords_.constEnd())
            return {QStringLiteral(u"パティオＩＤ「%1」が %2 にありません")
                        .arg(text::decode(e.param1), shownName(data_.patioList()))};
        if (*known != e.param2)
            return {QStringLiteral(u"パティオＩＤ「%1」のパスワードが %2 と違います")
                        .arg(text::decode(e.param1), shownName(data_.patioList()))};
        return {};
    }

    QString folderProblem(const QString &folder, const QString &what) const {
        if (isWritableFolder(folder))
            return {};
        return QStringLiteral(u"%1のフォルダ「%2」に書き込めません").arg(what, folder);
    }

    // True when the list is missing (nothing to go by) or holds the number.
    bool listed(const QString &path, int width, qint32 number) {
        const QString key = path + u'|' + QString::number(width);
        auto cached = lists_.constFind(key);
        if (cached == lists_.constEnd())
            cached = lists_.insert(key, numbersIn(path, width));
        return !*cached || (*cached)->contains(number);
    }

    const SettingsFolders &folders_;
    const DataFolder data_;
    QSet<QByteArray> forums_;
    QHash<QByteArray, QByteArray> patioPasswords_;
    QHash<QString, std::optional<QSet<qint32>>> lists_;
};

} // namespace

QStringList checkPatrolList(const PatrolListFile &list, const SettingsFolders &folders) {
    Checker checker(folders);
    QStringList lines;
    for (int i = 0; i < list.entries.size(); ++i) {
        const PatrolEntry &entry = list.entries[i];
        const QStringList problems = checker.problems(entry);
        if (problems.isEmpty())
            continue;
        const QString label = entryLabel(i + 1, entry);
        for (const QString &problem : problems)
            lines << label + QStringLiteral(u": ") + problem;
    }
    if (list.leftoverLines > 0)
        lines << QStringLiteral(u"末尾: 六行に満たない最後の %1 行は読まれません")
                     .arg(list.leftoverLines);
    return lines;
}

} // namespace kirano::autopilot

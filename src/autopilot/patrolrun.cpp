#include "autopilot/patrolrun.h"
#include "patrol/displayrow.h"
#include "patrol/weekdays.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace kirano::autopilot {

namespace {

// Done, or why the entry or the session failed.
using Outcome = text::Result<>;

text::IoError failure(const QString &why) {
    return text::IoError(why);
}

QString shown(const QByteArray &field) {
    return text::decode(field);
}

// Every file a run leaves goes through the one atomic writer: a failed
// write keeps the previous file and fails the entry with the platform's
// reason.
Outcome writeOrWhy(const QString &path, const QByteArray &content) {
    if (const Outcome written = text::writeFile(path, content); !written)
        return text::cannotWrite(path, written.error());
    return {};
}

// Every captured file ends with the date line the views show.
QByteArray captured(QList<QByteArray> lines, const QDateTime &now) {
    lines.append(dateLine(now));
    return text::joinCrLf(lines);
}

// A run killed while it wrote left a temporary file beside what it wrote:
// the next run removes them, once in each folder it writes in.
class Sweeper {
  public:
    void before(const QString &file) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!swept_.contains(folder)) {
            swept_.insert(folder);
            text::removeLeftTemporaries(folder);
        }
    }

  private:
    QSet<QString> swept_;
};

class Runner {
  public:
    Runner(const SettingsFolders &folders, const SimService &service, const RunOptions &options,
           Sweeper &sweeper)
        : folders_(folders), data_(folders.dataFolder()), service_(service), options_(options),
          sweeper_(sweeper) {}

    // Done when the entry was carried out; else why not.
    Outcome execute(const PatrolEntry &e) {
        const QStringList problems = rules::fieldProblems(e, folders_);
        if (!problems.isEmpty())
            return failure(problems.first());
        const Command command = *commandOf(e.command);
        // Nothing is written where the entry would write over something
        // other than a regular file, as check says beforehand.
        for (const rules::WrittenFile &file : rules::filesWritten(e, command, folders_)) {
            const QString path = text::nativePath(file.path);
            const QFileInfo info(path);
            if (info.exists() && !info.isFile())
                return text::cannotWrite(path, text::notRegularFile());
        }
        switch (command) {
        case Command::Bill:
            return writeCaptured(text::nativePath(data_.fees()), service_.billLines());
        case Command::Myforum: // a list of two-line records only: no date line fits in it
            return write(text::nativePath(data_.forumList()),
                         text::joinCrLf(service_.forumListLines()));
        case Command::Newtitle:
            return writeCaptured(text::nativePath(data_.notices()), service_.noticeRows());
        case Command::New:
            return readNotices(e);
        case Command::Mailuptxt:
        case Command::Mailupbin:
        case Command::Bbsup:
            return send(command, e);
        case Command::Mestitlea:
        case Command::Dltitlea:
        case Command::Mesread:
        case Command::Mesup:
        case Command::Mesrc:
        case Command::Dltitleb:
        case Command::Dldown:
            return forumCommand(command, e);
        case Command::Patioread:
        case Command::Patioup:
        case Command::Patiorc:
            return patio(command, e);
        }
        return failure(QString()); // not reached: every command is named above
    }

    QStringList runLog;

  private:
    Outcome write(const QString &path, const QByteArray &content) {
        sweeper_.before(path);
        return writeOrWhy(path, content);
    }

    Outcome writeCaptured(const QString &path, const QList<QByteArray> &lines) {
        return write(path, captured(lines, options_.now));
    }

    // The file to post or send must be a regular file that can be read; its
    // size goes to the run log, learned without reading it.
    text::Result<qint64> sendFile(const QByteArray &path) {
        const text::Result<qint64> size = text::readableFileSize(text::nativePath(path));
        if (!size)
            return failure(rules::sendFileProblem(path, size.error().code()));
        return size;
    }

    void record(const QString &what, const QByteArray &file, qint64 size) {
        runLog << QStringLiteral(u"%1  %2 (%3バイト)").arg(what, shown(file)).arg(size);
    }

    // Mails and the board: the file to send, as the vocabulary places it.
    Outcome send(Command command, const PatrolEntry &e) {
        const QByteArray &file = e.field(paramWith(command, Param::SendFile));
        const text::Result<qint64> size = sendFile(file);
        if (!size)
            return size.error();
        if (command == Command::Mailuptxt)
            record(QStringLiteral(u"テキストメール送信"), file, *size);
        else if (command == Command::Mailupbin)
            record(QStringLiteral(u"バイナリメール送信 題名「%1」 送り先 %2")
                       .arg(shown(e.param2), shown(e.param3)),
                   file, *size);
        else
            record(QStringLiteral(u"掲示板書き込み %1-%2").arg(shown(e.param1), shown(e.param2)),
                   file, *size);
        return {};
    }

    Outcome readNotices(const PatrolEntry &e) {
        const text::Result<QByteArray> content =
            text::readFile(text::nativePath(data_.noticeSelection()));
        if (!content)
            return failure(rules::noNoticeSelection(folders_));
        QList<QByteArray> log;
        for (const QByteArray &title : text::splitLines(*content)) {
            std::optional<QList<QByteArray>> notice = service_.notice(title);
            if (!notice)
                return failure(QStringLiteral(u"お知らせ「%1」はありません").arg(shown(title)));
            log << *notice << QByteArray();
        }
        return writeCaptured(text::nativePath(e.param1), log);
    }

    Outcome patio(Command command, const PatrolEntry &e) {
        const int index = service_.patioIndex(e.param1);
        if (index < 0)
            return failure(QStringLiteral(u"パティオＩＤ「%1」はありません").arg(shown(e.param1)));
        if (service_.patios().at(index).password != e.param2)
            return failure(
                QStringLiteral(u"パティオＩＤ「%1」のパスワードが違います").arg(shown(e.param1)));
        if (command == Command::Patioread)
            return writeCaptured(text::nativePath(e.param3), service_.patioMessages(index));
        if (command == Command::Patiorc) {
            runLog << QStringLiteral(u"パティオの既読 %1 を %2 に")
                          .arg(shown(e.param1), shown(e.param3));
            return {};
        }
        const text::Result<qint64> size = sendFile(e.param3);
        if (!size)
            return size.error();
        record(QStringLiteral(u"パティオ書き込み %1").arg(shown(e.param1)), e.param3, *size);
        return {};
    }

    // Entering a forum fetches its top page, once a run.
    Outcome enterForum(int forum, const QByteArray &code) {
        if (visited_.contains(forum))
            return {};
        const QString folder = text::nativePath(data_.forumFolder(code));
        if (!QDir().mkpath(folder))
            return failure(QStringLiteral(u"フォルダ %1 を作成できません").arg(folder));
        visited_.insert(forum);
        return writeCaptured(text::nativePath(data_.topPage(code)), service_.topPage(forum));
    }

    Outcome forumCommand(Command command, const PatrolEntry &e) {
        const QByteArray &code = e.param1;
        const int forum = service_.forumIndex(code);
        if (forum < 0)
            return failure(
                QStringLiteral(u"フォーラム「%1」はサービスにありません").arg(shown(code)));
        if (Outcome entered = enterForum(forum, code); !entered)
            return entered;
        if (command == Command::Mestitlea)
            return writeCaptured(text::nativePath(data_.rooms(code)), service_.roomRows(forum));
        if (command == Command::Dltitlea)
            return writeCaptured(text::nativePath(data_.libraries(code)),
                                 service_.libraryRows(forum));
        const qint32 number = rules::roomOrLibraryNumber(e);
        if (paramWith(command, Param::RoomNumber)) {
            if (number > service_.roomCount(forum))
                return failure(QStringLiteral(u"%1番会議室はありません").arg(number));
            if (command == Command::Mesread)
                return writeCaptured(text::nativePath(e.param3),
                                     service_.roomMessages(forum, number));
            if (command == Command::Mesrc) {
                runLog << QStringLiteral(u"会議室の未読 %1 %2番 を %3 に")
                              .arg(shown(code))
                              .arg(number)
                              .arg(shown(e.param3));
                return {};
            }
            const text::Result<qint64> size = sendFile(e.param3);
            if (!size)
                return size.error();
            record(QStringLiteral(u"会議室に書き込み %1 %2番").arg(shown(code)).arg(number),
                   e.param3, *size);
            return {};
        }
        if (number > service_.libraryCount(forum))
            return failure(QStringLiteral(u"%1番ライブラリィはありません").arg(number));
        const QList<LibraryFile> files = service_.libraryFiles(forum, number);
        if (command == Command::Dltitleb) {
            const QDate since = *rules::parseSinceDate(e.param3);
            QList<QByteArray> rows;
            for (const LibraryFile &file : files) {
                if (file.date >= since)
                    rows.append(file.row);
            }
            // Named by the number's decimal form, as Kirano and check look for it.
            return writeCaptured(text::nativePath(data_.libraryFiles(code, number)), rows);
        }
        // dldown: the file is stored as it came.
        const qint32 download = text::strictInteger(e.param3).value_or(0);
        for (const LibraryFile &file : files) {
            if (file.number == download)
                return write(text::pathIn(rules::downloadFolder(folders_, e.param4), e.param4),
                             service_.fileContent(forum, number, file));
        }
        return failure(QStringLiteral(u"ダウンロード番号 %1 はありません").arg(download));
    }

    const SettingsFolders &folders_;
    const DataFolder data_;
    const SimService &service_;
    const RunOptions &options_;
    Sweeper &sweeper_;
    QSet<int> visited_;
};

// The run log grows run after run. Each run appends its lines and never
// rewrites what earlier runs left, whatever bytes those hold; its header
// starts a line of its own even after a last line cut short. A failed
// append leaves the record as it was. An append cut short by the end of the
// program (a kill) leaves the mark beside the record, and the next run's
// header says that the run before it is not whole.
Outcome appendRunLog(const SettingsFolders &folders, const QDateTime &now, const QStringList &lines,
                     Sweeper &sweeper) {
    const QString path = text::nativePath(runRecord(folders.autopilotFolder()));
    const QString mark = text::nativePath(runRecordMark(folders.autopilotFolder()));
    sweeper.before(path);
    QList<QByteArray> log;
    log.reserve(lines.size() + 1);
    QByteArray header =
        text::bytesOf(u"== 巡回 ") + now.toString(QStringLiteral("yy/MM/dd HH:mm")).toLatin1();
    if (QFileInfo::exists(mark))
        header += text::bytesOf(u" (前の巡回の記録は途中で切れています)");
    log.append(header);
    for (const QString &line : lines)
        log.append(text::encode(line).value_or(text::bytesOf(u"(表せない文字を含む行)")));
    if (const Outcome marked = text::writeFile(mark, QByteArray()); !marked)
        return text::cannotWrite(mark, marked.error());
    const Outcome appended = text::appendLines(path, log);
    text::removeFile(mark);
    if (!appended)
        return text::cannotWrite(path, appended.error());
    return {};
}

} // namespace

RunReport runPatrolList(const PatrolListFile &list, const SettingsFolders &folders,
                        const SimService &service, const RunOptions &options) {
    Sweeper sweeper;
    Runner runner(folders, service, options, sweeper);
    RunReport report;
    for (int i = 0; i < list.entries.size(); ++i) {
        const PatrolEntry &entry = list.entries[i];
        const QString label = entryLabel(i + 1, entry);
        const std::optional<QString> badDays = daysProblem(entry.days);
        if (!badDays && options.day && !(*parseDays(entry.days))[*options.day]) {
            report.outcomes << RunReport::Skipped;
            report.lines << label + QStringLiteral(u": 対象外の曜日 (%1)").arg(shown(entry.days));
            continue;
        }
        const Outcome done = badDays ? failure(*badDays) : runner.execute(entry);
        report.outcomes << (done ? RunReport::Done : RunReport::Failed);
        report.lines << label + (done ? QStringLiteral(u": 完了")
                                      : QStringLiteral(u": 失敗 - ") + done.error().text());
    }
    if (report.count(RunReport::Skipped) == report.outcomes.size())
        return report; // nothing to log on for
    // Logging on brings the account's warnings.
    QStringList session;
    const QString warnings = text::nativePath(DataFolder(folders.dataFolder()).warnings());
    sweeper.before(warnings);
    for (const Outcome &done :
         {writeOrWhy(warnings, captured(service.warningLines(), options.now)),
          appendRunLog(folders, options.now, runner.runLog + report.lines, sweeper)}) {
        if (!done)
            session << done.error().text();
    }
    report.sessionFailed = !session.isEmpty();
    report.lines << session;
    return report;
}

} // namespace kirano::autopilot

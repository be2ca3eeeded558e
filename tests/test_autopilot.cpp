#include "autopilot/commandline.h"
#include "autopilotharness.h"
#include "builders/accountbuilders.h"
#include "builders/forumbuilders.h"
#include "builders/patiobuilders.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "rules/entrycheck.h"
#include "rules/patrolcheck.h"
#include "scriptedprompts.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/forumlist.h"
#include "store/settingsfile.h"
#include "testmain.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "version.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QtTest>
#include <tuple>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace kirano;
using namespace kirano::autopilot;
using namespace kirano::rules;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

// Fields of a test entry, with places of the demo's own names:
// {F} forum code, {P} and {PW} a patio's ID and password, {N} and {NAME} a
// file of library 1, {log} {data} {up} {bup} folders, {root} the demo.
struct Names {
    DemoHarness &h;

    QByteArray expand(const QString &field) const {
        const LibraryFile file = h.service.libraryFiles(0, 1).first();
        const PatioRecord patio = h.service.patios().first();
        QString s = field;
        s.replace(u"{F}"_s, text::decode(h.service.forumCode(0)))
            .replace(u"{PW}"_s, text::decode(patio.password))
            .replace(u"{P}"_s, text::decode(patio.id))
            .replace(u"{NAME}"_s, text::decode(file.name))
            .replace(u"{N}"_s, QString::number(file.number))
            .replace(u"{log}"_s, text::decode(h.folders.logFolder()))
            .replace(u"{data}"_s, text::decode(h.folders.dataFolder()))
            .replace(u"{bup}"_s, text::decode(h.folders.binaryUploadFolder()))
            .replace(u"{up}"_s, text::decode(h.folders.textUploadFolder()))
            .replace(u"{down}"_s, text::decode(downloadFolder(h.folders, file.name)))
            .replace(u"{root}"_s, h.root + u'/');
        return text::bytesOf(s);
    }
    PatrolEntry entry(const QStringList &fields) const {
        PatrolEntry e = PatrolEntry::zeroed();
        e.days = sjis(u"日月火水木金土");
        for (int i = 0; i < fields.size(); ++i)
            e.field(i) = expand(fields[i]);
        return e;
    }
};

PatrolListFile listOf(const QList<PatrolEntry> &entries) {
    return PatrolListFile{entries, 0};
}

RunReport runAll(DemoHarness &h, const QList<PatrolEntry> &entries) {
    return runPatrolList(listOf(entries), h.folders, h.service, {std::nullopt, h.when()});
}

QString runLogPath(const DemoHarness &h) {
    return text::nativePath(runRecord(h.folders.autopilotFolder()));
}

#ifdef Q_OS_LINUX
// Runs `work` with every file limited to `bytes`: a full disk that fails
// writes even for root, lifted before anything is checked.
template <typename Work> auto withFileSizeLimit(rlim_t bytes, Work work) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    auto result = work();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}
#endif

// How a failed write is reported: the file, then the platform's reason.
QString cannotWriteText(const QString &path, int code) {
    return text::cannotCreateText(path) + u" ("_s + text::IoError{code}.text() + u')';
}

// The output of one command line, and its exit status.
struct CommandLine {
    int status = -1;
    QString out, err;
};

CommandLine commandLine(const DemoHarness &h, const QStringList &arguments) {
    CommandLine result;
    QTextStream outStream(&result.out), errStream(&result.err);
    const ProgramPlace place{h.dir.path() + u'/', h.dir.path() + u"/kirano-autopilot"_s,
                             u"" KIRANO_VERSION ""_s};
    result.status = runCommandLine(arguments, place, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return result;
}

} // namespace

class TestAutopilot : public QObject {
    Q_OBJECT
    DemoHarness h;
    Names names{h};

  private slots:
    void initTestCase() { QVERIFY(h.make()); }

    void demoIsACompleteInstallation() {
        QCOMPARE(readBytes(h.demo->programFolder + u"kirano"_s), readBytes(h.fakeKirano()));
        QVERIFY(QFileInfo(h.demo->programFolder + u"kirano"_s).isExecutable());
        for (const QByteArray &folder : h.folders.folders) {
            QVERIFY(folder.startsWith(text::bytesOf(h.root + u'/')));
            QVERIFY(QFileInfo(text::nativePath(folder)).isDir());
        }
        QCOMPARE(h.demo->report.count(RunReport::Failed), 0);
        QCOMPARE(h.demo->report.count(RunReport::Done), h.demo->report.outcomes.size());
        for (const char16_t *name : {u"new.txt", u"bill.txt", u"警告.txt"})
            QCOMPARE(loadCapturedRows(text::nativePath(h.folders.dataFolder()) +
                                      QString::fromUtf16(name))
                         .datePanel,
                     "     " + h.whenLine());
        QVERIFY(!QDir(text::nativePath(h.folders.binaryDownloadFolder())).isEmpty());
        QCOMPARE(readPatioList(text::nativePath(h.folders.dataFolder()) + u"patiolist.txt"_s),
                 h.service.patios());
        // Making one fails whole: no half demo is left to be taken for one.
        autopilot::DemoOptions noKirano;
        noKirano.kirano = h.dir.path() + u"/none"_s;
        const text::Result<autopilot::Demo> half = makeDemo(h.dir.path() + u"/half"_s, noKirano);
        QVERIFY(!half);
        QVERIFY(half.error().text().contains(u"複写できません"_s));
        QVERIFY(!QFileInfo::exists(h.dir.path() + u"/half"_s));
    }

    void serviceIsTheSameForASeedAndLaidOutAsKiranoReadsIt() {
        const SimService a(7), b(7), c(8);
        QCOMPARE(a.forumListLines(), b.forumListLines());
        QCOMPARE(a.roomRows(3), b.roomRows(3));
        QCOMPARE(a.noticeRows(), b.noticeRows());
        QVERIFY(a.forumListLines() != c.forumListLines() || a.roomRows(0) != c.roomRows(0));
        QCOMPARE(a.forumCount(), 12);
        QSet<QByteArray> codes;
        for (int f = 0; f < a.forumCount(); ++f) {
            QCOMPARE(a.forumListLines()[2 * f].size(), 40);
            codes.insert(a.forumCode(f));
            const QList<QByteArray> rooms = a.roomRows(f);
            QVERIFY(rooms.size() >= 20 && rooms.size() <= 40);
            for (int n = 1; n <= rooms.size(); ++n)
                QCOMPARE(text::leadingNumber(text::bytesAt(rooms[n - 1], 1, 2)), n);
            const QList<QByteArray> libraries = a.libraryRows(f);
            QVERIFY(libraries.size() >= 5 && libraries.size() <= 15);
            for (int n = 1; n <= libraries.size(); ++n) {
                QCOMPARE(text::leadingNumber(text::bytesAt(libraries[n - 1], 1, 4)), n);
                const QList<LibraryFile> files = a.libraryFiles(f, n);
                QVERIFY(files.size() >= 50 && files.size() <= 200);
                for (const LibraryFile &file : files) {
                    QCOMPARE(text::leadingNumber(file.row), file.number);
                    QCOMPARE(proposedFileName(file.row), file.name);
                }
            }
        }
        QCOMPARE(codes.size(), 12);
    }

    // The same seed makes the same service whatever compiled it: every
    // random draw is a statement of its own, never one of several operands
    // whose order the compiler chooses. The digest of what seed 1 makes is
    // the same under every build of the suite (gcc, and clang with the
    // sanitizers).
    void serviceIsTheSameWhateverTheCompiler() {
        const SimService service(1);
        QCryptographicHash digest(QCryptographicHash::Sha1);
        const auto add = [&digest](const QList<QByteArray> &lines) {
            for (const QByteArray &line : lines)
                digest.addData(line + '\n');
        };
        add(service.forumListLines());
        for (int f = 0; f < 3; ++f) {
            add(service.roomRows(f));
            add(service.libraryRows(f));
            add(service.topPage(f));
            add(service.roomMessages(f, 2));
            for (const LibraryFile &file : service.libraryFiles(f, 1).mid(0, 4)) {
                add({file.row, file.name, file.date.toString(Qt::ISODate).toLatin1()});
                add({service.fileContent(f, 1, file)});
            }
        }
        add(service.noticeRows());
        add(service.billLines());
        add(service.warningLines());
        for (int p = 0; p < service.patios().size(); ++p) {
            const PatioRecord patio = service.patios().at(p);
            add({patio.name, patio.id, patio.password});
            add(service.patioMessages(p));
        }
        QCOMPARE(digest.result().toHex(), QByteArray("a9d204e1e4fefadbb551c573ee64b630bf3f577d"));
    }

    void largeServiceForTheBenchmark() {
        const SimService large(1, ServiceSize::Large);
        QCOMPARE(large.forumCount(), 10000);
        for (int f : {0, 16, 9999})
            QCOMPARE(large.forumIndex(large.forumCode(f)), f);
        QCOMPARE(large.roomRows(9999).size(), 100000);
        QCOMPARE(large.libraryRows(5).size(), 100000);
        const QList<LibraryFile> files = large.libraryFiles(5, 7);
        QCOMPARE(files.size(), 100000);
        QCOMPARE(proposedFileName(files.last().row), files.last().name);
    }

    // What the run wrote, read with Kirano's own loaders and builders.
    void capturedFilesReadBackByKiranoLoaders() {
        const ForumList forums =
            readForumList(text::nativePath(h.folders.dataFolder()) + u"forumlist.txt"_s);
        QCOMPARE(forums.size(), h.service.forumCount());
        for (const ForumRecord &forum : forums) {
            const int f = h.service.forumIndex(forum.code);
            QVERIFY(f >= 0);
            QCOMPARE(forum.name, h.service.forumName(f).leftJustified(40, ' '));
            auto load = [&](const char *name) {
                return loadCapturedRows(text::nativePath(h.folders.dataFolder() + forum.code) +
                                        QString::fromLatin1(name));
            };
            const QByteArray panel = "     " + h.whenLine();
            for (const auto &[name, rows] : {std::pair{"mes.txt", h.service.roomRows(f)},
                                             std::pair{"dl.txt", h.service.libraryRows(f)},
                                             std::pair{"top.txt", h.service.topPage(f)}}) {
                const CapturedRows captured = load(name);
                QCOMPARE(captured.rows, rows);
                QCOMPARE(captured.datePanel, panel);
            }
        }
        // The chooser of "ＤＬダウンロード（リスト）" shows library 2's files.
        ScriptedPrompts prompts;
        BuildContext context{prompts, [] { return std::optional<QByteArray>("x"); }, h.folders};
        context.forumCode = h.service.forumCode(1);
        context.libraryRow = h.service.libraryRows(1).at(1);
        const LibraryFile third = h.service.libraryFiles(1, 2).at(2);
        prompts.answer({u"2"_s, text::decode(third.name)});
        const std::optional<PatrolEntry> e = buildDldownFromList(context);
        QVERIFY(e);
        QList<QByteArray> rows;
        for (const LibraryFile &file : h.service.libraryFiles(1, 2))
            rows << file.row;
        QCOMPARE(prompts.chooserRows, rows);
        QCOMPARE(prompts.chooserStatus, "    " + h.whenLine());
        QCOMPARE(prompts.asked.last(),
                 u"query|ライブラリィ|ファイル名|"_s + text::decode(third.name));
        QCOMPARE(e->param3, QByteArray::number(third.number));
    }

    void everyKeywordExecutes_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("file");   // a file it writes, or
        QTest::addColumn<QString>("logged"); // what it adds to the run log
        auto row = [](const char *keyword, const QStringList &fields, const QString &file,
                      const QString &logged = {}) {
            QTest::newRow(keyword)
                << QStringList{QString::fromLatin1(keyword)} + fields << file << logged;
        };
        row("bill", {}, u"{data}bill.txt"_s);
        row("myforum", {}, u"{data}forumlist.txt"_s);
        row("newtitle", {}, u"{data}new.txt"_s);
        row("new", {u"{log}n.txt"_s}, u"{log}n.txt"_s);
        row("mestitlea", {u"{F}"_s}, u"{data}{F}mes.txt"_s);
        row("dltitlea", {u"{F}"_s}, u"{data}{F}dl.txt"_s);
        row("mesread", {u"{F}"_s, u"4"_s, u"{log}r.txt"_s}, u"{log}r.txt"_s);
        row("dltitleb", {u"{F}"_s, u"2"_s, u"980101"_s}, u"{data}{F}dl2.txt"_s);
        row("dldown", {u"{F}"_s, u"1"_s, u"{N}"_s, u"{NAME}"_s}, u"{down}{NAME}"_s);
        row("patioread", {u"{P}"_s, u"{PW}"_s, u"{log}p.txt"_s}, u"{log}p.txt"_s);
        row("mesup", {u"{F}"_s, u"1"_s, u"{up}発言.txt"_s}, {}, u"会議室に書き込み {F} 1番"_s);
        row("mesrc", {u"{F}"_s, u"2"_s, u"7"_s}, {}, u"会議室の未読 {F} 2番 を 7 に"_s);
        row("mailuptxt", {u"{bup}メール.txt"_s}, {}, u"テキストメール送信  {bup}メール.txt"_s);
        row("mailupbin", {u"{bup}写真.gif"_s, u"題"_s, u"ABC"_s}, {},
            u"バイナリメール送信 題名「題」 送り先 ABC"_s);
        row("patioup", {u"{P}"_s, u"{PW}"_s, u"{up}パティオ発言.txt"_s}, {},
            u"パティオ書き込み {P}"_s);
        row("patiorc", {u"{P}"_s, u"{PW}"_s, u"9"_s}, {}, u"パティオの既読 {P} を 9 に"_s);
        row("bbsup", {u"5"_s, u"3"_s, u"{up}掲示板.txt"_s}, {}, u"掲示板書き込み 5-3"_s);
    }
    void everyKeywordExecutes() {
        QFETCH(QStringList, fields);
        QFETCH(QString, file);
        QFETCH(QString, logged);
        const QString written = text::decode(names.expand(file));
        if (!file.isEmpty())
            QFile::remove(written);
        const QByteArray logBefore = readBytes(runLogPath(h));
        const RunReport report = runAll(h, {names.entry(fields)});
        QCOMPARE(report.outcomes, QList{RunReport::Done});
        QVERIFY(report.lines.first().endsWith(u": 完了"_s));
        const QByteArray log = readBytes(runLogPath(h)).mid(logBefore.size());
        QVERIFY(log.contains(text::bytesOf(report.lines.first())));
        if (!logged.isEmpty())
            QVERIFY2(log.contains(names.expand(logged)), log.constData());
        if (file.isEmpty())
            return;
        const QByteArray content = readBytes(written);
        const QList<QByteArray> lines = text::splitLines(content);
        QVERIFY(!lines.isEmpty());
        if (fields.first() == u"dldown")
            QCOMPARE(content, h.service.fileContent(0, 1, h.service.libraryFiles(0, 1).first()));
        else if (fields.first() == u"myforum") // two-line records and nothing else
            QCOMPARE(lines, h.service.forumListLines());
        else
            QCOMPARE(lines.last(), h.whenLine());
    }

    void failuresAreReportedAndTheRunGoesOn_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("why");
        auto row = [](const char *name, const QStringList &fields, const QString &why) {
            QTest::newRow(name) << fields << why;
        };
        row("unknown keyword", {u"Bill"_s}, u"命令「Bill」はありません"_s);
        row("room no number", {u"mesread"_s, u"{F}"_s, u"x"_s, u"{log}a.txt"_s},
            u"会議室番号「x」が正しくありません"_s);
        row("library no number", {u"dldown"_s, u"{F}"_s, u"abc"_s, u"1"_s, u"A.LZH"_s},
            u"ライブラリィ番号「abc」が正しくありません"_s);
        row("forum not on the service", {u"mestitlea"_s, u"FNONE/"_s},
            u"フォーラム「FNONE/」はサービスにありません"_s);
        row("room beyond the forum's", {u"mesread"_s, u"{F}"_s, u"99"_s, u"{log}a.txt"_s},
            u"99番会議室はありません"_s);
        row("library beyond", {u"dltitleb"_s, u"{F}"_s, u"99"_s, u"980101"_s},
            u"99番ライブラリィはありません"_s);
        row("download number unknown", {u"dldown"_s, u"{F}"_s, u"1"_s, u"999999"_s, u"A.LZH"_s},
            u"ダウンロード番号 999999 はありません"_s);
        row("download outside its folder", {u"dldown"_s, u"{F}"_s, u"1"_s, u"{N}"_s, u"../A.LZH"_s},
            u"保存するファイル名「../A.LZH」が正しくありません"_s);
        row("file to post missing", {u"mesup"_s, u"{F}"_s, u"1"_s, u"{up}none.txt"_s},
            u"送るファイル「{up}none.txt」がありません"_s);
        row("wrong patio password", {u"patioread"_s, u"{P}"_s, u"bad"_s, u"{log}p.txt"_s},
            u"パティオＩＤ「{P}」のパスワードが違います"_s);
        row("unknown patio", {u"patiorc"_s, u"PAT0"_s, u"x"_s, u"1"_s},
            u"パティオＩＤ「PAT0」はありません"_s);
        row("log folder missing", {u"mesread"_s, u"{F}"_s, u"1"_s, u"{root}none/a.txt"_s},
            u"ﾌｧｲﾙ {root}none/a.txt を作成できません"_s);
        row("bad date", {u"dltitleb"_s, u"{F}"_s, u"1"_s, u"981332"_s},
            u"日付「981332」が正しくありません (例 980101)"_s);
        row("days repeated", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"月月"_s},
            u"曜日「月月」が正しくありません"_s);
        row("days empty", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, QString()},
            u"曜日がありません"_s);
    }
    void failuresAreReportedAndTheRunGoesOn() {
        QFETCH(QStringList, fields);
        QFETCH(QString, why);
        const RunReport report = runAll(h, {names.entry(fields), names.entry({u"bill"_s})});
        QCOMPARE(report.outcomes, (QList{RunReport::Failed, RunReport::Done}));
        const QString &line = report.lines.first();
        QVERIFY2(line.mid(line.indexOf(u": "_s) + 2)
                     .startsWith(u"失敗 - "_s + text::decode(names.expand(why))),
                 qPrintable(line));
    }

    void daysChooseWhatRuns_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<int>("day"); // -1: every entry (--all)
        QTest::addColumn<int>("outcome");
        QTest::newRow("Monday in 月水") << u"月水"_s << 1 << int(RunReport::Done);
        QTest::newRow("Sunday in every day") << u"日月火水木金土"_s << 0 << int(RunReport::Done);
        QTest::newRow("Tuesday not in 月水") << u"月水"_s << 2 << int(RunReport::Skipped);
        QTest::newRow("Saturday not in 日") << u"日"_s << 6 << int(RunReport::Skipped);
        QTest::newRow("every entry runs") << u"土"_s << -1 << int(RunReport::Done);
        QTest::newRow("out of order") << u"水月"_s << 1 << int(RunReport::Failed);
    }
    void daysChooseWhatRuns() {
        QFETCH(QString, days);
        QFETCH(int, day);
        QFETCH(int, outcome);
        PatrolEntry bill = names.entry({u"bill"_s});
        bill.days = text::bytesOf(days);
        RunOptions options{day < 0 ? std::nullopt : std::optional<int>(day), h.when()};
        const RunReport report = runPatrolList(listOf({bill}), h.folders, h.service, options);
        QCOMPARE(int(report.outcomes.value(0)), outcome);
    }

    // Each numbered command at the edges of what the service holds: the
    // first and the last room, library and file run; one past the last fails
    // with its line.
    void edgesOfTheService_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("edge"); // 0 the first, 1 the last, 2 one past it
        const char *const edges[] = {"first", "last", "one past"};
        for (const char *command : {"mesread", "dltitleb", "dldown"}) {
            for (int edge : {0, 1, 2})
                QTest::newRow(qPrintable(
                    u"%1, %2"_s.arg(QLatin1StringView(command), QLatin1StringView(edges[edge]))))
                    << QString::fromLatin1(command) << edge;
        }
    }
    void edgesOfTheService() {
        QFETCH(QString, command);
        QFETCH(int, edge);
        QStringList fields = {command, u"{F}"_s};
        QString why;
        std::function<void()> restore = [] {};
        auto restored = qScopeGuard([&restore] { restore(); });
        if (command == u"mesread") {
            const int rooms = h.service.roomCount(0);
            const int room = edge == 0 ? 1 : edge == 1 ? rooms : rooms + 1;
            fields << QString::number(room) << u"{log}edge.txt"_s;
            why = u"%1番会議室はありません"_s.arg(room);
        } else if (command == u"dltitleb") {
            const int libraries = h.service.libraryCount(0);
            const int library = edge == 0 ? 1 : edge == 1 ? libraries : libraries + 1;
            // The demo's list of the library's files stays as the other tests
            // know it.
            const QString captured = text::nativePath(
                DataFolder(h.folders.dataFolder()).libraryFiles(h.service.forumCode(0), library));
            const QByteArray before = readBytes(captured);
            restore = [captured, before] {
                if (!before.isEmpty())
                    writeBytes(captured, before);
            };
            fields << QString::number(library) << u"980101"_s;
            why = u"%1番ライブラリィはありません"_s.arg(library);
        } else {
            const QList<LibraryFile> files = h.service.libraryFiles(0, 1);
            const int number = edge == 0   ? files.first().number
                               : edge == 1 ? files.last().number
                                           : files.last().number + 1;
            fields << u"1"_s << QString::number(number) << u"edge.bin"_s;
            why = u"ダウンロード番号 %1 はありません"_s.arg(number);
        }
        const RunReport report = runAll(h, {names.entry(fields)});
        if (edge < 2) {
            QCOMPARE(report.outcomes, QList{RunReport::Done});
        } else {
            QCOMPARE(report.outcomes, QList{RunReport::Failed});
            QVERIFY2(report.lines.first().endsWith(u": 失敗 - "_s + why),
                     qPrintable(report.lines.first()));
        }
    }

    // A night with nothing to run does not log on: no warnings are fetched
    // and the run record is left as it was. With something to run, the
    // record gains its header, what was posted, and a line per entry in
    // list order, done, skipped or failed; run prints the same lines and
    // their counts.
    void runRecordAndSummary_data() {
        QTest::addColumn<QString>("days");     // of the second entry; the others run on 木
        QTest::addColumn<QStringList>("said"); // after each entry's label
        QTest::addColumn<QString>("summary");
        QTest::newRow("nothing to run on 木")
            << u"月"_s << QStringList{u"対象外の曜日 (月)"_s} << u"完了 0、対象外 1、失敗 0"_s;
        QTest::newRow("done, skipped and failed")
            << u"月"_s
            << QStringList{u"完了"_s, u"対象外の曜日 (月)"_s, u"失敗 - 99番会議室はありません"_s}
            << u"完了 1、対象外 1、失敗 1"_s;
        QTest::newRow("all done") << u"木"_s
                                  << QStringList{u"完了"_s, u"完了"_s,
                                                 u"失敗 - 99番会議室はありません"_s}
                                  << u"完了 2、対象外 0、失敗 1"_s;
    }
    void runRecordAndSummary() {
        QFETCH(QString, days);
        QFETCH(QStringList, said);
        QFETCH(QString, summary);
        QList<PatrolEntry> entries = {
            names.entry({u"mesrc"_s, u"{F}"_s, u"2"_s, u"7"_s}), names.entry({u"bill"_s}),
            names.entry({u"mesread"_s, u"{F}"_s, u"99"_s, u"{log}r.txt"_s})};
        for (PatrolEntry &e : entries)
            e.days = sjis(u"木");
        entries[1].days = text::bytesOf(days);
        if (said.size() == 1)
            entries = {entries[1]};
        const QString list = h.writeList(entries, u"night.txt"_s);
        const QString warnings = text::nativePath(DataFolder(h.folders.dataFolder()).warnings());
        QFile::remove(warnings);
        const QByteArray before = readBytes(runLogPath(h));
        const CommandLine c =
            commandLine(h, {u"run"_s, list, u"--settings"_s,
                            h.demo->programFolder + kSettingsFileName, u"--day"_s, u"木"_s});
        QStringList lines;
        for (int i = 0; i < entries.size(); ++i)
            lines << entryLabel(i + 1, entries[i]) + u": "_s + said[i];
        QCOMPARE(c.out.split(u'\n', Qt::SkipEmptyParts), lines + QStringList{summary});
        QCOMPARE(c.status, summary.endsWith(u"失敗 0"_s) ? 0 : 1);
        const QByteArray record = readBytes(runLogPath(h));
        QVERIFY(record.startsWith(before));
        if (said.size() == 1) {
            QCOMPARE(record, before);
            QVERIFY(!QFileInfo::exists(warnings));
            return;
        }
        QVERIFY(QFileInfo::exists(warnings));
        QList<QByteArray> added = text::splitLines(record.mid(before.size()));
        QVERIFY(added.value(0).startsWith(sjis(u"== 巡回 ")));
        QCOMPARE(added.value(0).size(), sjis(u"== 巡回 ").size() + 14); // yy/MM/dd HH:mm
        added.removeFirst();
        const QByteArray posted =
            sjis(u"会議室の未読 ") + names.expand(u"{F}"_s) + sjis(u" 2番 を 7 に");
        QList<QByteArray> expected = {posted};
        for (const QString &line : lines)
            expected << text::bytesOf(line);
        QCOMPARE(added, expected);
    }

#ifdef Q_OS_LINUX
    // A full disk: the entry fails with the platform's reason, and the file
    // is the previous one, not a cut-off new one.
    void failedWriteLeavesThePreviousFile_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("file");
        QTest::newRow("library list")
            << QStringList{u"dltitleb"_s, u"{F}"_s, u"3"_s, u"960101"_s} << u"{data}{F}dl3.txt"_s;
        QTest::newRow("download") << QStringList{u"dldown"_s, u"{F}"_s, u"1"_s, u"{N}"_s,
                                                 u"{NAME}"_s}
                                  << u"{down}{NAME}"_s;
    }
    void failedWriteLeavesThePreviousFile() {
        QFETCH(QStringList, fields);
        QFETCH(QString, file);
        const QString path = text::decode(names.expand(file));
        writeBytes(path, "previous\r\n");
        const QStringList before = QDir(QFileInfo(path).path()).entryList(QDir::AllEntries);
        // Room for the forum's top page, which comes first, not for the file.
        const qsizetype limit = readBytes(text::decode(names.expand(u"{data}{F}top.txt"_s))).size();
        QVERIFY(h.service.fileContent(0, 1, h.service.libraryFiles(0, 1).first()).size() > limit);
        const RunReport report =
            withFileSizeLimit(limit, [&] { return runAll(h, {names.entry(fields)}); });
        QCOMPARE(report.outcomes, QList{RunReport::Failed});
        QVERIFY2(report.lines.first().endsWith(u": 失敗 - "_s + cannotWriteText(path, EFBIG)),
                 qPrintable(report.lines.first()));
        QCOMPARE(readBytes(path), QByteArray("previous\r\n"));
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::AllEntries), before);
    }

    // A record whose last line lost its CR LF (cut short, edited by hand):
    // the next run's header starts a line of its own, the old bytes as they
    // were. A run killed while it appended left its mark beside the record:
    // the next header says the run before is not whole, and the mark goes.
    void runHeaderStartsItsOwnLineAfterACutRecord_data() {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QByteArray>("header");
        const QByteArray plain = sjis(u"== 巡回 98/12/24 07:05\r\n");
        const QByteArray cut =
            sjis(u"== 巡回 98/12/24 07:05 (前の巡回の記録は途中で切れています)\r\n");
        QTest::newRow("last line cut short")
            << QByteArray("== earlier\r\ncut short") << false << "\r\n" + plain;
        QTest::newRow("killed in the append")
            << QByteArray("== earlier\r\nhalf a li") << true << "\r\n" + cut;
        QTest::newRow("killed before it") << QByteArray("== earlier\r\n") << true << cut;
    }
    void runHeaderStartsItsOwnLineAfterACutRecord() {
        QFETCH(QByteArray, old);
        QFETCH(bool, marked);
        QFETCH(QByteArray, header);
        const QString mark = text::nativePath(runRecordMark(h.folders.autopilotFolder()));
        writeBytes(runLogPath(h), old);
        if (marked)
            writeBytes(mark, QByteArray());
        runAll(h, {names.entry({u"bill"_s})});
        const QByteArray record = readBytes(runLogPath(h));
        QVERIFY2(record.startsWith(old + header), record.constData());
        QVERIFY(!QFileInfo::exists(mark));
    }

    // A run killed while it wrote left temporary files beside the files it
    // wrote: the next run removes them in every folder it writes in.
    void runRemovesTemporariesLeftByAKilledRun() {
        const QStringList folders = {text::decode(names.expand(u"{data}"_s)),
                                     text::decode(names.expand(u"{data}{F}"_s))};
        for (const QString &folder : folders)
            writeBytes(folder + u".kirano-abcd1234.tmp"_s, "half");
        const RunReport report =
            runAll(h, {names.entry({u"bill"_s}), names.entry({u"mestitlea"_s, u"{F}"_s})});
        QCOMPARE(report.count(RunReport::Done), 2);
        for (const QString &folder : folders)
            QVERIFY(!QFileInfo::exists(folder + u".kirano-abcd1234.tmp"_s));
    }

    // The program itself run under a file size limit, the signal that limit
    // sends left as the system sets it: a write past the limit fails with
    // EFBIG, named, status 1; the file is as it was and no part of the new
    // bytes, nor a temporary file, is left.
    void runUnderAFileSizeLimit_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("blocks"); // of 512 bytes
        QTest::newRow("run record") << QStringList{u"bill"_s} << u"{record}"_s << 8;
        QTest::newRow("captured list") << QStringList{u"dltitleb"_s, u"{F}"_s, u"2"_s, u"960101"_s}
                                       << u"{data}{F}dl2.txt"_s << 4;
    }
    void runUnderAFileSizeLimit() {
        QFETCH(QStringList, fields);
        QFETCH(QString, file);
        QFETCH(int, blocks);
        const QString path = file == u"{record}" ? runLogPath(h) : text::decode(names.expand(file));
        // The record stops a few bytes short of the limit, so the append
        // crosses it; a captured list is larger than the limit.
        const QByteArray old = file == u"{record}"
                                   ? "== earlier\r\n" + QByteArray(blocks * 512 - 40, 'x') + "\r\n"
                                   : QByteArray("previous\r\n");
        writeBytes(path, old);
        const QStringList before =
            QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden);
        const QString list = h.writeList({names.entry(fields)});
        QProcess child;
        child.start(u"sh"_s, {u"-c"_s, u"ulimit -f %1; exec \"$0\" \"$@\""_s.arg(blocks),
                              QStringLiteral(KIRANO_AUTOPILOT), u"run"_s, list, u"--settings"_s,
                              h.demo->programFolder + kSettingsFileName, u"--all"_s});
        QVERIFY(child.waitForFinished(60000));
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(out.contains(cannotWriteText(path, EFBIG)), qPrintable(out));
        QCOMPARE(readBytes(path), old);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // The run record holds what earlier runs left, whatever bytes those are.
    void runRecordIsAppendedNeverRewritten() {
        const QByteArray old =
            QByteArray("== earlier\r\nbefore\0after\r\n", 26) + sjis(u"記録\r\n");
        writeBytes(runLogPath(h), old);
        const RunReport report = runAll(h, {names.entry({u"bill"_s})});
        const QByteArray record = readBytes(runLogPath(h));
        QVERIFY(record.startsWith(old));
        QCOMPARE(
            text::splitLines(record.mid(old.size())),
            (QList<QByteArray>{sjis(u"== 巡回 98/12/24 07:05"), text::bytesOf(report.lines[0])}));
    }

    void failedRecordAppendFailsTheRunAndLosesNothing() {
        const QByteArray old = QByteArray("== earlier\r\n") + QByteArray(1000, 'x') + "\r\n";
        writeBytes(runLogPath(h), old);
        const QString list = h.writeList({names.entry({u"bill"_s})});
        const CommandLine run = withFileSizeLimit(old.size() + 20, [&] {
            return commandLine(h, {u"run"_s, list, u"--settings"_s,
                                   h.demo->programFolder + kSettingsFileName, u"--all"_s});
        });
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.contains(cannotWriteText(runLogPath(h), EFBIG)), qPrintable(run.out));
        QCOMPARE(readBytes(runLogPath(h)), old);
    }
#endif

    void checkFindsEachProblem_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("folder"); // a settings folder to point elsewhere, or -1
        QTest::addColumn<QString>("problem");
        auto row = [](const char *name, const QStringList &fields, const QString &problem,
                      int folder = -1) { QTest::newRow(name) << fields << folder << problem; };
        row("clean read", {u"mesread"_s, u"{F}"_s, u"3"_s, u"{log}a.txt"_s}, {});
        row("clean download", {u"dldown"_s, u"{F}"_s, u"1"_s, u"{N}"_s, u"{NAME}"_s}, {});
        row("unknown keyword", {u"MESREAD"_s}, u"命令「MESREAD」はありません"_s);
        row("keyword off in its ninth byte", {u"mestitlez"_s, u"{F}"_s},
            u"命令「mestitlez」はありません"_s);
        row("display row refuses", {u"mesup"_s, u"{F}"_s, u"7 "_s, u"{up}発言.txt"_s},
            u"会議室番号「7 」が正しくありません"_s);
        row("library no number", {u"dldown"_s, u"{F}"_s, u"x"_s, u"{N}"_s, u"A.LZH"_s},
            u"ライブラリィ番号「x」が正しくありません"_s);
        row("forum not listed", {u"mestitlea"_s, u"FNONE/"_s},
            u"フォーラム「FNONE/」が forumlist.txt にありません"_s);
        row("room not listed", {u"mesrc"_s, u"{F}"_s, u"77"_s, u"5"_s},
            u"77番会議室が {F} の会議室リストにありません"_s);
        row("library not listed", {u"dltitleb"_s, u"{F}"_s, u"77"_s, u"980101"_s},
            u"77番ライブラリィが {F} のライブラリィリストにありません"_s);
        row("download not listed", {u"dldown"_s, u"{F}"_s, u"1"_s, u"999999"_s, u"A.LZH"_s},
            u"ダウンロード番号 999999 が dl1.txt にありません"_s);
        row("file to send missing", {u"mailupbin"_s, u"{bup}no.gif"_s, u"s"_s, u"ID"_s},
            u"送るファイル「{bup}no.gif」がありません"_s);
        row("log folder missing", {u"patioread"_s, u"{P}"_s, u"{PW}"_s, u"{root}no/p.txt"_s},
            u"ログのフォルダ「{root}no」に書き込めません"_s);
        row("download folder missing", {u"dldown"_s, u"{F}"_s, u"1"_s, u"{N}"_s, u"A.LZH"_s},
            u"ダウンロードのフォルダ「{root}no/」に書き込めません"_s,
            SettingsFolders::BinaryDownload);
        row("patio not listed", {u"patioup"_s, u"PAT0"_s, u"{PW}"_s, u"{up}発言.txt"_s},
            u"パティオＩＤ「PAT0」が patiolist.txt にありません"_s);
        row("days malformed", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"月x"_s},
            u"曜日「月x」が正しくありません"_s);
        // As long as the sound days of the entry checked before it.
        row("days a day twice", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"日月火水木金金"_s},
            u"曜日「日月火水木金金」が正しくありません"_s);
        row("patio password differs", {u"patiorc"_s, u"{P}"_s, u"other"_s, u"5"_s},
            u"パティオＩＤ「{P}」のパスワードが patiolist.txt と違います"_s);
        row("no notice selection", {u"new"_s, u"{log}n.txt"_s},
            u"読むお知らせを選んだ {selection} がありません"_s, SettingsFolders::Data);
        // Each problem on its own line, in the order check prints them.
        row("three problems",
            {u"mesread"_s, u"FNONE/"_s, u"3"_s, u"{root}no/a.txt"_s, u"0"_s, u"x"_s},
            u"フォーラム「FNONE/」が forumlist.txt にありません\n"
            u"ログのフォルダ「{root}no」に書き込めません\n曜日「x」が正しくありません"_s);
        row("unread count 0", {u"mesrc"_s, u"{F}"_s, u"1"_s, u"0"_s}, {});
        row("unread count 999", {u"mesrc"_s, u"{F}"_s, u"1"_s, u"999"_s}, {});
        row("unread count too big", {u"mesrc"_s, u"{F}"_s, u"1"_s, u"1000"_s},
            u"未読数「1000」が正しくありません"_s);
        row("no such board category", {u"bbsup"_s, u"6"_s, u"1"_s, u"{up}掲示板.txt"_s},
            u"掲示板の分類「6-1」はありません"_s);
    }
    void checkFindsEachProblem() {
        QFETCH(QStringList, fields);
        QFETCH(int, folder);
        QFETCH(QString, problem);
        SettingsFolders folders = h.folders;
        if (folder >= 0)
            folders.folders[folder] = names.expand(u"{root}no/"_s);
        const PatrolEntry e = names.entry(fields);
        const QStringList lines = checkPatrolList(listOf({names.entry({u"bill"_s}), e}), folders);
        // The window's marks ask the same rules of the entry alone: the same
        // words, without the entry's label.
        EntryChecker checker(folders);
        const QStringList alone = checker.problems(e);
        if (problem.isEmpty()) {
            QCOMPARE(lines, QStringList());
            QCOMPARE(alone, QStringList());
            return;
        }
        const QString selection =
            text::shownName(DataFolder(folders.dataFolder()).noticeSelection());
        const QStringList words =
            text::decode(names.expand(QString(problem).replace(u"{selection}"_s, selection)))
                .split(u'\n');
        QStringList labelled;
        for (const QString &line : words)
            labelled << entryLabel(2, e) + u": "_s + line;
        QCOMPARE(lines, labelled);
        QCOMPARE(alone, words);
    }

    // Files of one folder are told apart, however their paths name the
    // folder, and a file under a folder that is not there is not there.
    void checkerTellsFilesOfOneFolderApart() {
        EntryChecker checker(h.folders);
        const QList<std::pair<QString, bool>> missing = {
            {u"{up}発言.txt"_s, false},     {u"{up}none.txt"_s, true},
            {u"{up}発言.txt"_s, false},     {u"{up}.//発言.txt"_s, false},
            {u"{up}no/発言.txt"_s, true},   {u"{up}no/../発言.txt"_s, true},
            {u"{up}../up/発言.txt"_s, true}};
        for (const auto &[path, gone] : missing) {
            const PatrolEntry e = names.entry({u"mailuptxt"_s, path, u"s"_s, u"ID"_s});
            QVERIFY2(checker.problems(e).size() == (gone ? 1 : 0), qPrintable(path));
        }
    }

    // A log named by its name alone lies in the working folder; an empty
    // log path names no folder, whatever was asked before it.
    void checkerKeepsAnEmptyLogPathApart() {
        EntryChecker checker(h.folders);
        QCOMPARE(checker.problems(names.entry({u"new"_s, u"n.txt"_s})), QStringList());
        QCOMPARE(checker.problems(names.entry({u"new"_s, QString()})),
                 QStringList{u"ログのフォルダ「」に書き込めません"_s});
    }

    // A forum list rewritten on disk is read again when it is looked at
    // again: a forum added to it is known, those it held still are.
    void checkerReadsAChangedForumListAgain() {
        const QString list = text::nativePath(DataFolder(h.folders.dataFolder()).forumList());
        const QByteArray before = readBytes(list);
        const auto restore = qScopeGuard([&] { writeBytes(list, before); });
        EntryChecker checker(h.folders);
        const PatrolEntry listed = names.entry({u"mestitlea"_s, u"{F}"_s});
        const PatrolEntry added = names.entry({u"mestitlea"_s, u"NEWFORUM"_s});
        QCOMPARE(checker.problems(listed), QStringList());
        QCOMPARE(checker.problems(added).size(), 1);
        writeBytes(list, before + "New forum\r\nNEWFORUM\r\n");
        QVERIFY(!checker.refresh().isEmpty());
        QCOMPARE(checker.problems(listed), QStringList());
        QCOMPARE(checker.problems(added), QStringList());
    }

    // Looked at again a slice at a time (the window's refresh), every path
    // is seen once: every file made since is found, wherever slices end.
    void checkerRefreshesInSlices() {
        EntryChecker checker(h.folders);
        const auto sending = [&](int i) {
            return names.entry({u"mailupbin"_s, u"{bup}n%1.gif"_s.arg(i), u"s"_s, u"ID"_s});
        };
        for (int i = 0; i < 200; ++i)
            QCOMPARE(checker.problems(sending(i)).size(), 1);
        for (int i = 0; i < 200; ++i)
            writeBytes(text::decode(sending(i).param1), "GIF");
        QList<int> changed;
        int slices = 1;
        checker.noteAll();
        while (!checker.lookAgain(QDeadlineTimer(0), &changed))
            ++slices;
        QVERIFY(slices > 1);
        QCOMPARE(QSet<int>(changed.cbegin(), changed.cend()).size(), 200);
        QCOMPARE(changed.size(), 200);
        for (int i = 0; i < 200; ++i)
            QCOMPARE(checker.problems(sending(i)), QStringList());
    }

    // A captured list is read once, whatever number of entries name it, and
    // again only after a change in its folder named it; looking again names
    // the paths that changed, and only those.
    void checkerReadsAListOncePerChange() {
        EntryChecker checker(h.folders);
        const PatrolEntry room = names.entry({u"mesrc"_s, u"{F}"_s, u"77"_s, u"5"_s});
        const PatrolEntry patio = names.entry({u"patiorc"_s, u"{P}"_s, u"{PW}"_s, u"5"_s});
        QList<int> consulted;
        QCOMPARE(checker.problems(room, &consulted).size(), 1);
        QVERIFY(!checker.problems(patio).size());
        const QString mes =
            text::nativePath(DataFolder(h.folders.dataFolder()).rooms(h.service.forumCode(0)));
        QByteArray rows = readBytes(mes);
        rows.prepend("77 added\r\n");
        writeBytes(mes, rows);
        QCOMPARE(checker.problems(room).size(), 1); // not looked at again yet
        // The forum's folder is watched for its files, after the folders above.
        const QString forum = QFileInfo(mes).absolutePath();
        const QList<EntryChecker::WatchRequest> watch = checker.foldersToWatch(1000);
        const auto at = [&watch](const QString &folder) {
            return std::find_if(watch.cbegin(), watch.cend(),
                                [&](const auto &w) { return w.folder == folder; });
        };
        QVERIFY(at(forum) != watch.cend() && at(forum)->files);
        QVERIFY(at(QFileInfo(forum).path()) < at(forum));
        QVERIFY(checker.foldersToWatch(1000).isEmpty()); // each handed out once
        // A change of another file there concerns nothing.
        QVERIFY(!checker.noteChange(forum, u"other.txt"_s));
        QVERIFY(checker.noteChange(forum, u"mes.txt"_s));
        QList<int> changed;
        QVERIFY(checker.lookAgain(QDeadlineTimer(QDeadlineTimer::Forever), &changed));
        QCOMPARE(changed.size(), 1);
        QVERIFY(consulted.contains(changed.first()));
        QCOMPARE(checker.problems(room), QStringList());
        PatrolEntry stillMissing = room;
        stillMissing.param2 = "78";
        QCOMPARE(checker.problems(stillMissing).size(), 1);
        QCOMPARE(checker.refresh(), QList<int>());
    }

#ifdef Q_OS_LINUX
    // Something other than a regular file where an entry writes or sends
    // one: check, the marks (the checker alone) and run give the same
    // verdict in the same words, and run leaves the thing as it was.
    void specialFilesHaveOneVerdict_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("viaLink");
        QTest::addColumn<QString>("why"); // the words; {path} the path
        const QString cannot = u"ﾌｧｲﾙ {path} を作成できません (通常のファイルではありません)"_s;
        const struct {
            const char *role;
            QStringList fields;
            QString path;
            QString why;
        } roles[] = {
            {"log",
             {u"mesread"_s, u"{F}"_s, u"1"_s, u"{log}special.txt"_s},
             u"{log}special.txt"_s,
             cannot},
            {"captured file", {u"bill"_s}, u"{data}bill.txt"_s, cannot},
            {"top page", {u"mesrc"_s, u"{F}"_s, u"1"_s, u"5"_s}, u"{data}{F}top.txt"_s, cannot},
            {"library's titles",
             {u"dltitleb"_s, u"{F}"_s, u"2"_s, u"980101"_s},
             u"{data}{F}dl2.txt"_s,
             cannot},
            {"download",
             {u"dldown"_s, u"{F}"_s, u"1"_s, u"{N}"_s, u"{NAME}"_s},
             u"{down}{NAME}"_s,
             cannot},
            {"file to send",
             {u"mailuptxt"_s, u"{up}special.txt"_s},
             u"{up}special.txt"_s,
             u"送るファイル「{path}」は通常のファイルではありません"_s},
            {"warnings", {u"mesrc"_s, u"{F}"_s, u"1"_s, u"5"_s}, u"{data}警告.txt"_s, cannot},
        };
        for (const auto &role : roles) {
            for (const auto &[name, kind] :
                 {std::pair{"FIFO", Special::Fifo}, std::pair{"device", Special::Device},
                  std::pair{"socket", Special::Socket}, std::pair{"folder", Special::Folder}}) {
                for (bool viaLink : {false, true}) {
                    const QByteArray tag =
                        QByteArray(role.role) + (viaLink ? ", link to a " : ", ") + name;
                    QTest::newRow(tag.constData())
                        << role.fields << role.path << int(kind) << viaLink << role.why;
                }
            }
        }
    }
    void specialFilesHaveOneVerdict() {
        QFETCH(QStringList, fields);
        QFETCH(QString, path);
        QFETCH(int, kind);
        QFETCH(bool, viaLink);
        QFETCH(QString, why);
        const QString native = text::decode(names.expand(path));
        // What the demo put there is put back afterwards.
        const QString saved = native + u".saved"_s;
        const bool existed = QFile::rename(native, saved);
        const auto restore = qScopeGuard([&] {
            QFile::remove(native);
            QFile::remove(native + u".target"_s);
            QDir().rmdir(native);
            QDir().rmdir(native + u".target"_s);
            if (existed)
                QFile::rename(saved, native);
        });
        if (!makeSpecial(native, Special(kind), viaLink))
            QSKIP("the system does not let this test make it");
        // What is there, and what a link there leads to.
        const auto state = [&native] {
            struct stat link {
            }, target{};
            const QByteArray local = QFile::encodeName(native);
            ::lstat(local.constData(), &link);
            ::stat(local.constData(), &target);
            return std::pair(link.st_mode, target.st_mode);
        };
        const auto before = state();
        // The forum's top page, which the forum's commands write first: an
        // entry refused writes nothing at all, not even the same bytes again.
        // (The warnings are the whole run's: its entries run before.)
        const QByteArray topPage =
            QFile::encodeName(text::decode(names.expand(u"{data}{F}top.txt"_s)));
        const auto topPageNow = [&topPage] {
            struct stat now {};
            ::stat(topPage.constData(), &now);
            return std::tuple(now.st_ino, now.st_mtim.tv_sec, now.st_mtim.tv_nsec);
        };
        const auto topPageBefore = topPageNow();
        const PatrolEntry e = names.entry(fields);
        const QString words = QString(why).replace(u"{path}"_s, native);
        const QStringList checked = checkPatrolList(listOf({e}), h.folders);
        EntryChecker marks(h.folders);
        const RunReport report = runAll(h, {e});
        if (path.contains(u"警告"_s)) { // written by the whole run, not the entry
            QCOMPARE(checked, QStringList{words});
            QCOMPARE(marks.problems(e), QStringList());
            QVERIFY(report.sessionFailed);
            QCOMPARE(report.lines.last(), words);
        } else {
            QCOMPARE(checked, QStringList{entryLabel(1, e) + u": "_s + words});
            QCOMPARE(marks.problems(e), QStringList{words});
            QCOMPARE(report.lines.first(), entryLabel(1, e) + u": 失敗 - "_s + words);
        }
        QCOMPARE(state(), before);
        if (!path.contains(u"警告"_s))
            QVERIFY(topPageNow() == topPageBefore);
    }
#endif

    // A list too large to hold is not read: check names the file and its
    // size once, and blames no entry for what the list would have said.
    void tooLargeListIsNamedNotTheEntries_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QStringList>("fields");
        const qint64 most = text::largestReadable() + 1;
        QTest::newRow("forum list of 4 GiB") << u"{data}forumlist.txt"_s << (qint64(1) << 32)
                                             << QStringList{u"mestitlea"_s, u"FNONE/"_s};
        QTest::newRow("room list")
            << u"{data}{F}mes.txt"_s << most << QStringList{u"mesrc"_s, u"{F}"_s, u"77"_s, u"5"_s};
        QTest::newRow("patio list") << u"{data}patiolist.txt"_s << most
                                    << QStringList{u"patiorc"_s, u"PAT0"_s, u"x"_s, u"1"_s};
    }
    void tooLargeListIsNamedNotTheEntries() {
        QFETCH(QString, list);
        QFETCH(qint64, size);
        QFETCH(QStringList, fields);
        const QString path = text::decode(names.expand(list));
        const QByteArray old = readBytes(path);
        const auto restore = qScopeGuard([&] { writeBytes(path, old); });
        QVERIFY(QFile::resize(path, size)); // sparse: nothing of it is on the disk
        const QString line = path + u" を読めません: 大きすぎます (%1 バイト)"_s.arg(size);
        const PatrolEntry e = names.entry(fields);
        EntryChecker marks(h.folders);
        QCOMPARE(marks.problems(e), QStringList());
        QCOMPARE(marks.unreadableFiles(), QStringList{line});
        const CommandLine check = commandLine(h, {u"check"_s, h.writeList({e, e}), u"--settings"_s,
                                                  h.demo->programFolder + kSettingsFileName});
        QCOMPARE(check.status, 1);
        QCOMPARE(check.out, line + u"\n問題が 1 件あります (2項目)\n"_s);
    }

    // What check refuses, run refuses with the same line and writes nothing;
    // what check passes, run stores under exactly that name.
    void oneDownloadNameRuleForCheckAndRun_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("folder"); // where it lands, or -1 when refused
        const int binary = SettingsFolders::BinaryDownload;
        QTest::newRow("plain") << QByteArray("A.LZH") << binary;
        QTest::newRow("text, small letters")
            << QByteArray("x.txt") << int(SettingsFolders::TextDownload);
        QTest::newRow("trail byte 5C is no separator") << sjis(u"表.ZIP") << binary;
        QTest::newRow("longest name") << QByteArray(251, 'A') + ".ZIP" << binary;
        QTest::newRow("name too long") << QByteArray(252, 'A') + ".ZIP" << -1;
        QTest::newRow("lead byte before a slash") << QByteArray("x\x81/p.ZIP") << -1;
        QTest::newRow("no character FE") << QByteArray("\xfe"
                                                       "A.ZIP")
                                         << -1;
        QTest::newRow("no character FF") << QByteArray("\xff"
                                                       "A.ZIP")
                                         << -1;
        QTest::newRow("no character A0") << QByteArray("\xa0"
                                                       "A.ZIP")
                                         << -1;
        // A duplicate code: it reads as a character that is written as FA5C.
        QTest::newRow("no way back for ED40") << QByteArray("\xed\x40.ZIP") << -1;
        QTest::newRow("two dots") << QByteArray("a..b.ZIP") << -1;
        QTest::newRow("backslash") << QByteArray("a\\b.ZIP") << -1;
    }
    void oneDownloadNameRuleForCheckAndRun() {
        QFETCH(QByteArray, name);
        QFETCH(int, folder);
        PatrolEntry e = names.entry({u"dldown"_s, u"{F}"_s, u"1"_s, u"{N}"_s});
        e.param4 = name;
        const QStringList checked = checkPatrolList(listOf({e}), h.folders);
        auto listing = [this](int f) {
            return QDir(text::nativePath(h.folders.folders[f])).entryList(QDir::AllEntries);
        };
        const QStringList text = listing(SettingsFolders::TextDownload);
        const QStringList binary = listing(SettingsFolders::BinaryDownload);
        const RunReport report = runAll(h, {e});
        if (folder < 0) {
            const QString why =
                u"保存するファイル名「%1」が正しくありません"_s.arg(text::decode(name));
            QCOMPARE(checked, QStringList{entryLabel(1, e) + u": "_s + why});
            QCOMPARE(report.lines.first(), entryLabel(1, e) + u": 失敗 - "_s + why);
            QCOMPARE(listing(SettingsFolders::TextDownload), text);
            QCOMPARE(listing(SettingsFolders::BinaryDownload), binary);
            return;
        }
        QCOMPARE(checked, QStringList());
        QCOMPARE(report.outcomes, QList{RunReport::Done});
        const QString stored = text::nativePath(h.folders.folders[folder] + name);
        QCOMPARE(readBytes(stored),
                 h.service.fileContent(0, 1, h.service.libraryFiles(0, 1).first()));
        QVERIFY(QFile::remove(stored));
    }

    // The library number is read once, as a whole integer, and its decimal
    // form names the list; the list holds the files of the date itself on.
    void dltitlebListIsNamedByTheNumber_data() {
        QTest::addColumn<QString>("library");
        for (const QString &library : {u"2"_s, u"+2"_s, u" 2"_s, u"02"_s, u"$2"_s})
            QTest::newRow(qPrintable(library)) << library;
    }
    void dltitlebListIsNamedByTheNumber() {
        QFETCH(QString, library);
        const QString forum = text::nativePath(h.folders.dataFolder() + h.service.forumCode(0));
        QVERIFY(QFile::remove(forum + u"dl2.txt"_s));
        const QStringList before = QDir(forum).entryList(QDir::Files);
        const QList<LibraryFile> files = h.service.libraryFiles(0, 2);
        const QDate since = files.at(files.size() / 2).date;
        QList<QByteArray> rows;
        for (const LibraryFile &file : files) {
            if (file.date >= since)
                rows << file.row;
        }
        const RunReport report = runAll(
            h, {names.entry({u"dltitleb"_s, u"{F}"_s, library, since.toString(u"yyMMdd"_s)})});
        QCOMPARE(report.outcomes, QList{RunReport::Done});
        QStringList after = before + QStringList{u"dl2.txt"_s};
        after.sort();
        QCOMPARE(QDir(forum).entryList(QDir::Files), after);
        QCOMPARE(loadCapturedRows(forum + u"dl2.txt"_s).rows, rows);
    }

    // Folders are prefixes: one missing, unterminated or not there would
    // put the run's files into the working folder or beside the folder.
    void settingsWithUnusableFolders_data() {
        QTest::addColumn<int>("folder"); // the line changed; -1: the three flag lines only
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("lines");
        QTest::newRow("flag lines only")
            << -1 << QString() << u" の 4 行目: フォルダがありません"_s << 8;
        QTest::newRow("empty folder line")
            << int(SettingsFolders::Log) << QString() << u" の 4 行目: フォルダがありません"_s << 1;
        QTest::newRow("no separator at the end")
            << int(SettingsFolders::Data) << u"{root}data"_s
            << u" の 5 行目: フォルダ「{root}data」が / で終わっていません"_s << 1;
        QTest::newRow("folder not there")
            << int(SettingsFolders::Autopilot) << u"{root}none/"_s
            << u" の 7 行目: フォルダ「{root}none/」がありません"_s << 1;
    }
    void settingsWithUnusableFolders() {
        QFETCH(int, folder);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        QFETCH(int, lines);
        const QString settings = h.dir.path() + u"/settings.txt"_s;
        SettingsFolders folders = h.folders;
        if (folder >= 0)
            folders.folders[folder] = names.expand(value);
        if (folder < 0)
            writeBytes(settings, "1\r\n1\r\n1\r\n");
        else
            QVERIFY(writeSettings(settings, SettingsFlags{}, folders));
        const QString list = h.writeList({names.entry({u"bill"_s})});
        const QString said = u"設定ファイル "_s + settings + text::decode(names.expand(problem));

        const CommandLine check = commandLine(h, {u"check"_s, list, u"--settings"_s, settings});
        QCOMPARE(check.status, 1);
        QVERIFY2(check.out.contains(said), qPrintable(check.out));
        QCOMPARE(check.out.count(u"設定ファイル "_s + settings), lines);

        // run refuses before it writes anything, here or in the folders.
        QTemporaryDir working;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(working.path());
        const QByteArray record = readBytes(runLogPath(h));
        const CommandLine run =
            commandLine(h, {u"run"_s, list, u"--settings"_s, settings, u"--all"_s});
        QDir::setCurrent(previous);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(QDir(working.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(readBytes(runLogPath(h)), record);
    }

    // 〜 (U+301C) is stored as the bytes of ～ (U+FF5E): a demo made in the
    // one would fill the other.
    void demoRefusesAFolderNamedWithALookAlike() {
        const QString sibling = h.dir.path() + u"/wave\uFF5Edir"_s;
        QVERIFY(QDir().mkpath(sibling + u"/data"_s));
        writeBytes(sibling + u"/data/forumlist.txt"_s, "mine\r\n");
        writeBytes(h.dir.path() + u"/kirano-autopilot"_s, "#!/bin/sh\n"); // the program copied
        const QString named = h.dir.path() + u"/wave\u301Cdir"_s;
        const CommandLine demo = commandLine(h, {u"demo"_s, named});
        QCOMPARE(demo.status, 2);
        QCOMPARE(demo.err.count(u'\n'), 1);
        QVERIFY2(demo.err.contains(u"Shift_JIS で表せません"_s), qPrintable(demo.err));
        QVERIFY(!QFileInfo::exists(named));
        QCOMPARE(QDir(sibling).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"data"_s});
        QCOMPARE(readBytes(sibling + u"/data/forumlist.txt"_s), QByteArray("mine\r\n"));
    }

    // What demo prints after the run it makes: a failed entry or a failed
    // run record is said, with its reason, and the summary then says the run
    // failed.
    void demoSaysWhatFailed_data() {
        QTest::addColumn<QList<int>>("outcomes");
        QTest::addColumn<QString>("session"); // a failure of the session, or none
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<int>("status");
        const QString made = u"デモを作りました: /d/program/ (完了 2、対象外 0、失敗 0、9ミリ秒)"_s;
        const QString failed = u"デモを作りましたが、最初の巡回に失敗しました: /d/program/ "_s;
        const int done = RunReport::Done;
        QTest::newRow("all done") << QList<int>{done, done} << QString() << QStringList{made} << 0;
        QTest::newRow("an entry failed")
            << QList<int>{done, int(RunReport::Failed)} << QString()
            << QStringList{u"entry 2"_s, failed + u"(完了 1、対象外 0、失敗 1、9ミリ秒)"_s} << 1;
        QTest::newRow("run record failed")
            << QList<int>{done, done} << u"ﾌｧｲﾙ 巡回記録.txt を作成できません (I/O ｴﾗｰ (27))"_s
            << QStringList{u"ﾌｧｲﾙ 巡回記録.txt を作成できません (I/O ｴﾗｰ (27))"_s,
                           failed + u"(完了 2、対象外 0、失敗 0、記録に失敗、9ミリ秒)"_s}
            << 1;
    }
    void demoSaysWhatFailed() {
        QFETCH(QList<int>, outcomes);
        QFETCH(QString, session);
        QFETCH(QStringList, printed);
        QFETCH(int, status);
        autopilot::Demo demo;
        demo.programFolder = u"/d/program/"_s;
        for (int i = 0; i < outcomes.size(); ++i) {
            demo.report.outcomes << RunReport::Outcome(outcomes[i]);
            demo.report.lines << u"entry %1"_s.arg(i + 1);
        }
        if (!session.isEmpty()) {
            demo.report.lines << session;
            demo.report.sessionFailed = true;
        }
        QString out;
        QTextStream stream(&out);
        QCOMPARE(reportDemo(demo, 9, stream), status);
        stream.flush();
        QCOMPARE(out, printed.join(u'\n') + u'\n');
    }

    void helpAndVersionOnStandardOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("--help") << QStringList{u"--help"_s} << u"使い方:\n"_s;
        QTest::newRow("-h") << QStringList{u"-h"_s} << u"使い方:\n"_s;
        QTest::newRow("help of a command")
            << QStringList{u"run"_s, u"x.txt"_s, u"--help"_s} << u"使い方:\n"_s;
        QTest::newRow("--version")
            << QStringList{u"--version"_s} << u"kirano-autopilot " KIRANO_VERSION "\n"_s;
        QTest::newRow("version after a command that fits")
            << QStringList{u"check"_s, u"x.txt"_s, u"--version"_s}
            << u"kirano-autopilot " KIRANO_VERSION "\n"_s;
    }
    void helpAndVersionOnStandardOutput() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const CommandLine c = commandLine(h, arguments);
        QCOMPARE(c.status, 0);
        QVERIFY2(c.out.startsWith(said), qPrintable(c.out));
        QCOMPARE(c.err, QString());
    }

    void commandLineStatus_data() {
        QTest::addColumn<QStringList>("arguments");  // {list} the demo's list, {s} its settings
        QTest::addColumn<QByteArray>("listContent"); // written as {other}
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        auto demo = [](const char *command) {
            return QStringList{QString::fromLatin1(command), u"{list}"_s, u"--settings"_s,
                               u"{s}"_s};
        };
        auto other = [](const char *command) {
            return QStringList{QString::fromLatin1(command), u"{other}"_s, u"--settings"_s,
                               u"{s}"_s};
        };
        QTest::newRow("demo list is clean")
            << demo("check") << QByteArray() << 0 << u"問題はありません (159項目)"_s;
        QTest::newRow("a problem")
            << other("check") << QByteArray("bill\r\n0\r\n0\r\n0\r\n0\r\n\r\n") << 1
            << u"問題が 1 件あります (1項目)"_s;
        QTest::newRow("lines left over")
            << other("check") << sjis(u"bill\r\n0\r\n0\r\n0\r\n0\r\n月\r\nbill\r\n") << 1
            << u"末尾: 六行に満たない最後の 1 行は読まれません"_s;
        QTest::newRow("empty file") << other("check") << QByteArray() << 2
                                    << u"は巡回リストではありません (命令が一つもありません)"_s;
        QTest::newRow("prose")
            << other("run") << QByteArray("a\nb\nc\nd\ne\nf\ng\n") << 2
            << u"は巡回リストではありません (知っている命令が一つもありません)"_s;
        QTest::newRow("picture") << other("check")
                                 << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << 2
                                 << u"は巡回リストではありません"_s;
        QTest::newRow("no such list")
            << QStringList{u"check"_s, u"{root}none.txt"_s, u"--settings"_s, u"{s}"_s}
            << QByteArray() << 2 << u"巡回リスト {root}none.txt がありません"_s;
        QTest::newRow("no such settings file")
            << QStringList{u"check"_s, u"{list}"_s, u"--settings"_s, u"{root}none.txt"_s}
            << QByteArray() << 2 << u"設定ファイル {root}none.txt がありません"_s;
        QTest::newRow("list path with a line break")
            << QStringList{u"check"_s, u"{root}a\nb.txt"_s, u"--settings"_s, u"{s}"_s}
            << QByteArray() << 2 << u"Shift_JIS で表せません"_s;
        QTest::newRow("settings path with a look-alike")
            << QStringList{u"check"_s, u"{list}"_s, u"--settings"_s, u"{root}\u2212.txt"_s}
            << QByteArray() << 2 << u"Shift_JIS で表せません"_s;
        QTest::newRow("option without its value")
            << demo("run") + QStringList{u"--day"_s} << QByteArray() << 2
            << u"--day の値がありません"_s;
        QTest::newRow("unknown option") << demo("check") + QStringList{u"--bogus"_s} << QByteArray()
                                        << 2 << u"--bogus はこのコマンドでは使えません"_s;
        QTest::newRow("option of another command")
            << demo("check") + QStringList{u"--all"_s} << QByteArray() << 2
            << u"--all はこのコマンドでは使えません"_s;
        QTest::newRow("argument left over")
            << demo("check") + QStringList{u"extra"_s} << QByteArray() << 2
            << u"extra はこのコマンドでは使えません"_s;
        QTest::newRow("argument beside --version")
            << QStringList{u"--version"_s, u"extra"_s} << QByteArray() << 2
            << u"extra はこのコマンドでは使えません"_s;
        QTest::newRow("argument before --help") << QStringList{u"extra"_s, u"-h"_s} << QByteArray()
                                                << 2 << u"extra はこのコマンドでは使えません"_s;
        QTest::newRow("--help and --version")
            << QStringList{u"--help"_s, u"--version"_s} << QByteArray() << 2
            << u"--version はこのコマンドでは使えません"_s;
        QTest::newRow("--help after a command that does not fit")
            << demo("check") + QStringList{u"extra"_s, u"--help"_s} << QByteArray() << 2
            << u"extra はこのコマンドでは使えません"_s;
        QTest::newRow("no settings beside the program")
            << QStringList{u"check"_s, u"{list}"_s} << QByteArray() << 2
            << u"環境設定.txt がありません"_s;
        QTest::newRow("run every entry") << demo("run") + QStringList{u"--all"_s} << QByteArray()
                                         << 0 << u"完了 159、対象外 0、失敗 0"_s;
        QTest::newRow("run on Sunday") << demo("run") + QStringList{u"--day"_s, u"日"_s}
                                       << QByteArray() << 0 << u"完了 156、対象外 3、失敗 0"_s;
        QTest::newRow("run with a failure")
            << other("run") + QStringList{u"--all"_s}
            << QByteArray("mestitlea\r\nFNONE/\r\n0\r\n0\r\n0\r\n") + sjis(u"月\r\n") << 1
            << u"完了 0、対象外 0、失敗 1"_s;
        QTest::newRow("day and all") << demo("run") + QStringList{u"--day"_s, u"月"_s, u"--all"_s}
                                     << QByteArray() << 2 << u"一緒に使えません"_s;
        QTest::newRow("no such day") << demo("run") + QStringList{u"--day"_s, u"Mon"_s}
                                     << QByteArray() << 2 << u"曜日 Mon はありません"_s;
        QTest::newRow("no such command")
            << QStringList{u"fly"_s, u"x"_s} << QByteArray() << 2 << u"コマンド fly はありません"_s;
        QTest::newRow("demo into a full folder")
            << QStringList{u"demo"_s, u"{root}"_s} << QByteArray() << 2
            << u"空のフォルダではありません"_s;
    }
    void commandLineStatus() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, listContent);
        QFETCH(int, status);
        QFETCH(QString, said);
        const QString other = h.writeList({}, u"other.txt"_s);
        writeBytes(other, listContent);
        for (QString &a : arguments)
            a.replace(u"{list}"_s, h.demo->patrolList)
                .replace(u"{s}"_s, h.demo->programFolder + kSettingsFileName)
                .replace(u"{other}"_s, other)
                .replace(u"{root}"_s, h.root + u'/');
        const CommandLine c = commandLine(h, arguments);
        QCOMPARE(c.status, status);
        QVERIFY2((c.out + c.err).contains(said.replace(u"{root}"_s, h.root + u'/')),
                 qPrintable(c.out + c.err));
    }

    // The builders behind the context-menu commands, on the demo's data,
    // then saved as Kirano saves: the list passes the check and runs.
    void listBuiltAndSavedByKiranoPassesCheckAndRuns() {
        ScriptedPrompts prompts;
        BuildContext c{prompts, [] { return std::optional<QByteArray>(sjis(u"月木")); }, h.folders};
        const QByteArray data = h.folders.dataFolder();
        const ForumList forums = readForumList(text::nativePath(data) + u"forumlist.txt"_s);
        c.forumCode = forums.at(forums.size() - 1).code;
        c.roomRow =
            loadCapturedRows(text::nativePath(data + *c.forumCode) + u"mes.txt"_s).rows.at(4);
        c.libraryRow =
            loadCapturedRows(text::nativePath(data + *c.forumCode) + u"dl.txt"_s).rows.at(0);
        const QList<QByteArray> files =
            loadCapturedRows(text::nativePath(DataFolder(data).libraryFiles(*c.forumCode, 1))).rows;
        c.selectedNotices = loadCapturedRows(text::nativePath(data) + u"new.txt"_s).rows.mid(3, 2);
        c.bbsRow = 5;
        const PatioRecord patio = readPatioList(text::nativePath(data) + u"patiolist.txt"_s)->at(1);
        c.patioId = patio.id;
        c.patioPassword = patio.password;
        auto in = [](const QByteArray &folder, const char16_t *name) {
            return text::decode(folder) + QString::fromUtf16(name);
        };
        const QByteArray &log = h.folders.logFolder();
        prompts.answer({in(log, u"r.txt"), in(h.folders.textUploadFolder(), u"発言.txt"), u"15"_s,
                        u"980101"_s, u"0"_s, text::decode(proposedFileName(files.at(0))),
                        QString::number(text::leadingNumber(files.at(1))), u"SAVE.LZH"_s,
                        in(log, u"n.txt"), in(h.folders.textUploadFolder(), u"掲示板.txt"),
                        in(h.folders.binaryUploadFolder(), u"メール.txt"),
                        in(h.folders.binaryUploadFolder(), u"写真.gif"), u"件名"_s, u"ghb1"_s,
                        in(log, u"p.txt"), in(h.folders.textUploadFolder(), u"パティオ発言.txt"),
                        u"3"_s});
        PatrolListModel model;
        for (auto build : {buildMyforum, buildNewtitle, buildBill, buildMestitlea, buildDltitlea,
                           buildMesread, buildMesup, buildMesrc, buildDltitleb, buildDldownFromList,
                           buildDldown, buildNew, buildBbsup, buildMailuptxt, buildMailupbin,
                           buildPatioread, buildPatioup, buildPatiorc}) {
            std::optional<PatrolEntry> e = build(c);
            QVERIFY2(e, qPrintable(prompts.asked.join(u'\n')));
            model.insertEntry(model.size(), *e);
        }
        QVERIFY(prompts.answers.empty());
        const QString path = h.dir.path() + u"/saved.txt"_s;
        QVERIFY(writePatrolList(path, model.entries()));
        const text::Result<PatrolListFile> saved = readRunnablePatrolList(path);
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().text()));
        QCOMPARE(saved->entries.size(), 18);
        QCOMPARE(checkPatrolList(*saved, h.folders), QStringList());
        const RunReport report = runPatrolList(*saved, h.folders, h.service, {4, h.when()});
        QCOMPARE(report.count(RunReport::Done), 18);
    }
};

KIRANO_CORE_TEST_MAIN(TestAutopilot)
#include "test_autopilot.moc"

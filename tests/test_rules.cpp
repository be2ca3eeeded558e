// The entry checks: what the night's run would fail on. Each kind of check
// has a table of entries at the edges of what it accepts, each with the
// words `kirano-autopilot check` prints after the entry's label, one problem
// a line; the same words are the entry's mark in the window (its tooltip).
// Every table is run three ways: by a checker of its own for each entry, by
// the command line over a list of the table's entries, and by the window
// marking that list.
#include "app/mainwindow.h"
#include "app/patrolmarks.h"
#include "autopilot/commandline.h"
#include "guitestsupport.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "rules/entrycheck.h"
#include "rules/patrolcheck.h"
#include "testfiles.h"
#include "testmain.h"
#include "text/files.h"
#include "version.h"

#include <QDir>
#include <QTextStream>
#include <QTreeView>
#include <QtTest>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

// What the checks see besides the entry: the settings' folders as they
// stand, or one of them changed.
enum class Setup {
    AsMade,           // every folder and captured file below
    NoDownloadFolder, // the binary download folder is not there
    NoSelection,      // the data folder holds no Newtitle.txt
    NoForumList,      // the data folder holds no forumlist.txt
};

// One entry of a table: its fields (missing ones "0", days 月) with
// {root} standing for the installation's folder, and the words of its
// problems, one a line, with {root} likewise; empty for a sound entry.
struct Case {
    const char *name;
    QStringList fields;
    QString words;
    Setup setup = Setup::AsMade;
};

// The tables, by kind of check.
QList<Case> fieldCases() {
    return {
        {"unknown keyword", {u"MESREAD"_s}, u"命令「MESREAD」はありません"_s},
        {"keyword off in its last byte", {u"newtitlf"_s}, u"命令「newtitlf」はありません"_s},
        {"room 0", {u"mesrc"_s, u"F/"_s, u"0"_s, u"5"_s}, u"会議室番号「0」が正しくありません"_s},
        {"room 1, the first", {u"mesrc"_s, u"F/"_s, u"1"_s, u"5"_s}, {}},
        {"room with a blank before", {u"mesrc"_s, u"F/"_s, u" 2"_s, u"5"_s}, {}},
        {"room no number",
         {u"mesrc"_s, u"F/"_s, u"x"_s, u"5"_s},
         u"会議室番号「x」が正しくありません"_s},
        {"room past the largest number",
         {u"mesrc"_s, u"F/"_s, u"2147483648"_s, u"5"_s},
         u"会議室番号「2147483648」が正しくありません"_s},
        {"library 0",
         {u"dltitleb"_s, u"F/"_s, u"0"_s, u"980101"_s},
         u"ライブラリィ番号「0」が正しくありません"_s},
        {"download number 0",
         {u"dldown"_s, u"F/"_s, u"1"_s, u"0"_s, u"A.LZH"_s},
         u"ダウンロード番号「0」が正しくありません"_s},
        {"unread count 0", {u"mesrc"_s, u"F/"_s, u"1"_s, u"0"_s}, {}},
        {"unread count 999", {u"mesrc"_s, u"F/"_s, u"1"_s, u"999"_s}, {}},
        {"unread count 1000",
         {u"mesrc"_s, u"F/"_s, u"1"_s, u"1000"_s},
         u"未読数「1000」が正しくありません"_s},
        {"unread count -1",
         {u"mesrc"_s, u"F/"_s, u"1"_s, u"-1"_s},
         u"未読数「-1」が正しくありません"_s},
        {"read count 0", {u"patiorc"_s, u"PAT1"_s, u"pw1"_s, u"0"_s}, {}},
        {"read count the largest", {u"patiorc"_s, u"PAT1"_s, u"pw1"_s, u"2147483647"_s}, {}},
        {"read count -1",
         {u"patiorc"_s, u"PAT1"_s, u"pw1"_s, u"-1"_s},
         u"既読数「-1」が数ではありません"_s},
        {"read count full-width",
         {u"patiorc"_s, u"PAT1"_s, u"pw1"_s, u"３０"_s},
         u"既読数「３０」が数ではありません"_s},
        {"date 980101", {u"dltitleb"_s, u"F/"_s, u"1"_s, u"980101"_s}, {}},
        {"date 29 February 2000", {u"dltitleb"_s, u"F/"_s, u"1"_s, u"000229"_s}, {}},
        {"date 29 February 2001",
         {u"dltitleb"_s, u"F/"_s, u"1"_s, u"010229"_s},
         u"日付「010229」が正しくありません (例 980101)"_s},
        {"date of five digits",
         {u"dltitleb"_s, u"F/"_s, u"1"_s, u"98010"_s},
         u"日付「98010」が正しくありません (例 980101)"_s},
        {"mail without a subject",
         {u"mailupbin"_s, u"{root}bup/b.gif"_s, u""_s, u"ID"_s},
         u"題名がありません"_s},
        {"mail without a recipient",
         {u"mailupbin"_s, u"{root}bup/b.gif"_s, u"s"_s, u""_s},
         u"送り先ＩＤがありません"_s},
        {"board 2-0, the first", {u"bbsup"_s, u"2"_s, u"0"_s, u"{root}up/a.txt"_s}, {}},
        {"board 9-0, the last", {u"bbsup"_s, u"9"_s, u"0"_s, u"{root}up/a.txt"_s}, {}},
        {"board 5-7", {u"bbsup"_s, u"5"_s, u"7"_s, u"{root}up/a.txt"_s}, {}},
        {"board 5-8",
         {u"bbsup"_s, u"5"_s, u"8"_s, u"{root}up/a.txt"_s},
         u"掲示板の分類「5-8」はありません"_s},
        {"board 1-0",
         {u"bbsup"_s, u"1"_s, u"0"_s, u"{root}up/a.txt"_s},
         u"掲示板の分類「1-0」はありません"_s},
        {"download name with a slash",
         {u"dldown"_s, u"F/"_s, u"1"_s, u"1"_s, u"a/b.LZH"_s},
         u"保存するファイル名「a/b.LZH」が正しくありません"_s},
    };
}

QList<Case> listCases() {
    return {
        {"forum listed", {u"mestitlea"_s, u"F/"_s}, {}},
        {"forum not listed",
         {u"mestitlea"_s, u"NONE/"_s},
         u"フォーラム「NONE/」が forumlist.txt にありません"_s},
        {"forum list missing",
         {u"mestitlea"_s, u"F/"_s},
         u"フォーラム「F/」が forumlist.txt にありません"_s,
         Setup::NoForumList},
        {"the last room", {u"mesrc"_s, u"F/"_s, u"99"_s, u"5"_s}, {}},
        {"a room whose count fills its columns", {u"mesrc"_s, u"F/"_s, u"3"_s, u"5"_s}, {}},
        {"a room between",
         {u"mesrc"_s, u"F/"_s, u"50"_s, u"5"_s},
         u"50番会議室が F/ の会議室リストにありません"_s},
        {"a room of a list not captured", {u"mesrc"_s, u"B/"_s, u"50"_s, u"5"_s}, {}},
        {"a room of an empty list",
         {u"mesrc"_s, u"E/"_s, u"1"_s, u"5"_s},
         u"1番会議室が E/ の会議室リストにありません"_s},
        {"the first library", {u"dltitleb"_s, u"F/"_s, u"1"_s, u"980101"_s}, {}},
        {"the last library", {u"dltitleb"_s, u"F/"_s, u"10"_s, u"980101"_s}, {}},
        {"a library past the last",
         {u"dltitleb"_s, u"F/"_s, u"11"_s, u"980101"_s},
         u"11番ライブラリィが F/ のライブラリィリストにありません"_s},
        {"a library of a list without numbers",
         {u"dltitleb"_s, u"E/"_s, u"1"_s, u"980101"_s},
         u"1番ライブラリィが E/ のライブラリィリストにありません"_s},
        {"a library of a list not captured", {u"dltitleb"_s, u"B/"_s, u"3"_s, u"980101"_s}, {}},
        {"the first download", {u"dldown"_s, u"F/"_s, u"1"_s, u"1"_s, u"A.LZH"_s}, {}},
        {"the last download", {u"dldown"_s, u"F/"_s, u"1"_s, u"7"_s, u"A.LZH"_s}, {}},
        {"a download between",
         {u"dldown"_s, u"F/"_s, u"1"_s, u"5"_s, u"A.LZH"_s},
         u"ダウンロード番号 5 が dl1.txt にありません"_s},
        {"a download of a list not captured",
         {u"dldown"_s, u"F/"_s, u"10"_s, u"5"_s, u"A.LZH"_s},
         {}},
        {"patio listed", {u"patioread"_s, u"PAT1"_s, u"pw1"_s, u"{root}log/p.txt"_s}, {}},
        {"patio not listed",
         {u"patioread"_s, u"PAT9"_s, u"pw1"_s, u"{root}log/p.txt"_s},
         u"パティオＩＤ「PAT9」が patiolist.txt にありません"_s},
        {"patio password differs",
         {u"patioread"_s, u"PAT1"_s, u"pw"_s, u"{root}log/p.txt"_s},
         u"パティオＩＤ「PAT1」のパスワードが patiolist.txt と違います"_s},
    };
}

QList<Case> pathCases() {
    const QString notRegular = u"送るファイル「{root}up/%1」は通常のファイルではありません"_s;
    return {
        {"file to send there", {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/a.txt"_s}, {}},
        {"file to send missing",
         {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/none.txt"_s},
         u"送るファイル「{root}up/none.txt」がありません"_s},
        {"file to send is a folder",
         {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/folder"_s},
         notRegular.arg(u"folder"_s)},
        {"file to send is a FIFO",
         {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/fifo"_s},
         notRegular.arg(u"fifo"_s)},
        {"file to send is a socket",
         {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/socket"_s},
         notRegular.arg(u"socket"_s)},
        {"file to send links to a device",
         {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/null"_s},
         notRegular.arg(u"null"_s)},
        {"file to send links to a file", {u"mesup"_s, u"F/"_s, u"1"_s, u"{root}up/link"_s}, {}},
        {"log in a folder there", {u"mesread"_s, u"F/"_s, u"1"_s, u"{root}log/r.txt"_s}, {}},
        {"log in a folder not there",
         {u"mesread"_s, u"F/"_s, u"1"_s, u"{root}none/r.txt"_s},
         u"ログのフォルダ「{root}none」に書き込めません"_s},
        {"download folder not there",
         {u"dldown"_s, u"F/"_s, u"1"_s, u"1"_s, u"A.LZH"_s},
         u"ダウンロードのフォルダ「{root}bdown/」に書き込めません"_s,
         Setup::NoDownloadFolder},
        {"notices chosen", {u"new"_s, u"{root}log/n.txt"_s}, {}},
        {"no notices chosen",
         {u"new"_s, u"{root}log/n.txt"_s},
         u"読むお知らせを選んだ Newtitle.txt がありません"_s,
         Setup::NoSelection},
    };
}

QList<Case> dayCases() {
    return {
        {"every day", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"日月火水木金土"_s}, {}},
        {"Saturday alone", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"土"_s}, {}},
        {"no day", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u""_s}, u"曜日がありません"_s},
        {"a day twice",
         {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"月月"_s},
         u"曜日「月月」が正しくありません"_s},
        {"out of order",
         {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"水月"_s},
         u"曜日「水月」が正しくありません"_s},
        {"no day's name",
         {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"月x"_s},
         u"曜日「月x」が正しくありません"_s},
        // Three problems of one entry, in the order check prints them.
        {"three problems",
         {u"mesread"_s, u"NONE/"_s, u"3"_s, u"{root}none/a.txt"_s, u"0"_s, u"x"_s},
         u"フォーラム「NONE/」が forumlist.txt にありません\n"
         u"ログのフォルダ「{root}none」に書き込めません\n曜日「x」が正しくありません"_s},
    };
}

const std::pair<const char *, QList<Case> (*)()> kTables[] = {
    {"fields", fieldCases}, {"lists", listCases}, {"paths", pathCases}, {"days", dayCases}};

// An installation whose folders and captured files the tables go by.
// The window's fixture gives the folder, so that the window reads the same
// settings file.
struct Installation : Fixture {
    QString root() const { return folder(); }
    QString expand(QString text) const { return text.replace(u"{root}"_s, root()); }

    PatrolEntry entry(const Case &c) const {
        PatrolEntry e = PatrolEntry::zeroed();
        e.days = sjis(u"月");
        for (int f = 0; f < c.fields.size(); ++f)
            e.field(f) = text::bytesOf(expand(c.fields[f]));
        return e;
    }

    QString settingsFile() const { return settingsPath(); }

    SettingsFolders folders() const {
        SettingsFolders f;
        const char *names[] = {"log/", "data/", "", "auto/", "up/", "bup/", "down/", "bdown/"};
        for (int i = 0; i < SettingsFolders::Count; ++i)
            f.folders[i] = text::bytesOf(root() + QString::fromLatin1(names[i]));
        return f;
    }

    void write(const QString &name, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(root() + name).path());
        writeBytes(root() + name, bytes);
    }

    // Forum F/ captured whole (rooms 1, 2, 3 and 99; libraries 1 and 10; the
    // downloads 1 and 7 of library 1), E/ with empty and numberless lists,
    // B/ with nothing captured; patio PAT1.
    void make(Setup setup) {
        for (const char *folder : {"log", "data", "auto", "up", "bup", "down", "bdown"})
            QDir().mkpath(root() + QString::fromLatin1(folder));
        if (setup == Setup::NoDownloadFolder)
            QDir(root() + u"bdown"_s).removeRecursively();
        if (setup != Setup::NoForumList)
            write(u"data/forumlist.txt"_s, "Forum\r\nF/\r\nEmpty\r\nE/\r\nBare\r\nB/\r\n");
        const QByteArray date = sjis(u"データ取得日 98/12/24 07:05") + "\r\n";
        // Room 3's message count fills bytes 3 to 10, up to the number.
        write(u"data/F/mes.txt"_s,
              "01  first\r\n02  second\r\n0312345678  full\r\n99  last\r\n" + date);
        write(u"data/F/dl.txt"_s, "0001 one\r\n0010 ten\r\n" + date);
        write(u"data/F/dl1.txt"_s, "     1 A.LZH\r\n     7 B.LZH\r\n" + date);
        write(u"data/E/mes.txt"_s, QByteArray());
        write(u"data/E/dl.txt"_s, "no numbers here\r\n");
        write(u"data/patiolist.txt"_s, "Patio\r\nPAT1\r\npw1\r\n");
        if (setup != Setup::NoSelection)
            write(u"data/Newtitle.txt"_s, "0001\r\n");
        write(u"up/a.txt"_s, "text\r\n");
        write(u"bup/b.gif"_s, "GIF89a");
        QDir().mkpath(root() + u"up/folder"_s);
        QVERIFY(makeSpecial(root() + u"up/fifo"_s, Special::Fifo));
        QVERIFY(makeSpecial(root() + u"up/socket"_s, Special::Socket));
        QVERIFY(QFile::link(u"/dev/null"_s, root() + u"up/null"_s));
        QVERIFY(QFile::link(root() + u"up/a.txt"_s, root() + u"up/link"_s));
        QVERIFY(kirano::writeSettings(settingsFile(), SettingsFlags(), folders()));
    }

    QStringList words(const Case &c) const {
        return c.words.isEmpty() ? QStringList() : expand(c.words).split(u'\n');
    }
};

QList<Case> casesOf(const QString &table, Setup setup) {
    QList<Case> cases;
    for (const auto &[name, make] : kTables) {
        if (table == QString::fromLatin1(name)) {
            for (const Case &c : make())
                if (c.setup == setup)
                    cases << c;
        }
    }
    return cases;
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT
  private slots:
    // Each entry alone, by a checker of its own: its problems' words.
    void eachEntry_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("index");
        for (const auto &[table, make] : kTables) {
            const QList<Case> cases = make();
            for (int i = 0; i < cases.size(); ++i)
                QTest::addRow("%s: %s", table, cases[i].name) << QString::fromLatin1(table) << i;
        }
    }
    void eachEntry() {
        QFETCH(QString, table);
        QFETCH(int, index);
        const Case c = [&] {
            for (const auto &[name, make] : kTables)
                if (table == QString::fromLatin1(name))
                    return make().at(index);
            return Case{};
        }();
        Installation in;
        in.make(c.setup);
        rules::EntryChecker checker(in.folders());
        const rules::Findings found = checker.check(in.entry(c));
        QCOMPARE(checker.words(in.entry(c), found.problems), in.words(c));
        QCOMPARE(found.problems != 0, !c.words.isEmpty());
    }

    // Each table's entries as one list: the command line prints each
    // entry's words after its label and counts them in its last line, and
    // the window marks each row with the same words.
    void commandLineAndWindowAgree_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("setup");
        for (const auto &[table, make] : kTables) {
            for (Setup setup :
                 {Setup::AsMade, Setup::NoDownloadFolder, Setup::NoSelection, Setup::NoForumList}) {
                if (!casesOf(QString::fromLatin1(table), setup).isEmpty())
                    QTest::addRow("%s, setup %d", table, int(setup))
                        << QString::fromLatin1(table) << int(setup);
            }
        }
    }
    void commandLineAndWindowAgree() {
        QFETCH(QString, table);
        QFETCH(int, setup);
        const QList<Case> cases = casesOf(table, Setup(setup));
        Installation in;
        in.make(Setup(setup));
        QList<PatrolEntry> entries;
        for (const Case &c : cases)
            entries << in.entry(c);
        const QString list = in.root() + u"list.txt"_s;
        QVERIFY(writePatrolList(list, entries));

        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const autopilot::ProgramPlace place{in.root(), in.root() + u"kirano-autopilot"_s,
                                            QStringLiteral(KIRANO_VERSION)};
        const int status = autopilot::runCommandLine(
            {u"check"_s, list, u"--settings"_s, in.settingsFile()}, place, outStream, errStream);
        outStream.flush();
        // A folder of the settings that is not there is said first, apart
        // from the entries, and counted with them.
        QStringList printed = out.split(u'\n', Qt::SkipEmptyParts);
        const qsizetype settingsLines =
            std::count_if(printed.cbegin(), printed.cend(),
                          [](const QString &line) { return line.startsWith(u"設定ファイル"_s); });
        QCOMPARE(settingsLines, Setup(setup) == Setup::NoDownloadFolder ? 1 : 0);
        printed.remove(0, settingsLines);
        QStringList expected;
        int problems = int(settingsLines);
        for (int i = 0; i < cases.size(); ++i) {
            for (const QString &line : in.words(cases[i])) {
                expected << entryLabel(i + 1, entries[i]) + u": "_s + line;
                ++problems;
            }
        }
        expected << (problems == 0
                         ? u"問題はありません (%1項目)"_s.arg(cases.size())
                         : u"問題が %1 件あります (%2項目)"_s.arg(problems).arg(cases.size()));
        QCOMPARE(printed, expected);
        QCOMPARE(status, problems == 0 ? 0 : 1);

        // The window, on the same settings, marks the same rows with the
        // same words. It opens no entry it has no row for.
        QList<PatrolEntry> shown;
        QStringList shownWords;
        for (int i = 0; i < cases.size(); ++i) {
            if (hasDisplayRow(entries[i])) {
                shown << entries[i];
                shownWords << in.words(cases[i]).join(u'\n');
            }
        }
        QVERIFY(writePatrolList(list, shown));
        MainWindow &w = in.start();
        in.prompts.answer({list});
        QTRY_VERIFY(w.isActiveWindow()); // the key is a shortcut of the active window
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        auto *lsv1 = w.findChild<QTreeView *>(u"lsv1"_s);
        QTRY_COMPARE(lsv1->model()->rowCount(), shown.size());
        QTRY_VERIFY(w.patrolPane()->marks()->isSettled());
        for (int i = 0; i < shown.size(); ++i) {
            const QModelIndex row = lsv1->model()->index(i, 0);
            QCOMPARE(row.data(Qt::ToolTipRole).toString(), shownWords[i]);
            QCOMPARE(row.data(PatrolListModel::MarkRole).toBool(), !shownWords[i].isEmpty());
        }
    }
};

KIRANO_GUI_TEST_MAIN(TestRules)
#include "test_rules.moc"

// The patrol list: display rows, the days text, the list file and the model.

#include "patrol/commands.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "patrol/weekdays.h"
#include "testmain.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QAbstractItemModelTester>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>

using namespace kirano;
using text::bytesOf;

namespace {

// Six fields in file order.
PatrolEntry entryOf(const QByteArrayList &f) {
    return PatrolEntry{f.value(0), f.value(1), f.value(2), f.value(3), f.value(4), f.value(5)};
}

QByteArrayList fieldsOf(const PatrolEntry &e) {
    QByteArrayList fields;
    for (int i = 0; i < PatrolEntry::kFieldCount; ++i)
        fields.append(e.field(i));
    return fields;
}

QByteArrayList columnsOf(const DisplayRow &d) {
    return {d.column1, d.column2, d.column3};
}

// Unknown keywords show command, param1, param2, so each row is easy to tell apart.
PatrolEntry rowOf(const QByteArray &tag) {
    return PatrolEntry{tag, tag + "-1", tag + "-2", tag + "-3", tag + "-4", tag + "-d"};
}

// The three display columns the model shows for row r.
QStringList shownColumns(const PatrolListModel &m, int r) {
    return {m.data(m.index(r, 0)).toString(), m.data(m.index(r, 1)).toString(),
            m.data(m.index(r, 2)).toString()};
}

QStringList decodedColumns(const DisplayRow &d) {
    return {text::decode(d.column1), text::decode(d.column2), text::decode(d.column3)};
}

// The list holds the rows made by rowOf(tag) for these tags, top to bottom.
void checkRows(const PatrolListModel &m, const QByteArrayList &tags) {
    QCOMPARE(m.size(), tags.size());
    for (int r = 0; r < m.size(); ++r) {
        const PatrolEntry expected = rowOf(tags.at(r));
        QCOMPARE(fieldsOf(m.entry(r)), fieldsOf(expected));
        QCOMPARE(shownColumns(m, r), decodedColumns(*displayRowOf(expected)));
        QCOMPARE(m.data(m.index(r, 0)).toString(), QString::fromLatin1(tags.at(r)));
    }
}

// One edit of the list, by name: what a test table can hold. New entries are
// n0, n1 ...
void editList(PatrolListModel &model, const QByteArray &edit, int a, int b) {
    QList<PatrolEntry> added;
    for (int i = 0; i < b; ++i)
        added << rowOf("n" + QByteArray::number(i));
    if (edit == "remove")
        model.removeEntry(a);
    else if (edit == "take")
        model.takeEntries(a, b);
    else if (edit == "move")
        model.moveEntry(a, b);
    else if (edit == "up")
        model.moveUp(a);
    else if (edit == "insert")
        model.insertEntries(a, added);
    else if (edit == "days")
        model.setDays(a, "x");
    else if (edit == "replace")
        model.replaceEntry(a, rowOf("n0"));
    else if (edit == "swap")
        model.swapEntries(added);
    else if (edit == "all")
        model.setAllPending();
    else if (edit == "pending")
        model.setPending(a);
    else if (edit == "store")
        model.storeMark(a, 2, {30}, 1);
    else
        QFAIL("no such edit");
}

} // namespace

class TestPatrol : public QObject {
    Q_OBJECT

  private slots:
    void displayRow_data() {
        QTest::addColumn<QByteArrayList>("entry");   // command, param1 .. param4
        QTest::addColumn<QByteArrayList>("columns"); // three columns; none when it fails
        const auto row = [](const char *name, const QByteArrayList &entry,
                            const QByteArrayList &columns) {
            QTest::newRow(name) << entry << columns;
        };
        const QByteArrayList fail;
        row("bill", {"bill", "0", "0", "0", "0"}, {bytesOf(u"利用料金情報"), "", ""});
        row("myforum", {"myforum", "F", "0", "0", "0"}, {bytesOf(u"フォーラムリスト取得"), "", ""});
        row("mestitlea", {"mestitlea", "FGAL", "0", "0", "0"},
            {"FGAL", bytesOf(u"会議室タイトル（大）を取得"), ""});
        row("dltitlea", {"dltitlea", "FGAL", "0", "0", "0"},
            {"FGAL", bytesOf(u"ＤＬタイトル（大）を取得"), ""});
        row("mesread", {"mesread", "FGAL", "3", "C:\\LOG\\F1.TXT", "0"},
            {"FGAL", bytesOf(u" 3番会議室を読み込み"), "F1.TXT"});
        row("mesread hex", {"mesread", "F", "$1F", "F1.TXT", "0"},
            {"F", bytesOf(u"31番会議室を読み込み"), "F1.TXT"});
        row("mesread trail byte 0x5C", {"mesread", "F", "1", "C:\\\x95\x5c.TXT", "0"},
            {"F", bytesOf(u" 1番会議室を読み込み"), "\x95\x5c.TXT"});
        row("mesread not a number", {"mesread", "F", "x", "F1.TXT", "0"}, fail);
        row("mesup", {"mesup", "FGAL", "12", "D:/up/MSG.TXT", "0"},
            {"FGAL", bytesOf(u"12番会議室に書き込み"), "MSG.TXT"});
        row("mesup leading blank", {"mesup", "F", " 7", "C:MSG.TXT", "0"},
            {"F", bytesOf(u" 7番会議室に書き込み"), "MSG.TXT"});
        row("mesup three digits", {"mesup", "F", "123", "M", "0"},
            {"F", bytesOf(u"123番会議室に書き込み"), "M"});
        row("mesup negative", {"mesup", "F", "-5", "M", "0"},
            {"F", bytesOf(u"-5番会議室に書き込み"), "M"});
        row("mesup trailing blank", {"mesup", "F", "7 ", "M", "0"}, fail);
        row("mesup letters", {"mesup", "F", "abc", "M", "0"}, fail);
        row("mesup empty", {"mesup", "F", "", "M", "0"}, fail);
        row("mesup beyond 32 bits", {"mesup", "F", "2147483648", "M", "0"}, fail);
        row("mailuptxt", {"mailuptxt", "C:\\MAIL\\M.TXT", "0", "0", "0"},
            {bytesOf(u"テキストメール送信"), "", "M.TXT"});
        row("mailupbin", {"mailupbin", "C:\\BIN\\P.LZH", "Hello", "ABC", "0"},
            {bytesOf(u"バイナリメール送信"), "Hello  ABC", "P.LZH"});
        row("mailupbin japanese", {"mailupbin", "P.LZH", bytesOf(u"写真"), "ABC", "0"},
            {bytesOf(u"バイナリメール送信"), bytesOf(u"写真  ABC"), "P.LZH"});
        row("mesrc", {"mesrc", "FGAL", "5", "C:\\X", "0"},
            {"FGAL", bytesOf(u" 5番会議室の未読"), "C:\\X"});
        row("mesrc empty", {"mesrc", "F", "", "1", "0"}, fail);
        row("dltitleb", {"dltitleb", "FGAL", "4", "980101", "0"},
            {"FGAL", bytesOf(u" 4番ＬＩＢのタイトルを取得"), bytesOf(u"980101以降")});
        row("dltitleb fraction", {"dltitleb", "F", "1.5", "980101", "0"}, fail);
        row("dldown", {"dldown", "FGAL", "3", "12", "C:\\DL\\FILE.LZH"},
            {"FGAL", bytesOf(u"3-12をダウンロード"), "FILE.LZH"});
        row("dldown letters", {"dldown", "F", "x", "y", "N"},
            {"F", bytesOf(u"x-yをダウンロード"), "N"});
        row("new", {"new", "C:\\LOG\\NEWS.TXT", "0", "0", "0"},
            {bytesOf(u"お知らせ"), "", "NEWS.TXT"});
        row("patioread", {"patioread", "P1", "SECRETPW", "C:\\P\\R.TXT", "0"},
            {"P1", bytesOf(u"パティオ読み込み"), "R.TXT"});
        row("patioup", {"patioup", "P1", "SECRETPW", "C:\\P\\W.TXT", "0"},
            {"P1", bytesOf(u"パティオ書き込み"), "W.TXT"});
        row("patiorc", {"patiorc", "P1", "SECRETPW", "C:\\P\\X", "0"},
            {"P1", bytesOf(u"パティオの既読"), "C:\\P\\X"});
        row("bbsup", {"bbsup", "5", "1", "C:\\B\\B.TXT", "0"},
            {bytesOf(u"掲示板書き込み"), "5-1", "B.TXT"});
        row("bbsup zero", {"bbsup", "2", "0", "B.TXT", "0"},
            {bytesOf(u"掲示板書き込み"), "2-0", "B.TXT"});
        row("newtitle", {"newtitle", "0", "0", "0", "0"},
            {bytesOf(u"お知らせタイトル取得"), "", ""});
        row("capitalised keyword", {"Bill", "a", "b", "c", "d"}, {"Bill", "a", "b"});
        row("keyword with blank", {"mesread ", "F", "x", "c", "d"}, {"mesread ", "F", "x"});
        row("empty command", {"", "a", "b", "c", "d"}, {"", "a", "b"});
        row("japanese command", {bytesOf(u"巡回"), "C:\\a", "\xff", "c", "d"},
            {bytesOf(u"巡回"), "C:\\a", "\xff"});
    }
    void displayRow() {
        QFETCH(QByteArrayList, entry);
        QFETCH(QByteArrayList, columns);
        const PatrolEntry e = entryOf(entry + QByteArrayList{"0"});
        const std::optional<DisplayRow> display = displayRowOf(e);
        QCOMPARE(display.has_value(), !columns.isEmpty());
        if (!display)
            return;
        QCOMPARE(columnsOf(*display), columns);
        if (e.command.startsWith("patio")) {
            for (const QByteArray &column : columns)
                QVERIFY(!column.contains(e.param2));
        }
    }

    // The vocabulary's roles agree with what the display rows show: a path
    // shows its file name in column 3, a forum or patio command its code or
    // ID in column 1, the password nowhere, and only a room or library number
    // is read as a number (an entry that has none there gets no row).
    void vocabularyAgainstDisplayRows_data() {
        QTest::addColumn<int>("command");
        for (const CommandInfo &info : vocabulary::kCommands)
            QTest::newRow(info.keyword.data()) << static_cast<int>(info.command);
    }
    void vocabularyAgainstDisplayRows() {
        QFETCH(int, command);
        const Command c = static_cast<Command>(command);
        const CommandInfo &info = commandInfo(c);
        QCOMPARE(commandOf(keywordOf(c)), std::optional<Command>(c));
        PatrolEntry e = PatrolEntry::zeroed();
        e.command = keywordOf(c);
        QByteArray shownPath;
        for (int i = 1; i <= 4; ++i) {
            const Param role = info.params[i - 1];
            const bool path = role == Param::LogFile || role == Param::SendFile;
            e.field(i) = path ? "C:\\DIR\\F" + QByteArray::number(i) + ".TXT"
                         : role == Param::DownloadName ? "F" + QByteArray::number(i) + ".TXT"
                         : role == Param::Unused       ? QByteArray("0")
                                                       : "1" + QByteArray::number(i);
            if (path || role == Param::DownloadName)
                shownPath = "F" + QByteArray::number(i) + ".TXT";
        }
        const std::optional<DisplayRow> row = displayRowOf(e);
        QVERIFY(row);
        QVERIFY(row->column1 != e.command); // not the row of an unknown keyword
        QCOMPARE(row->column3.endsWith(".TXT"), !shownPath.isEmpty());
        if (!shownPath.isEmpty())
            QCOMPARE(row->column3, shownPath);
        QCOMPARE(row->column1 == e.param1, info.target != Target::Account);
        if (const int password = paramWith(c, Param::PatioPassword)) {
            for (const QByteArray &column : columnsOf(*row))
                QVERIFY(!column.contains(e.field(password)));
        }
        for (int i = 1; i <= 4; ++i) {
            const Param role = info.params[i - 1];
            PatrolEntry notNumber = e;
            notNumber.field(i) = "x";
            const bool numbered =
                std::any_of(info.display.begin(), info.display.end(), [i](const DisplayColumn &d) {
                    return d.kind == DisplayColumn::Numbered && d.field == i;
                });
            QCOMPARE(hasDisplayRow(notNumber), !numbered);
            QCOMPARE(displayRowOf(notNumber).has_value(), !numbered);
            if (numbered)
                QVERIFY(role == Param::RoomNumber || role == Param::LibraryNumber);
        }
    }

    // Every builder item of the menus has its own object name.
    void vocabularyMenuItems() {
        QSet<QByteArray> names;
        int items = 0;
        for (const CommandInfo &info : vocabulary::kCommands) {
            QVERIFY(info.menuItems[0]);
            for (const char *item : info.menuItems) {
                if (item) {
                    names.insert(item);
                    ++items;
                }
            }
        }
        QCOMPARE(names.size(), items);
        QCOMPARE(items, kCommandCount + 1); // the download is built from two items
    }

    void daysText_data() {
        QTest::addColumn<bool>("everyDay");
        QTest::addColumn<QByteArray>("ticks"); // Sunday to Saturday
        QTest::addColumn<QString>("days");
        QTest::newRow("every day, none ticked")
            << true << QByteArray("0000000") << QStringLiteral(u"日月火水木金土");
        QTest::newRow("every day, one ticked")
            << true << QByteArray("0010000") << QStringLiteral(u"日月火水木金土");
        QTest::newRow("none") << false << QByteArray("0000000") << QString();
        QTest::newRow("Monday, Thursday")
            << false << QByteArray("0100100") << QStringLiteral(u"月木");
        QTest::newRow("Sunday, Wednesday, Saturday")
            << false << QByteArray("1001001") << QStringLiteral(u"日水土");
        QTest::newRow("Saturday only") << false << QByteArray("0000001") << QStringLiteral(u"土");
        QTest::newRow("all ticked")
            << false << QByteArray("1111111") << QStringLiteral(u"日月火水木金土");
    }
    void daysText() {
        QFETCH(bool, everyDay);
        QFETCH(QByteArray, ticks);
        QFETCH(QString, days);
        std::array<bool, 7> sundayToSaturday{};
        for (int d = 0; d < 7; ++d)
            sundayToSaturday[d] = ticks.at(d) == '1';
        QCOMPARE(kirano::daysText(everyDay, sundayToSaturday), bytesOf(days));
    }

    void parse_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArrayList>("fields"); // six per entry
        const QByteArrayList first{"mesread", "FGAL", "3", "C:\\LOG\\F1.TXT", "0", "1"};
        const QByteArrayList second{"bill", "0", "0", "0", "0", bytesOf(u"月木")};
        const QByteArrayList both = first + second;
        const QByteArray crLf = text::joinCrLf(both);
        QTest::newRow("12 lines") << crLf << true << both;
        QTest::newRow("13 lines") << crLf + "new\r\n" << true << both;
        QTest::newRow("17 lines") << text::joinCrLf(both + first.mid(0, 5)) << true << both;
        QTest::newRow("5 lines") << text::joinCrLf(first.mid(0, 5)) << true << QByteArrayList();
        QTest::newRow("empty") << QByteArray() << true << QByteArrayList();
        QTest::newRow("LF only") << both.join('\n') + '\n' << true << both;
        QTest::newRow("CR only") << both.join('\r') << true << both;
        QTest::newRow("no final line end") << crLf.chopped(2) << true << both;
        QTest::newRow("NUL ends the text")
            << crLf + QByteArray(1, '\0') + text::joinCrLf(first) << true << both;
        QTest::newRow("NUL inside second entry")
            << text::joinCrLf(first) + "bill\r\n0" + QByteArray(1, '\0') + "\r\n0\r\n0\r\n0\r\n1"
            << true << first;
        QTest::newRow("empty fields") << QByteArray("newtitle\r\n\r\n\r\n\r\n\r\n\r\n") << true
                                      << QByteArrayList{"newtitle", "", "", "", "", ""};
        QTest::newRow("bad second entry")
            << text::joinCrLf(first + QByteArrayList{"mesread", "F", "x", "L", "0", "1"}) << false
            << QByteArrayList();
        QTest::newRow("bad first entry")
            << text::joinCrLf(QByteArrayList{"mesrc", "F", "", "1", "0", "1"} + second) << false
            << QByteArrayList();
        QTest::newRow("bad leftover lines ignored")
            << text::joinCrLf(first + QByteArrayList{"mesread", "F", "x"}) << true << first;
        // A keyword outside the vocabulary is kept wherever it stands.
        const QByteArrayList unknown{"Bill", "a", "b", "c", "d", "e"};
        QTest::newRow("unknown keyword first")
            << text::joinCrLf(unknown + both) << true << unknown + both;
        QTest::newRow("unknown keyword in the middle")
            << text::joinCrLf(first + unknown + second) << true << first + unknown + second;
        QTest::newRow("unknown keyword last")
            << text::joinCrLf(both + unknown) << true << both + unknown;
        QTest::newRow("cut short inside the last entry")
            << text::joinCrLf(both + second.mid(0, 4)).chopped(2) << true << both;
    }
    void parse() {
        QFETCH(QByteArray, content);
        QFETCH(bool, valid);
        QFETCH(QByteArrayList, fields);
        const std::optional<QList<PatrolEntry>> rows = openablePatrolList(content);
        QCOMPARE(rows.has_value(), valid);
        if (!rows)
            return;
        QCOMPARE(rows->size(), fields.size() / PatrolEntry::kFieldCount);
        for (qsizetype i = 0; i < rows->size(); ++i) {
            QCOMPARE(fieldsOf(rows->at(i)), fields.mid(i * PatrolEntry::kFieldCount, 6));
            QVERIFY(displayRowOf(rows->at(i)));
        }
    }

    // The autopilot's reading of the same files: every entry, wherever an
    // unknown keyword stands; the lines after the last entry counted; no
    // list without an entry of a known keyword.
    void runnableReading_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("entries"); // -1: refused
        QTest::addColumn<int>("leftover");
        const QByteArrayList known{"bill", "0", "0", "0", "0", bytesOf(u"月")};
        const QByteArrayList unknown{"Bill", "a", "b", "c", "d", "e"};
        QTest::newRow("unknown first") << text::joinCrLf(unknown + known) << 2 << 0;
        QTest::newRow("unknown in the middle") << text::joinCrLf(known + unknown + known) << 3 << 0;
        QTest::newRow("unknown last") << text::joinCrLf(known + unknown) << 2 << 0;
        QTest::newRow("only unknown") << text::joinCrLf(unknown + unknown) << -1 << 0;
        QTest::newRow("cut short in the last entry")
            << text::joinCrLf(known + known.mid(0, 3)) << 1 << 3;
        QTest::newRow("five lines") << text::joinCrLf(known.mid(0, 5)) << -1 << 0;
        QTest::newRow("empty") << QByteArray() << -1 << 0;
    }
    void runnableReading() {
        QFETCH(QByteArray, content);
        QFETCH(int, entries);
        QFETCH(int, leftover);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.txt"));
        QVERIFY(text::writeFile(path, content));
        const text::Result<PatrolListFile> read = readRunnablePatrolList(path);
        QCOMPARE(read.has_value(), entries >= 0);
        if (!read)
            return;
        QCOMPARE(read->entries.size(), entries);
        QCOMPARE(read->leftoverLines, leftover);
        // Kirano's own reading of the file sees the same entries.
        QCOMPARE(openablePatrolList(content).value_or(QList<PatrolEntry>()), read->entries);
    }

    void roundTrip_data() {
        QTest::addColumn<QByteArrayList>("fields");
        QTest::newRow("empty list") << QByteArrayList();
        QTest::newRow("unknown keyword") << QByteArrayList{"Bill", "a", "b", "c", "d", "e"};
        QTest::newRow("japanese") << QByteArrayList{"mesup",        bytesOf(u"会議室"),
                                                    "12",           bytesOf(u"C:\\ログ\\表.TXT"),
                                                    bytesOf(u"ソ"), bytesOf(u"日月火水木金土")};
        QTest::newRow("not Shift_JIS")
            << QByteArrayList{"dldown", "\x81\x20", "\xff", "a\x95", "\x95\\\x80", "\xa0\xfd"};
        QTest::newRow("two entries")
            << QByteArrayList{"patioup", "P", "PW", "W", "0", "", "new", "N", "0", "0", "0", "0"};
    }
    void roundTrip() {
        QFETCH(QByteArrayList, fields);
        const QByteArray content = text::joinCrLf(fields);
        const std::optional<QList<PatrolEntry>> rows = openablePatrolList(content);
        QVERIFY(rows);
        PatrolListModel model;
        model.setEntries(*rows);
        QCOMPARE(model.rowCount(), fields.size() / PatrolEntry::kFieldCount);
        const QList<QByteArray> lines = patrolListLines(model.entries());
        QCOMPARE(lines, fields);
        QCOMPARE(text::joinCrLf(lines), content);
        const std::optional<QList<PatrolEntry>> again = openablePatrolList(text::joinCrLf(lines));
        QVERIFY(again);
        QCOMPARE(*again, *rows);
    }

    // The one reader keeps every complete entry, whatever its fields hold,
    // and counts what is left over; the one writer's file reads back as the
    // same entries, through the file system too.
    void codecRoundTrip_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("lines"); // the lines read, line ends gone
        const QByteArrayList bad{"mesread", "F", "x", "L", "0", bytesOf(u"月")};
        const QByteArrayList unknown{"Bill", "a", "b", "c", "d", ""};
        QTest::newRow("empty") << QByteArray() << QByteArrayList();
        QTest::newRow("two entries, one line over")
            << text::joinCrLf(bad + unknown + QByteArrayList{"new"})
            << bad + unknown + QByteArrayList{"new"};
        QTest::newRow("five lines, LF only") << bad.mid(0, 5).join('\n') << bad.mid(0, 5);
        QTest::newRow("CR only, NUL ends it")
            << bad.join('\r') + '\r' + QByteArray(1, '\0') + "\r\nbill" << bad;
    }
    void codecRoundTrip() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, lines);
        const text::Result<PatrolListFile> file = parsePatrolList(content);
        QVERIFY(file);
        QCOMPARE(file->entries.size(), lines.size() / PatrolEntry::kFieldCount);
        QCOMPARE(file->leftoverLines, lines.size() % PatrolEntry::kFieldCount);
        const QByteArrayList entryLines = lines.mid(0, file->entries.size() * 6);
        QCOMPARE(patrolListLines(file->entries), entryLines);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral(u"一覧.txt"));
        QVERIFY(writePatrolList(path, file->entries));
        QCOMPARE(text::readFile(path).value_or("<none>"), text::joinCrLf(entryLines));
        const text::Result<PatrolListFile> again = parsePatrolList(text::joinCrLf(entryLines));
        QVERIFY(again);
        QCOMPARE(again->entries, file->entries);
        QCOMPARE(again->leftoverLines, 0);
    }

    void modelShowsDecodedColumns() {
        PatrolListModel model;
        QCOMPARE(model.columnCount(), 4);
        const QStringList headers{QStringLiteral(u"第一項目"), QStringLiteral(u"第二項目"),
                                  QStringLiteral(u"第三項目"), QStringLiteral(u"曜日")};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
        const PatrolEntry e{"dltitleb", bytesOf(u"会議"), "4", "980101", "0", bytesOf(u"日水土")};
        model.insertEntry(0, e);
        const QStringList shown{QStringLiteral(u"会議"),
                                QStringLiteral(u" 4番ＬＩＢのタイトルを取得"),
                                QStringLiteral(u"980101以降"), QStringLiteral(u"日水土")};
        QCOMPARE(model.rowCount(), 1);
        for (int c = 0; c < 4; ++c)
            QCOMPARE(model.data(model.index(0, c)).toString(), shown.at(c));
    }

    void moveEntry_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArrayList>("order");
        QTest::newRow("up, two rows") << 2 << 1 << 0 << QByteArrayList{"r1", "r0"};
        QTest::newRow("up, last of three") << 3 << 2 << 1 << QByteArrayList{"r0", "r2", "r1"};
        QTest::newRow("down one") << 3 << 0 << 1 << QByteArrayList{"r1", "r0", "r2"};
        QTest::newRow("down to the end") << 4 << 0 << 3 << QByteArrayList{"r1", "r2", "r3", "r0"};
        QTest::newRow("up to the top") << 4 << 3 << 0 << QByteArrayList{"r3", "r0", "r1", "r2"};
        QTest::newRow("in place") << 3 << 1 << 1 << QByteArrayList{"r0", "r1", "r2"};
    }
    void moveEntry() {
        QFETCH(int, count);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArrayList, order);
        PatrolListModel model;
        for (int r = 0; r < count; ++r)
            model.insertEntry(r, rowOf("r" + QByteArray::number(r)));
        const QPersistentModelIndex moving = model.index(from, 0);
        if (from == to + 1)
            model.moveUp(from); // "上へ" is the same move
        else
            model.moveEntry(from, to);
        checkRows(model, order);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(moving.row(), to); // a view's selection follows the row
    }

    void swapEntriesCopiesNothing() {
        PatrolListModel model;
        model.setEntries({rowOf("r0")});
        QList<PatrolEntry> other{rowOf("n0"), rowOf("n1")};
        const PatrolEntry *storage = other.constData();
        model.swapEntries(other);
        checkRows(model, {"n0", "n1"});
        QCOMPARE(&model.entry(0), storage);
        QCOMPARE(other.size(), 1);
        QCOMPARE(other.first().command, QByteArray("r0"));
    }

    void editRows_data() {
        QTest::addColumn<QByteArray>("edit"); // insert / remove, at row
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArrayList>("order");
        QTest::newRow("insert first")
            << QByteArray("insert") << 0 << QByteArrayList{"n", "r0", "r1", "r2"};
        QTest::newRow("insert middle")
            << QByteArray("insert") << 2 << QByteArrayList{"r0", "r1", "n", "r2"};
        QTest::newRow("insert last")
            << QByteArray("insert") << 3 << QByteArrayList{"r0", "r1", "r2", "n"};
        QTest::newRow("remove first") << QByteArray("remove") << 0 << QByteArrayList{"r1", "r2"};
        QTest::newRow("remove middle") << QByteArray("remove") << 1 << QByteArrayList{"r0", "r2"};
        QTest::newRow("remove last") << QByteArray("remove") << 2 << QByteArrayList{"r0", "r1"};
    }
    void editRows() {
        QFETCH(QByteArray, edit);
        QFETCH(int, at);
        QFETCH(QByteArrayList, order);
        PatrolListModel model;
        model.setEntries({rowOf("r0"), rowOf("r1"), rowOf("r2")});
        if (edit == "insert")
            model.insertEntry(at, rowOf("n"));
        else
            model.removeEntry(at);
        checkRows(model, order);
    }

    void setDaysChangesOnlyDays() {
        PatrolListModel model;
        model.setEntries({rowOf("r0"), rowOf("r1")});
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const QByteArray days = bytesOf(u"月木");
        model.setDays(1, days);
        PatrolEntry expected = rowOf("r1");
        expected.days = days;
        QCOMPARE(fieldsOf(model.entry(1)), fieldsOf(expected));
        QCOMPARE(shownColumns(model, 1), decodedColumns(*displayRowOf(rowOf("r1"))));
        QCOMPARE(fieldsOf(model.entry(0)), fieldsOf(rowOf("r0")));
        QCOMPARE(model.data(model.index(1, PatrolListModel::Days)).toString(),
                 QStringLiteral(u"月木"));
        QCOMPARE(changed.size(), 1);
        const QModelIndex cell = model.index(1, PatrolListModel::Days);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), cell);
        QCOMPARE(changed.at(0).at(1).toModelIndex(), cell);
    }

    // Each row's mark comes, goes and moves with its entry; an entry that
    // enters or changes waits for its check, and says so once.
    void marksFollowTheirRows_data() {
        QTest::addColumn<QByteArray>("edit");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QByteArrayList>("order");
        QTest::addColumn<QList<quint32>>("problems");
        QTest::addColumn<QList<int>>("pending");
        QTest::addColumn<QList<int>>("awaited"); // first and last, or none
        QTest::addColumn<QList<int>>("keyRows"); // where each first row's key is now
        using P = QList<quint32>;
        using I = QList<int>;
        // Before each edit: rows r0 to r3, checked, with problems 1, 0, 4, 0.
        QTest::newRow("remove the first")
            << QByteArray("remove") << 0 << 0 << QByteArrayList{"r1", "r2", "r3"} << P{0, 4, 0}
            << I{} << I{} << I{-1, 0, 1, 2};
        QTest::newRow("take the middle two")
            << QByteArray("take") << 1 << 2 << QByteArrayList{"r0", "r3"} << P{1, 0} << I{} << I{}
            << I{0, -1, -1, 1};
        QTest::newRow("take the last")
            << QByteArray("take") << 3 << 1 << QByteArrayList{"r0", "r1", "r2"} << P{1, 0, 4} << I{}
            << I{} << I{0, 1, 2, -1};
        QTest::newRow("first dragged down")
            << QByteArray("move") << 0 << 2 << QByteArrayList{"r1", "r2", "r0", "r3"}
            << P{0, 4, 1, 0} << I{} << I{} << I{2, 0, 1, 3};
        QTest::newRow("last dragged to the top")
            << QByteArray("move") << 3 << 0 << QByteArrayList{"r3", "r0", "r1", "r2"}
            << P{0, 1, 0, 4} << I{} << I{} << I{1, 2, 3, 0};
        QTest::newRow("up") << QByteArray("up") << 2 << 0 << QByteArrayList{"r0", "r2", "r1", "r3"}
                            << P{1, 4, 0, 0} << I{} << I{} << I{0, 2, 1, 3};
        QTest::newRow("one added")
            << QByteArray("insert") << 1 << 1 << QByteArrayList{"r0", "n0", "r1", "r2", "r3"}
            << P{1, 0, 0, 4, 0} << I{1} << I{1, 1} << I{0, 2, 3, 4};
        QTest::newRow("two pasted at the end")
            << QByteArray("insert") << 4 << 2 << QByteArrayList{"r0", "r1", "r2", "r3", "n0", "n1"}
            << P{1, 0, 4, 0, 0, 0} << I{4, 5} << I{4, 5} << I{0, 1, 2, 3};
        // The mark shown stays until the changed entry's is found.
        QTest::newRow("days changed")
            << QByteArray("days") << 2 << 0 << QByteArrayList{"r0", "r1", "r2", "r3"}
            << P{1, 0, 4, 0} << I{2} << I{2, 2} << I{0, 1, 2, 3};
        QTest::newRow("changed in place")
            << QByteArray("replace") << 0 << 0 << QByteArrayList{"n0", "r1", "r2", "r3"}
            << P{1, 0, 4, 0} << I{0} << I{0, 0} << I{0, 1, 2, 3};
        QTest::newRow("list replaced") << QByteArray("swap") << 0 << 1 << QByteArrayList{"n0"}
                                       << P{0} << I{0} << I{0, 0} << I{-1, -1, -1, -1};
        QTest::newRow("list emptied") << QByteArray("swap") << 0 << 0 << QByteArrayList{} << P{}
                                      << I{} << I{} << I{-1, -1, -1, -1};
        QTest::newRow("folders changed")
            << QByteArray("all") << 0 << 0 << QByteArrayList{"r0", "r1", "r2", "r3"}
            << P{1, 0, 4, 0} << I{0, 1, 2, 3} << I{} << I{0, 1, 2, 3};
        QTest::newRow("checked again, resting on one path")
            << QByteArray("store") << 1 << 0 << QByteArrayList{"r0", "r1", "r2", "r3"}
            << P{1, 2, 4, 0} << I{} << I{} << I{0, 1, 2, 3};
        QTest::newRow("a file it read changed")
            << QByteArray("pending") << 3 << 0 << QByteArrayList{"r0", "r1", "r2", "r3"}
            << P{1, 0, 4, 0} << I{3} << I{} << I{0, 1, 2, 3};
    }
    void marksFollowTheirRows() {
        QFETCH(QByteArray, edit);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QByteArrayList, order);
        QFETCH(QList<quint32>, problems);
        QFETCH(QList<int>, pending);
        QFETCH(QList<int>, awaited);
        QFETCH(QList<int>, keyRows);
        PatrolListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setEntries({rowOf("r0"), rowOf("r1"), rowOf("r2"), rowOf("r3")});
        QCOMPARE(model.pendingCount(), 4);
        QList<quint32> keys;
        const quint32 found[] = {1, 0, 4, 0};
        for (int row = 0; row < 4; ++row) {
            keys << model.rowMark(row).key;
            model.storeMark(row, found[row], {10 + row, 20}, 2);
        }
        QCOMPARE(model.pendingCount(), 0);
        QCOMPARE(model.firstPending(), -1);
        QCOMPARE(model.markedCount(), 2);
        QCOMPARE(model.rowOfKey(keys.at(3)), 3); // what the edit must bring up to date
        QSignalSpy awaits(&model, &PatrolListModel::rowsAwaitCheck);

        editList(model, edit, a, b);

        QCOMPARE(model.size(), order.size());
        QList<quint32> shownProblems;
        QList<int> waiting;
        QSet<quint32> rowKeys;
        qsizetype consulted = 0;
        for (int row = 0; row < model.size(); ++row) {
            QCOMPARE(model.entry(row).command, order.at(row));
            const RowMark &mark = model.rowMark(row);
            shownProblems << mark.problems;
            if (mark.pending)
                waiting << row;
            rowKeys.insert(mark.key);
            consulted += mark.consultedCount;
            QCOMPARE(model.data(model.index(row, 0), PatrolListModel::MarkRole).toBool(),
                     mark.problems != 0);
        }
        QCOMPARE(shownProblems, problems);
        QCOMPARE(waiting, pending);
        QCOMPARE(model.pendingCount(), pending.size());
        QCOMPARE(model.firstPending(), pending.isEmpty() ? -1 : pending.first());
        QCOMPARE(model.markedCount(), int(problems.size() - problems.count(0)));
        QCOMPARE(model.consultedTotal(), consulted);
        QCOMPARE(rowKeys.size(), model.size()); // every row a key of its own
        for (int first = 0; first < 4; ++first) {
            QCOMPARE(model.rowOfKey(keys.at(first)), keyRows.at(first));
            // What a first row consulted goes with it, until it is checked
            // again or the folders change.
            const int row = keyRows.at(first);
            const bool checkedAgain = edit == "all" || (edit == "store" && first == a);
            if (row >= 0 && !checkedAgain)
                QVERIFY(model.rowMark(row).consults(10 + first));
        }
        QCOMPARE(awaits.size(), awaited.isEmpty() ? 0 : 1);
        if (!awaited.isEmpty())
            QCOMPARE((QList<int>{awaits.at(0).at(0).toInt(), awaits.at(0).at(1).toInt()}), awaited);
    }

    // However rows come, go and move around the rows waiting for their
    // check, each is reached once, and nothing else.
    void waitingRowsAllReached_data() {
        QTest::addColumn<QByteArrayList>("waiting"); // of r0 to r4, before the edit
        QTest::addColumn<QByteArray>("edit");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QByteArrayList>("reached"); // in the order checked
        using L = QByteArrayList;
        QTest::newRow("a row above dragged below it")
            << L{"r2"} << QByteArray("move") << 0 << 3 << L{"r2"};
        QTest::newRow("a row above dragged to the end")
            << L{"r2", "r3"} << QByteArray("move") << 1 << 4 << L{"r2", "r3"};
        QTest::newRow("it dragged to the top")
            << L{"r3"} << QByteArray("move") << 3 << 0 << L{"r3"};
        QTest::newRow("it moved up") << L{"r2"} << QByteArray("up") << 2 << 0 << L{"r2"};
        QTest::newRow("a row above removed")
            << L{"r3"} << QByteArray("remove") << 1 << 0 << L{"r3"};
        QTest::newRow("rows above taken")
            << L{"r2", "r4"} << QByteArray("take") << 0 << 2 << L{"r2", "r4"};
        QTest::newRow("one added above")
            << L{"r3"} << QByteArray("insert") << 0 << 1 << L{"n0", "r3"};
        QTest::newRow("a row above to check again")
            << L{"r4"} << QByteArray("pending") << 1 << 0 << L{"r1", "r4"};
        QTest::newRow("days changed above")
            << L{"r3"} << QByteArray("days") << 0 << 0 << L{"r0", "r3"};
        QTest::newRow("changed in place above")
            << L{"r3"} << QByteArray("replace") << 2 << 0 << L{"n0", "r3"};
    }
    void waitingRowsAllReached() {
        QFETCH(QByteArrayList, waiting);
        QFETCH(QByteArray, edit);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QByteArrayList, reached);
        PatrolListModel model;
        model.setEntries({rowOf("r0"), rowOf("r1"), rowOf("r2"), rowOf("r3"), rowOf("r4")});
        for (int row = 0; row < model.size(); ++row) {
            if (!waiting.contains(model.entry(row).command))
                model.storeMark(row, 0, {}, 0);
        }
        // The search for the next row to check has gone as far as the first
        // one waiting.
        QCOMPARE(model.entry(model.firstPending()).command, waiting.first());
        editList(model, edit, a, b);
        QByteArrayList checked;
        for (int row = model.firstPending(); row >= 0 && checked.size() <= model.size();
             row = model.firstPending()) {
            checked << model.entry(row).command;
            model.storeMark(row, 0, {}, 0);
        }
        QCOMPARE(checked, reached);
        QCOMPARE(model.pendingCount(), 0);
    }

    // Marks found in a slice reach the views in one change, only for the rows
    // whose marks changed, never past the last row.
    void storedMarksShownOnce_data() {
        QTest::addColumn<QList<quint32>>("found"); // rows 0 to 4, before: 0 1 0 1 0
        QTest::addColumn<int>("removed");          // a row taken out before they show, or -1
        QTest::addColumn<QList<int>>("shown");     // first and last row changed, or none
        using P = QList<quint32>;
        QTest::newRow("the same again") << P{0, 1, 0, 1, 0} << -1 << QList<int>{};
        QTest::newRow("one found") << P{0, 1, 2, 1, 0} << -1 << QList<int>{2, 2};
        QTest::newRow("first and last") << P{4, 1, 0, 1, 4} << -1 << QList<int>{0, 4};
        QTest::newRow("one gone") << P{0, 0, 0, 1, 0} << -1 << QList<int>{1, 1};
        QTest::newRow("last one removed") << P{0, 1, 0, 1, 4} << 4 << QList<int>{};
        QTest::newRow("last two, the last removed") << P{0, 1, 0, 0, 4} << 4 << QList<int>{3, 3};
    }
    void storedMarksShownOnce() {
        QFETCH(QList<quint32>, found);
        QFETCH(int, removed);
        QFETCH(QList<int>, shown);
        PatrolListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setEntries({rowOf("r0"), rowOf("r1"), rowOf("r2"), rowOf("r3"), rowOf("r4")});
        for (int row = 0; row < 5; ++row)
            model.storeMark(row, row % 2, {}, 0);
        model.showMarks();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        for (int row = 0; row < 5; ++row)
            model.storeMark(row, found.at(row), {}, 0);
        if (removed >= 0)
            model.removeEntry(removed);
        model.showMarks();
        model.showMarks(); // nothing new
        QCOMPARE(changed.size(), shown.isEmpty() ? 0 : 1);
        if (shown.isEmpty())
            return;
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(shown.at(0), 0));
        QCOMPARE(changed.at(0).at(1).toModelIndex(),
                 model.index(shown.at(1), PatrolListModel::ColumnCount - 1));
        QVERIFY(changed.at(0).at(2).value<QList<int>>().contains(PatrolListModel::MarkRole));
    }

    void modelSignalsConsistent() {
        PatrolListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.insertEntry(0, rowOf("a"));
        model.insertEntry(1, rowOf("b"));
        model.insertEntry(0, rowOf("c"));
        model.moveUp(2);
        model.moveUp(1);
        model.setDays(0, "x");
        model.removeEntry(1);
        model.setEntries({rowOf("d"), rowOf("e"), rowOf("f")});
        model.moveUp(2);
        model.moveEntry(0, 2);
        model.moveEntry(2, 0);
        model.removeEntry(0);
        checkRows(model, {"f", "e"});
        QList<PatrolEntry> other{rowOf("g")};
        model.swapEntries(other);
        QCOMPARE(model.takeEntry(0).command, QByteArray("g"));
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }
};

KIRANO_CORE_TEST_MAIN(TestPatrol)
#include "test_patrol.moc"

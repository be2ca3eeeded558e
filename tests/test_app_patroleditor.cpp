#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "editorfixture.h"
#include "guitestsupport.h"
#include "patrol/patrolentry.h"
#include "patrol/patrollistmodel.h"
#include "store/bytelistmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTreeView>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

PatrolEntry plain(const QByteArray &name) {
    return PatrolEntry{name, "p1", "p2", "p3", "p4", sjis(u"月")};
}

// The editor with the service list, whose menu builds commands the user's
// way.
struct Editor : EditorFixture {
    DataListView *services = w->findChild<DataListView *>(u"ListBox1"_s);

    // Entries that are already in the list before the user's turn.
    void add(std::initializer_list<const char *> names) {
        for (const char *n : names)
            QVERIFY(w->addEntry(plain(n)));
    }
    // A command built the user's way: "料金情報" from the service list's menu.
    void addBill() { QCOMPARE(chooseFromMenu(services, 1, u"N15"_s).name, u"pop1"_s); }
};

const QString kSaved = u"message|保存しました"_s;

} // namespace

class TestPatrolEditor : public QObject {
    Q_OBJECT
  private slots:
    void modelSignalsStayConsistent() {
        Editor e;
        QAbstractItemModelTester tester(&e.list(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        e.add({"a", "b", "c"});
        e.select(1);
        e.addBill();
        e.pop4(u"N24"_s);
        e.select(2);
        e.pop4(u"Delete2"_s);
        trigger(e.w, "New1");
        QCOMPARE(e.list().size(), 0);
    }

    void additionsWithoutSelectionAppend() {
        Editor e;
        e.add({"a", "b"});
        e.addBill();
        e.addBill();
        QCOMPARE(e.commands(), (QByteArrayList{"a", "b", "bill", "bill"}));
        QVERIFY(e.selectedRows().isEmpty());
    }

    void additionsGoBeforeTheSelectedRow() {
        Editor e;
        e.add({"0", "1", "2", "3", "4"});
        e.select(2);
        e.addBill();
        e.addBill();
        QCOMPARE(e.commands(), (QByteArrayList{"0", "1", "bill", "bill", "2", "3", "4"}));
        QCOMPARE(e.selectedRows(), QList<int>{4});
    }

    void failingDisplayRowAddsNothing() {
        Editor e;
        e.add({"a"});
        QVERIFY(!e.w->addEntry(PatrolEntry{"mesread", "F", "x", "0", "0", "0"}));
        QCOMPARE(e.commands(), QByteArrayList{"a"});
        QCOMPARE(e.lsv1->model()->rowCount(), 1);
    }

    void pop4FollowsTheSelection() {
        Editor e;
        OpenedMenu menu = e.pop4();
        QCOMPARE(menu.name, u"pop4"_s);
        QVERIFY(menu.noneEnabled()); // an empty list
        e.add({"a", "b"});
        QVERIFY(e.pop4().noneEnabled());
        e.select(1);
        menu = e.pop4();
        QCOMPARE(menu.enabled.keys(),
                 (QStringList{u"CopyEntry"_s, u"CutEntry"_s, u"Delete2"_s, u"DuplicateEntry"_s,
                              u"EditEntry"_s, u"N24"_s, u"N25"_s, u"N30"_s, u"PasteEntries"_s}));
        // The four required items with the row; "編集..." stays off for an
        // entry whose command asks nothing ("a" is no command at all).
        for (const QString &item : {u"N24"_s, u"N25"_s, u"Delete2"_s, u"N30"_s, u"CopyEntry"_s})
            QVERIFY2(menu.enabled.value(item), qPrintable(item));
        QVERIFY(!menu.enabled.value(u"EditEntry"_s));
    }

    void movesPastTheEndsAreRefused_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("item");
        QTest::newRow("up on the first") << 3 << 0 << u"N24"_s;
        QTest::newRow("down on the last") << 3 << 2 << u"N25"_s;
        QTest::newRow("one row up") << 1 << 0 << u"N24"_s;
        QTest::newRow("one row down") << 1 << 0 << u"N25"_s;
    }
    void movesPastTheEndsAreRefused() {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(QString, item);
        Editor e;
        for (int i = 0; i < rows; ++i)
            e.add({QByteArray::number(i).constData()});
        const QByteArrayList before = e.commands();
        e.select(selected);
        e.pop4(item);
        QCOMPARE(e.prompts.takeAsked(), (QStringList{u"beep"_s, u"message|移動できません"_s}));
        QCOMPARE(e.commands(), before);
        QCOMPARE(e.selectedRows(), QList<int>{selected});
    }

    void upLeavesNothingSelected() {
        Editor e;
        e.add({"0", "1", "2", "3", "4"});
        e.select(3);
        e.pop4(u"N24"_s);
        QCOMPARE(e.commands(), (QByteArrayList{"0", "1", "3", "2", "4"}));
        QCOMPARE(e.lsv1->model()->index(2, 0).data().toString(), u"3"_s);
        QVERIFY(e.selectedRows().isEmpty());
        QVERIFY(e.pop4().noneEnabled());
        // The next command is appended, not put before some row.
        e.addBill();
        QCOMPARE(e.commands().last(), QByteArray("bill"));
    }

    void downKeepsTheRowSelected() {
        Editor e;
        e.add({"0", "1", "2", "3", "4"});
        e.select(1);
        e.pop4(u"N25"_s);
        QCOMPARE(e.commands(), (QByteArrayList{"0", "2", "1", "3", "4"}));
        QCOMPARE(e.selectedRows(), QList<int>{2});
        e.pop4(u"N25"_s);
        QCOMPARE(e.commands(), (QByteArrayList{"0", "2", "3", "1", "4"}));
        QCOMPARE(e.selectedRows(), QList<int>{3});
        QVERIFY(e.prompts.asked.isEmpty());
    }

    void keysMoveTheSelectionOnward() {
        // After "下へ" the keyboard goes on from the moved row.
        Editor e;
        e.add({"0", "1", "2", "3"});
        e.select(0);
        e.pop4(u"N25"_s);
        QTest::keyClick(e.lsv1, Qt::Key_Down);
        QCOMPARE(e.selectedRows(), QList<int>{2});
    }

    void deleteTakesTheSelectedRowWithoutAsking() {
        Editor e;
        e.add({"a", "b", "c"});
        e.select(1);
        e.pop4(u"Delete2"_s);
        QCOMPARE(e.commands(), (QByteArrayList{"a", "c"}));
        QVERIFY(e.selectedRows().isEmpty());
        QVERIFY(e.pop4().noneEnabled());
        e.select(0);
        e.pop4(u"Delete2"_s);
        e.select(0);
        e.pop4(u"Delete2"_s);
        QCOMPARE(e.list().size(), 0);
        trigger(e.w, "Save1");
        QCOMPARE(e.prompts.takeAsked(), QStringList{u"message|データがありません"_s});
    }

    void changeDaysTouchesOnlyTheDays() {
        Editor e;
        e.add({"a", "b"});
        const PatrolEntry before = e.list().entry(1);
        e.select(1);
        e.pop4(u"N30"_s);
        QCOMPARE(e.list().entry(1).days, sjis(u"日月火水木金土"));
        QCOMPARE(e.lsv1->model()->index(1, 3).data().toString(), u"日月火水木金土"_s);
        QCOMPARE(e.list().entry(1).command, before.command);
        QCOMPARE(e.list().entry(1).param4, before.param4);
        QCOMPARE(e.lsv1->model()->index(1, 1).data().toString(), u"p1"_s);

        e.tick(1); // "毎日" off, no day ticked
        e.pop4(u"N30"_s);
        QCOMPARE(e.prompts.takeAsked(), QStringList{u"message|曜日が選択されていません"_s});
        QVERIFY(e.w->hasNoDays());
        QCOMPARE(e.list().entry(1).days, sjis(u"日月火水木金土"));
    }

    void weekdayStrip_data() {
        QTest::addColumn<QList<int>>("clicks"); // box numbers, in click order
        QTest::addColumn<QString>("days");
        QTest::newRow("every day") << QList<int>{} << u"日月火水木金土"_s;
        QTest::newRow("Monday and Thursday") << QList<int>{1, 3, 6} << u"月木"_s;
        QTest::newRow("weekday order, not click order") << QList<int>{1, 8, 2, 5} << u"日水土"_s;
        QTest::newRow("every day again keeps the ticks")
            << QList<int>{1, 3, 1} << u"日月火水木金土"_s;
        QTest::newRow("the old choice comes back") << QList<int>{1, 3, 1, 1} << u"月"_s;
        QTest::newRow("nothing chosen") << QList<int>{1} << QString();
    }
    void weekdayStrip() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, days);
        Editor e;
        for (int n : clicks)
            e.tick(n);
        for (int n = 2; n <= 8; ++n)
            QCOMPARE(e.box(n)->isEnabled(), !e.box(1)->isChecked());
        e.addBill();
        QCOMPARE(e.commands(), days.isEmpty() ? QByteArrayList{} : QByteArrayList{"bill"});
        if (!days.isEmpty())
            QCOMPARE(e.list().entry(0).days, text::bytesOf(days));
        QCOMPARE(e.w->hasNoDays(), days.isEmpty());
        QCOMPARE(e.prompts.takeAsked(), days.isEmpty()
                                            ? QStringList{u"message|曜日が選択されていません"_s}
                                            : QStringList{});
    }

    void foundDaysResetTheFlag() {
        Editor e;
        e.tick(1);
        e.addBill();
        QVERIFY(e.w->hasNoDays());
        e.tick(2);
        e.addBill();
        QCOMPARE(e.list().entry(0).days, sjis(u"日"));
        QVERIFY(!e.w->hasNoDays());
    }

    void dataListClickDeselectsThePatrolList_data() {
        QTest::addColumn<QString>("list");
        QTest::newRow("services") << u"ListBox1"_s;
        QTest::newRow("forums") << u"ListBox2"_s;
        QTest::newRow("patios") << u"ListBox3"_s;
        QTest::newRow("rooms") << u"ListBox4"_s;
        QTest::newRow("libraries") << u"ListBox5"_s;
    }
    void dataListClickDeselectsThePatrolList() {
        QFETCH(QString, list);
        Editor e;
        e.add({"a", "b"});
        auto *view = e.w->findChild<DataListView *>(list);
        if (list == u"ListBox2"_s || list == u"ListBox3"_s) {
            // Forums and patios from their files, read anew as "環境設定" closes.
            writeBytes(e.folder() + u"forumlist.txt"_s, "one\r\nF1\r\ntwo\r\nF2\r\n");
            writeBytes(e.folder() + u"patiolist.txt"_s, "p1\r\nI1\r\nW1\r\np2\r\nI2\r\nW2\r\n");
            whenModal([](QWidget *dialog) { dialog->close(); });
            trigger(e.w, "N5");
            QCOMPARE(view->model()->rowCount(), 2);
        } else if (view->model()->rowCount() == 0) {
            static_cast<ByteListModel *>(view->model())->setRows({"01 room", "02 room"});
        }
        if (list == u"ListBox4"_s || list == u"ListBox5"_s) // the list's tab in front
            QTest::mouseClick(view->window()->findChild<QTabBar *>(), Qt::LeftButton, {},
                              view->window()
                                  ->findChild<QTabBar *>()
                                  ->tabRect(list == u"ListBox4"_s ? 0 : 1)
                                  .center());
        e.select(1);
        clickRow(view, 0);
        QVERIFY(e.selectedRows().isEmpty());
        // Keyboard and drags count as clicks too.
        e.select(1);
        QTest::keyClick(view, Qt::Key_Down);
        QVERIFY(e.selectedRows().isEmpty());
        e.select(1);
        dragRows(view, 1, 0);
        QVERIFY(e.selectedRows().isEmpty());
        e.addBill();
        QCOMPARE(e.commands(), (QByteArrayList{"a", "b", "bill"}));
    }

    void saveAndOpenRoundTrip() {
        Editor e;
        const QByteArray jp = sjis(u"会議室ログ");
        QVERIFY(
            e.w->addEntry({"mesread", "FORUM", "3", "/log/" + jp + ".txt", "0", sjis(u"月水金")}));
        QVERIFY(e.w->addEntry({"zzz", "\x81\x20", "\xFF", "", "0", sjis(u"日")}));
        e.prompts.answer({e.path(u"list.txt"_s)});
        trigger(e.w, "Save1"); // no current file: "名前を付けて保存"
        QCOMPARE(e.prompts.takeAsked(),
                 (QStringList{u"save|名前を付けて保存|"_s + e.folder(), kSaved}));
        QCOMPARE(e.label(), u"[ファイル名： "_s + e.path(u"list.txt"_s) + u']');
        const QByteArray file = readBytes(e.path(u"list.txt"_s));
        QCOMPARE(file.count("\r\n"), 12);
        QVERIFY(file.endsWith("\r\n"));
        QVERIFY(file.startsWith("mesread\r\nFORUM\r\n3\r\n/log/" + jp + ".txt\r\n0\r\n"));

        trigger(e.w, "New1");
        QCOMPARE(e.label(), u"[ファイル名：]"_s);
        e.prompts.answer({e.path(u"list.txt"_s)});
        trigger(e.w, "Open1");
        QCOMPARE(e.prompts.takeAsked(),
                 QStringList{u"open|ファイルを開く|"_s + e.folder() + u"|keep"_s});
        QCOMPARE(e.list().size(), 2);
        QCOMPARE(e.lsv1->model()->index(0, 1).data().toString(), u" 3番会議室を読み込み"_s);
        QCOMPARE(e.lsv1->model()->index(0, 2).data().toString(), u"会議室ログ.txt"_s);
        trigger(e.w, "Save1");
        QCOMPARE(e.prompts.takeAsked(), QStringList{kSaved});
        QCOMPARE(readBytes(e.path(u"list.txt"_s)), file);
    }

    void openReadsWhatItCan_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("commands");
        QTest::newRow("thirteen lines")
            << QByteArray("a\r\n1\r\n2\r\n3\r\n4\r\nd\r\nb\r\n1\r\n2\r\n3\r\n4\r\nd\r\nx\r\n")
            << QByteArrayList{"a", "b"};
        QTest::newRow("LF only, no final line end")
            << QByteArray("a\n1\n2\n3\n4\nd\nb\n1\n2\n3\n4\nd") << QByteArrayList{"a", "b"};
        QTest::newRow("five lines") << QByteArray("a\r\n1\r\n2\r\n3\r\n4\r\n") << QByteArrayList{};
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
    }
    void openReadsWhatItCan() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, commands);
        Editor e;
        writeBytes(e.path(u"in.txt"_s), content);
        e.prompts.answer({e.path(u"in.txt"_s)});
        trigger(e.w, "Open1");
        QCOMPARE(e.commands(), commands);
        QCOMPARE(e.w->currentPatrolFile(), text::bytesOf(e.path(u"in.txt"_s)));
        QCOMPARE(e.label(), u"[ファイル名： "_s + e.path(u"in.txt"_s) + u']');
        QCOMPARE(e.prompts.takeAsked().size(), 1);
    }

    void openRejectsABadEntry() {
        Editor e;
        e.add({"keep"});
        writeBytes(e.path(u"bad.txt"_s),
                   "bill\r\n0\r\n0\r\n0\r\n0\r\nd\r\nmesread\r\nF\r\nx\r\n/l\r\n0\r\nd\r\n");
        e.prompts.answer({e.path(u"bad.txt"_s)});
        trigger(e.w, "Open1");
        QCOMPARE(e.prompts.takeAsked().last(), u"message|読み込みに失敗しました"_s);
        QCOMPARE(e.list().size(), 0);
        QVERIFY(e.w->currentPatrolFile().isEmpty());
        QCOMPARE(e.label(), u"[ファイル名：]"_s);
    }

    void openCancelledOrMissingChangesNothing() {
        Editor e;
        e.add({"keep"});
        e.prompts.answer({std::nullopt, e.path(u"missing.txt"_s)});
        trigger(e.w, "Open1");
        trigger(e.w, "Open1");
        QCOMPARE(e.commands(), QByteArrayList{"keep"});
        QCOMPARE(e.prompts.takeAsked().size(), 2);
    }

    void failedSaveKeepsTheOldFile() {
        Editor e;
        const QString target = e.path(u"old.txt"_s);
        writeBytes(target, "old\r\n");
        e.add({"a"});
        e.prompts.answer({target});
        // A file size limit makes the write fail even for root.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &small);
        trigger(e.w, "SaveAs1");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(e.prompts.takeAsked(), (QStringList{u"save|名前を付けて保存|"_s + e.folder(),
                                                     u"message|I/O ｴﾗｰ (27)"_s}));
        QCOMPARE(readBytes(target), QByteArray("old\r\n"));
        // The new name was set before writing.
        QCOMPARE(e.w->currentPatrolFile(), text::bytesOf(target));
        QCOMPARE(e.commands(), QByteArrayList{"a"});
    }

    void saveIntoAMissingFolderSaysWhy() {
        Editor e;
        e.add({"a"});
        e.prompts.answer({e.path(u"none/x.txt"_s)});
        trigger(e.w, "SaveAs1");
        QCOMPARE(e.prompts.takeAsked().last(), u"message|I/O ｴﾗｰ (2)"_s);
        QVERIFY(!QFile::exists(e.path(u"none/x.txt"_s)));
    }

    void saveAsCancelledSavesNothing() {
        Editor e;
        e.add({"a"});
        e.prompts.answer({std::nullopt});
        trigger(e.w, "Save1");
        QCOMPARE(e.prompts.takeAsked().size(), 1);
        QVERIFY(e.w->currentPatrolFile().isEmpty());
        QCOMPARE(QDir(e.folder()).entryList(QDir::Files).size(), 1); // the settings file
    }

    void deleteTheCurrentFileLeavesTheList() {
        Editor e;
        e.add({"a"});
        const QString target = e.path(u"cur.txt"_s);
        e.prompts.answer({target});
        trigger(e.w, "SaveAs1");
        e.prompts.takeAsked();
        const QString shown = e.label();

        e.prompts.answer({target, std::nullopt});
        trigger(e.w, "Delete1"); // Cancel at the question
        QVERIFY(QFile::exists(target));
        e.prompts.answer({target, u"ok"_s});
        trigger(e.w, "Delete1");
        QCOMPARE(e.prompts.takeAsked(),
                 (QStringList{u"open|削除するファイル|"_s + e.folder() + u"|clear"_s,
                              u"okcancel|"_s + target + u"\r\n削除しますか"_s,
                              u"open|削除するファイル|"_s + e.folder() + u"|clear"_s,
                              u"okcancel|"_s + target + u"\r\n削除しますか"_s,
                              u"message|削除しました"_s}));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(e.label(), shown);
        QCOMPARE(e.commands(), QByteArrayList{"a"});
        trigger(e.w, "Save1"); // writes the file again
        QCOMPARE(e.prompts.takeAsked(), QStringList{kSaved});
        QVERIFY(QFile::exists(target));
    }

    // A path whose bytes would name another file, or hold a line break, is
    // refused: nothing is written, opened or remembered under it.
    void pathsThatCannotBeKeptAreRefused_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::newRow("save as, minus sign") << u"SaveAs1"_s << u"a\u2212b.lst"_s;
        QTest::newRow("save as, line feed") << u"SaveAs1"_s << u"a\nb.lst"_s;
        QTest::newRow("open, wave dash") << u"Open1"_s << u"予定\u301Cリスト.txt"_s;
    }
    void pathsThatCannotBeKeptAreRefused() {
        QFETCH(QString, command);
        QFETCH(QString, name);
        Editor e;
        e.add({"a"});
        e.prompts.answer({e.path(u"first.txt"_s)});
        trigger(e.w, "SaveAs1");
        const QByteArray first = readBytes(e.path(u"first.txt"_s));
        writeBytes(e.path(name), "b\r\n1\r\n2\r\n3\r\n4\r\nd\r\n");
        const QStringList before = QDir(e.folder()).entryList(QDir::Files);
        e.prompts.takeAsked();

        e.prompts.answer({e.path(name)});
        trigger(e.w, command.toLatin1().constData());
        QCOMPARE(e.prompts.takeAsked().last(),
                 u"message|ファイル名に使えない文字が含まれています"_s);
        QCOMPARE(QDir(e.folder()).entryList(QDir::Files), before);
        QCOMPARE(e.commands(), QByteArrayList{"a"});
        // "上書き保存" still writes the file that was saved.
        trigger(e.w, "Save1");
        QCOMPARE(e.prompts.takeAsked(), QStringList{kSaved});
        QCOMPARE(readBytes(e.path(u"first.txt"_s)), first);
        QCOMPARE(QDir(e.folder()).entryList(QDir::Files), before);
    }

    void aFileThatCannotBeDeletedSaysSo() {
        // Even for root, the system's own files cannot be removed.
        const QString target = u"/proc/self/status"_s;
        if (!QFile::exists(target))
            QSKIP("no /proc here");
        Editor e;
        e.prompts.answer({target, u"ok"_s});
        trigger(e.w, "Delete1");
        QCOMPARE(e.prompts.takeAsked().last(), u"message|削除に失敗しました"_s);
    }

    void clearForgetsTheFile() {
        Editor e;
        e.add({"a"});
        e.prompts.answer({e.path(u"c.txt"_s)});
        trigger(e.w, "SaveAs1");
        e.prompts.takeAsked();
        trigger(e.w, "New1");
        QCOMPARE(e.list().size(), 0);
        QVERIFY(e.w->currentPatrolFile().isEmpty());
        trigger(e.w, "Save1");
        trigger(e.w, "SaveAs1");
        QCOMPARE(e.prompts.takeAsked(),
                 (QStringList{u"message|データがありません"_s, u"message|データがありません"_s}));
    }
};

KIRANO_GUI_TEST_MAIN(TestPatrolEditor)
#include "test_app_patroleditor.moc"

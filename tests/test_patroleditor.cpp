#include "app/mainwindow.h"
#include "browser/bytelistmodel.h"
#include "browser/datalistview.h"
#include "guitestsupport.h"
#include "patrol/patrolentry.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
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

struct Editor : Fixture {
    TForm1 *w = nullptr;
    QTreeView *lsv1 = nullptr;

    Editor() {
        writeDefaultSettings();
        w = &start();
        lsv1 = w->findChild<QTreeView *>(u"lsv1"_s);
    }
    PatrolListModel &list() { return *w->patrolList(); }
    QByteArrayList commands() {
        QByteArrayList names;
        for (int r = 0; r < list().size(); ++r)
            names << list().entry(r).command;
        return names;
    }
    void add(std::initializer_list<const char *> names) {
        for (const char *n : names)
            QVERIFY(w->AddEntry(plain(n)));
    }
    void select(int row) {
        lsv1->selectionModel()->select(list().index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                                 QItemSelectionModel::Rows);
    }
    QList<int> selectedRows() {
        QList<int> rows;
        for (const QModelIndex &i : lsv1->selectionModel()->selectedRows())
            rows << i.row();
        return rows;
    }
    QCheckBox *box(int n) { return w->findChild<QCheckBox *>(u"CheckBox%1"_s.arg(n)); }
    QString label() { return w->findChild<QLabel *>(u"Label1"_s)->text(); }
    QString path(const QString &name) { return folder() + name; }
    bool pop4Enabled() {
        auto *menu = w->findChild<QMenu *>(u"pop4"_s);
        emit menu->aboutToShow();
        bool all = true, none = true;
        for (QAction *a : menu->actions()) {
            all = all && a->isEnabled();
            none = none && !a->isEnabled();
        }
        if (!all && !none)
            qWarning("pop4 items differ");
        return all;
    }
};

const QString kSaved = u"message|保存しました"_s;

} // namespace

class TestPatrolEditor : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        // The patrol list model keeps its signals consistent through every edit.
        Editor e;
        QAbstractItemModelTester tester(&e.list(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        e.add({"a", "b", "c"});
        e.select(1);
        e.w->AddEntry(plain("d"));
        e.w->N24Click();
        e.select(2);
        e.w->Delete2Click();
        e.w->New1Click();
    }

    void additionsWithoutSelectionAppend() {
        Editor e;
        e.add({"a", "b", "c"});
        QCOMPARE(e.commands(), (QByteArrayList{"a", "b", "c"}));
        QVERIFY(e.selectedRows().isEmpty());
    }

    void additionsGoBeforeTheSelectedRow() {
        Editor e;
        e.add({"0", "1", "2", "3", "4"});
        e.select(2);
        e.add({"A", "B"});
        QCOMPARE(e.commands(), (QByteArrayList{"0", "1", "A", "B", "2", "3", "4"}));
        QCOMPARE(e.selectedRows(), QList<int>{4});
    }

    void failingDisplayRowAddsNothing() {
        Editor e;
        e.add({"a"});
        QVERIFY(!e.w->AddEntry(PatrolEntry{"mesread", "F", "x", "0", "0", "0"}));
        QCOMPARE(e.commands(), QByteArrayList{"a"});
        QCOMPARE(e.lsv1->model()->rowCount(), 1);
    }

    void movesPastTheEndsAreRefused_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("up");
        QTest::newRow("up on the first") << 3 << 0 << true;
        QTest::newRow("down on the last") << 3 << 2 << false;
        QTest::newRow("one row up") << 1 << 0 << true;
        QTest::newRow("one row down") << 1 << 0 << false;
    }
    void movesPastTheEndsAreRefused() {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(bool, up);
        Editor e;
        for (int i = 0; i < rows; ++i)
            e.add({QByteArray::number(i).constData()});
        const QByteArrayList before = e.commands();
        e.select(selected);
        up ? e.w->N24Click() : e.w->N25Click();
        QCOMPARE(e.prompts.takeAsked(), (QStringList{u"beep"_s, u"message|移動できません"_s}));
        QCOMPARE(e.commands(), before);
        QCOMPARE(e.selectedRows(), QList<int>{selected});
    }

    void upLeavesNothingSelected() {
        Editor e;
        e.add({"0", "1", "2", "3", "4"});
        e.select(3);
        e.w->N24Click();
        QCOMPARE(e.commands(), (QByteArrayList{"0", "1", "3", "2", "4"}));
        QCOMPARE(e.lsv1->model()->index(2, 0).data().toString(), u"3"_s);
        QVERIFY(e.selectedRows().isEmpty());
        QVERIFY(!e.pop4Enabled());
    }

    void downKeepsTheRowSelected() {
        Editor e;
        e.add({"0", "1", "2", "3", "4"});
        e.select(1);
        e.w->N25Click();
        QCOMPARE(e.commands(), (QByteArrayList{"0", "2", "1", "3", "4"}));
        QCOMPARE(e.selectedRows(), QList<int>{2});
        e.w->N25Click();
        QCOMPARE(e.commands(), (QByteArrayList{"0", "2", "3", "1", "4"}));
        QCOMPARE(e.selectedRows(), QList<int>{3});
        QVERIFY(e.prompts.asked.isEmpty());
    }

    void deleteTakesTheSelectedRowWithoutAsking() {
        Editor e;
        e.add({"a", "b", "c"});
        e.select(1);
        QVERIFY(e.pop4Enabled());
        e.w->Delete2Click();
        QCOMPARE(e.commands(), (QByteArrayList{"a", "c"}));
        QVERIFY(e.selectedRows().isEmpty());
        e.select(0);
        e.w->Delete2Click();
        e.select(0);
        e.w->Delete2Click();
        QCOMPARE(e.list().size(), 0);
        QVERIFY(!e.pop4Enabled());
        e.w->Save1Click();
        QCOMPARE(e.prompts.takeAsked(), QStringList{u"message|データがありません"_s});
    }

    void changeDaysTouchesOnlyTheDays() {
        Editor e;
        e.add({"a", "b"});
        const PatrolEntry before = e.list().entry(1);
        e.select(1);
        e.w->N30Click();
        QCOMPARE(e.list().entry(1).days, sjis(u"日月火水木金土"));
        QCOMPARE(e.lsv1->model()->index(1, 3).data().toString(), u"日月火水木金土"_s);
        QCOMPARE(e.list().entry(1).command, before.command);
        QCOMPARE(e.list().entry(1).param4, before.param4);
        QCOMPARE(e.lsv1->model()->index(1, 1).data().toString(), u"p1"_s);

        e.box(1)->click(); // "毎日" off, no day ticked
        e.w->N30Click();
        QCOMPARE(e.prompts.takeAsked(), QStringList{u"message|曜日が選択されていません"_s});
        QCOMPARE(e.w->noDaysFlag(), 1);
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
            e.box(n)->click();
        for (int n = 2; n <= 8; ++n)
            QCOMPARE(e.box(n)->isEnabled(), !e.box(1)->isChecked());
        QCOMPARE(text::decode(e.w->ReadDays()), days);
        QCOMPARE(e.w->noDaysFlag(), days.isEmpty() ? 1 : 0);
        QCOMPARE(e.prompts.takeAsked(), days.isEmpty()
                                            ? QStringList{u"message|曜日が選択されていません"_s}
                                            : QStringList{});
    }

    void foundDaysResetTheFlag() {
        Editor e;
        e.box(1)->click();
        e.w->ReadDays();
        QCOMPARE(e.w->noDaysFlag(), 1);
        e.box(2)->click();
        QCOMPARE(e.w->ReadDays(), sjis(u"日"));
        QCOMPARE(e.w->noDaysFlag(), 0);
    }

    void dataListClickDeselectsThePatrolList_data() {
        QTest::addColumn<QString>("list");
        QTest::newRow("patios") << u"ListBox3"_s;
        QTest::newRow("rooms") << u"ListBox4"_s;
        QTest::newRow("libraries") << u"ListBox5"_s;
    }
    void dataListClickDeselectsThePatrolList() {
        QFETCH(QString, list);
        Editor e;
        e.add({"a", "b"});
        auto *view = e.w->findChild<DataListView *>(list);
        static_cast<ByteListModel *>(view->model())->setRows({"01 room", "02 room"});
        e.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(e.w));
        e.select(1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QVERIFY(e.selectedRows().isEmpty());
        e.w->AddEntry(plain("c"));
        QCOMPARE(e.commands(), (QByteArrayList{"a", "b", "c"}));
    }

    void saveAndOpenRoundTrip() {
        Editor e;
        const QByteArray jp = sjis(u"会議室ログ");
        QVERIFY(
            e.w->AddEntry({"mesread", "FORUM", "3", "/log/" + jp + ".txt", "0", sjis(u"月水金")}));
        QVERIFY(e.w->AddEntry({"zzz", "\x81\x20", "\xFF", "", "0", sjis(u"日")}));
        e.prompts.answer({e.path(u"list.txt"_s)});
        e.w->Save1Click(); // no current file: "名前を付けて保存"
        QCOMPARE(e.prompts.takeAsked(),
                 (QStringList{u"save|名前を付けて保存|"_s + e.folder(), kSaved}));
        QCOMPARE(e.label(), u"[ファイル名： "_s + e.path(u"list.txt"_s) + u']');
        const QByteArray file = readBytes(e.path(u"list.txt"_s));
        QCOMPARE(file.count("\r\n"), 12);
        QVERIFY(file.endsWith("\r\n"));
        QVERIFY(file.startsWith("mesread\r\nFORUM\r\n3\r\n/log/" + jp + ".txt\r\n0\r\n"));

        e.w->New1Click();
        QCOMPARE(e.label(), u"[ファイル名：]"_s);
        e.prompts.answer({e.path(u"list.txt"_s)});
        e.w->Open1Click();
        QCOMPARE(e.prompts.takeAsked(),
                 QStringList{u"open|ファイルを開く|"_s + e.folder() + u"|keep"_s});
        QCOMPARE(e.list().size(), 2);
        QCOMPARE(e.lsv1->model()->index(0, 1).data().toString(), u" 3番会議室を読み込み"_s);
        QCOMPARE(e.lsv1->model()->index(0, 2).data().toString(), u"会議室ログ.txt"_s);
        e.w->Save1Click();
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
        e.w->Open1Click();
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
        e.w->Open1Click();
        QCOMPARE(e.prompts.takeAsked().last(), u"message|読み込みに失敗しました"_s);
        QCOMPARE(e.list().size(), 0);
        QVERIFY(e.w->currentPatrolFile().isEmpty());
        QCOMPARE(e.label(), u"[ファイル名：]"_s);
    }

    void openCancelledOrMissingChangesNothing() {
        Editor e;
        e.add({"keep"});
        e.prompts.answer({std::nullopt, e.path(u"missing.txt"_s)});
        e.w->Open1Click();
        e.w->Open1Click();
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
        e.w->SaveAs1Click();
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
        e.w->SaveAs1Click();
        QCOMPARE(e.prompts.takeAsked().last(), u"message|I/O ｴﾗｰ (2)"_s);
        QVERIFY(!QFile::exists(e.path(u"none/x.txt"_s)));
    }

    void saveAsCancelledSavesNothing() {
        Editor e;
        e.add({"a"});
        e.prompts.answer({std::nullopt});
        e.w->Save1Click();
        QCOMPARE(e.prompts.takeAsked().size(), 1);
        QVERIFY(e.w->currentPatrolFile().isEmpty());
        QCOMPARE(QDir(e.folder()).entryList(QDir::Files).size(), 1); // the settings file
    }

    void deleteTheCurrentFileLeavesTheList() {
        Editor e;
        e.add({"a"});
        const QString target = e.path(u"cur.txt"_s);
        e.prompts.answer({target});
        e.w->SaveAs1Click();
        e.prompts.takeAsked();
        const QString shown = e.label();

        e.prompts.answer({target, std::nullopt});
        e.w->Delete1Click(); // Cancel at the question
        QVERIFY(QFile::exists(target));
        e.prompts.answer({target, u"ok"_s});
        e.w->Delete1Click();
        QCOMPARE(e.prompts.takeAsked(),
                 (QStringList{u"open|削除するファイル|"_s + e.folder() + u"|clear"_s,
                              u"okcancel|"_s + target + u"\r\n削除しますか"_s,
                              u"open|削除するファイル|"_s + e.folder() + u"|clear"_s,
                              u"okcancel|"_s + target + u"\r\n削除しますか"_s,
                              u"message|削除しました"_s}));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(e.label(), shown);
        QCOMPARE(e.commands(), QByteArrayList{"a"});
        e.w->Save1Click(); // writes the file again
        QCOMPARE(e.prompts.takeAsked(), QStringList{kSaved});
        QVERIFY(QFile::exists(target));
    }

    void clearForgetsTheFile() {
        Editor e;
        e.add({"a"});
        e.prompts.answer({e.path(u"c.txt"_s)});
        e.w->SaveAs1Click();
        e.prompts.takeAsked();
        e.w->New1Click();
        QCOMPARE(e.list().size(), 0);
        QVERIFY(e.w->currentPatrolFile().isEmpty());
        e.w->Save1Click();
        e.w->SaveAs1Click();
        QCOMPARE(e.prompts.takeAsked(),
                 (QStringList{u"message|データがありません"_s, u"message|データがありません"_s}));
    }
};

KIRANO_GUI_TEST_MAIN(TestPatrolEditor)
#include "test_patroleditor.moc"

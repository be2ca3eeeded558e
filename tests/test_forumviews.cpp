#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "dialogs/chooserdialog.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kPlaceholder = u"     データ取得日--------------"_s;

QByteArray name40(const QByteArray &name) {
    return name.leftJustified(40, ' ');
}

// A main window whose data folder is data/ below the program folder.
struct Browser : Fixture {
    TForm1 *w = nullptr;

    void writeData(const QString &name, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(data() + name).path());
        writeBytes(data() + name, bytes);
    }
    void startWith(const QByteArray &forumList) {
        writeSettings("1\r\n1\r\n1\r\n", true);
        writeData(u"forumlist.txt"_s, forumList);
        w = &start();
    }
    DataListView *list(int n) { return w->findChild<DataListView *>(u"ListBox%1"_s.arg(n)); }
    QStringList rows(int n) { return rowsOf(list(n)); }
    QString caption(const char *name) {
        if (auto *pane = w->findChild<TextPane *>(QString::fromLatin1(name)))
            return pane->text();
        return w->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    void click(int n, int row) {
        list(n)->setCurrentIndex(list(n)->model()->index(row, 0));
        emit list(n)->rowClicked();
    }
    bool menuEnabled(const char *name) { return testing::menuEnabled(w, name); }
};

} // namespace

class TestForumViews : public QObject {
    Q_OBJECT
  private slots:
    void forumListRecords_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArrayList>("codes");
        QTest::newRow("a last record without its code")
            << QByteArray("bbb\r\nB1\r\naaa\r\n") << QStringList{u"aaa"_s, u"bbb"_s}
            << QByteArrayList{"", "B1"};
        QTest::newRow("codes exact whatever the name's length")
            << QByteArray("short\r\nSHORTCODE\r\n") + name40("x") + "\r\nXX\r\n" +
                   QByteArray(45, 'z') + "\r\nLONG\r\n"
            << QStringList{u"short"_s, QString::fromLatin1(name40("x")), QString(45, u'z')}
            << QByteArrayList{"SHORTCODE", "XX", "LONG"};
        QTest::newRow("equal names: by code, ignoring case")
            << QByteArray("Forum\r\nC2\r\nFORUM\r\nc1\r\nalpha\r\nA\r\n")
            << QStringList{u"alpha"_s, u"FORUM"_s, u"Forum"_s} << QByteArrayList{"A", "c1", "C2"};
        QTest::newRow("equal but for case: both, in file order")
            << QByteArray("Forum\r\nc1\r\nFORUM\r\nC1\r\n") << QStringList{u"Forum"_s, u"FORUM"_s}
            << QByteArrayList{"c1", "C1"};
        QTest::newRow("empty file") << QByteArray() << QStringList{} << QByteArrayList{};
    }
    void forumListRecords() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, names);
        QFETCH(QByteArrayList, codes);
        Browser b;
        b.startWith(file);
        QCOMPARE(b.rows(2), names);
        QByteArrayList got;
        for (const ForumRecord &f : b.w->forumList())
            got << f.code;
        QCOMPARE(got, codes);
    }

    void forumWithAnEmptyCodeReadsTheDataFolder() {
        Browser b;
        b.startWith("one\r\nF1/\r\ntwo\r\n");
        b.writeData(u"mes.txt"_s, "07 room seven\r\n");
        b.writeData(u"F1/mes.txt"_s, "01 room one\r\n");
        // The byte row models keep their signals consistent through loads.
        QAbstractItemModelTester rooms(b.list(4)->model(),
                                       QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester forums(b.list(2)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        b.click(2, 1);
        QCOMPARE(b.rows(4), QStringList{u"07 room seven"_s});
        b.click(2, 0);
        QCOMPARE(b.rows(4), QStringList{u"01 room one"_s});
        b.w->loadForumList();
        QCOMPARE(b.rows(4), QStringList{});
    }

    void dateLines_data() {
        QTest::addColumn<QByteArray>("mes");
        QTest::addColumn<QStringList>("rooms");
        QTest::addColumn<QString>("panel");
        const QByteArray date = sjis(u"データ取得日 98/01/01");
        QTest::newRow("date line last")
            << "01 a\r\n02 b\r\n" + date + "\r\n"
            << QStringList{u"01 a"_s, u"02 b"_s} << u"     データ取得日 98/01/01"_s;
        QTest::newRow("only a date line")
            << date << QStringList{} << u"     データ取得日 98/01/01"_s;
        QTest::newRow("no date line")
            << QByteArray("01 a\n02 b") << QStringList{u"01 a"_s, u"02 b"_s} << kPlaceholder;
        QTest::newRow("date line not last")
            << date + "\r\n01 a\r\n"
            << QStringList{u"データ取得日 98/01/01"_s, u"01 a"_s} << kPlaceholder;
        QTest::newRow("empty file") << QByteArray() << QStringList{} << kPlaceholder;
    }
    void dateLines() {
        QFETCH(QByteArray, mes);
        QFETCH(QStringList, rooms);
        QFETCH(QString, panel);
        Browser b;
        b.startWith("forum\r\nF/\r\n");
        b.writeData(u"F/mes.txt"_s, mes);
        b.writeData(u"F/dl.txt"_s, mes);
        b.writeData(u"F/top.txt"_s, mes);
        b.click(2, 0);
        QCOMPARE(b.rows(4), rooms);
        QCOMPARE(b.caption("Panel3"), panel);
        QCOMPARE(b.rows(5), rooms);
        QCOMPARE(b.caption("Panel4"), panel);
        QCOMPARE(b.caption("Label2"), rooms.isEmpty() ? QString() : rooms.join(u'\n') + u'\n');
        QCOMPARE(b.caption("Panel5"), panel);
    }

    void missingFilesGivePlaceholders() {
        Browser b;
        b.startWith("forum\r\nNONE/\r\n");
        b.click(2, 0);
        const QStringList rooms = b.rows(4);
        QCOMPARE(rooms.size(), 20);
        QCOMPARE(rooms.first(), u"01       0 (   0)   00/00   データ無し"_s);
        QCOMPARE(rooms.last(), u"20       0 (   0)   00/00   データ無し"_s);
        const QStringList libraries = b.rows(5);
        QCOMPARE(libraries.size(), 20);
        QCOMPARE(libraries.first(), u"0001     0  (   0)  00/00   データ無し"_s);
        QCOMPARE(libraries.last(), u"0020     0  (   0)  00/00   データ無し"_s);
        QCOMPARE(b.caption("Label2"), u"ファイルがありません\n"_s);
        for (const char *panel : {"Panel3", "Panel4", "Panel5"})
            QCOMPARE(b.caption(panel), kPlaceholder);
    }

    void viewModesSwitchTheTabs() {
        Browser b;
        b.startWith("forum\r\nF/\r\n");
        auto *tabs = b.w->findChild<QTabWidget *>(u"PageControl1"_s);
        b.w->setViewMode(ViewMode::Fees);
        QCOMPARE(tabs->tabText(2), u"料金情報"_s);
        QVERIFY(!tabs->isTabVisible(0) && !tabs->isTabVisible(1) && tabs->isTabVisible(2));
        b.w->setViewMode(ViewMode::Notices);
        QCOMPARE(tabs->tabText(0), u"お知らせ"_s);
        QCOMPARE(b.list(4)->selectionMode(), QAbstractItemView::MultiSelection);
        b.click(2, 0);
        QCOMPARE(tabs->tabText(0), u"会議室"_s);
        QCOMPARE(tabs->tabText(1), u"ライブラリィ"_s);
        QCOMPARE(tabs->tabText(2), u"トップ"_s);
        for (int i = 0; i < 3; ++i)
            QVERIFY(tabs->isTabVisible(i));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(b.list(4)->selectionMode(), QAbstractItemView::SingleSelection);
        b.prompts.takeAsked();
        b.w->setViewMode(static_cast<ViewMode>(42));
        QCOMPARE(b.prompts.takeAsked(), QStringList{u"message|エラー"_s});
        QCOMPARE(tabs->tabText(0), u"会議室"_s);
    }

    void menusFollowTheSelection() {
        Browser b;
        b.startWith("forum\r\nF/\r\n");
        QVERIFY(!b.menuEnabled("pop2"));
        b.click(2, 0);
        QVERIFY(b.menuEnabled("pop2"));
        QVERIFY(!b.menuEnabled("pop5"));
        QVERIFY(!b.menuEnabled("pop6"));
        b.list(4)->setCurrentIndex(b.list(4)->model()->index(2, 0));
        b.list(5)->setCurrentIndex(b.list(5)->model()->index(3, 0));
        QVERIFY(b.menuEnabled("pop5"));
        QVERIFY(b.menuEnabled("pop6"));
        QCOMPARE(b.list(4)->selectedRow(), 2); // opening a menu changed nothing
        b.w->loadForumList();
        QVERIFY(!b.menuEnabled("pop2"));
        QVERIFY(!b.menuEnabled("pop5"));
        QVERIFY(!b.menuEnabled("pop6"));
    }

    void rightClickDoesNotSelect() {
        Browser b;
        b.startWith("a\r\nA/\r\nb\r\nB/\r\n");
        b.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.w));
        auto *forums = b.list(2);
        QTest::mouseClick(forums->viewport(), Qt::LeftButton, {},
                          forums->visualRect(forums->model()->index(0, 0)).center());
        QCOMPARE(forums->selectedRow(), 0);
        QTest::mousePress(forums->viewport(), Qt::RightButton, {},
                          forums->visualRect(forums->model()->index(1, 0)).center());
        QCOMPARE(forums->selectedRow(), 0);
        QTest::keyClick(forums, Qt::Key_Down); // the keyboard shows a forum too
        QCOMPARE(forums->selectedRow(), 1);
        QCOMPARE(b.rows(4).size(), 20);
    }

    void commandsAppendAfterADataClickOrInsertBeforeTheSelection() {
        Browser b;
        b.startWith("forum\r\nFC\r\n");
        auto *lsv1 = b.w->findChild<QTreeView *>(u"lsv1"_s);
        b.click(2, 0);
        b.click(4, 2); // room 03
        for (int i = 0; i < 2; ++i)
            b.w->N19Click();
        lsv1->selectionModel()->select(b.w->patrolList()->index(0, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        b.prompts.answer({u"/log/a.txt"_s});
        b.w->N6Click(); // inserted before the selected row
        QCOMPARE(b.w->patrolList()->entry(0).command, QByteArray("mesread"));
        QCOMPARE(b.w->patrolList()->entry(0).param2, QByteArray("3"));
        b.click(5, 0); // a click in a data list deselects: appended
        QVERIFY(lsv1->selectionModel()->selectedRows().isEmpty());
        b.w->N20Click();
        QCOMPARE(b.w->patrolList()->size(), 4);
        QCOMPARE(b.w->patrolList()->entry(3).command, QByteArray("dltitlea"));
        QCOMPARE(b.w->patrolList()->entry(3).param1, QByteArray("FC"));
    }

    void chooserFillsFromTheLibraryList() {
        Browser b;
        b.startWith("forum\r\nFC\r\n");
        const QByteArray row = QByteArray("  12").leftJustified(39, ' ') + "FILE.LZH    x";
        b.writeData(u"FCdl1.txt"_s, row + "\r\n" + sjis(u"データ取得 98/01/01") + "\r\n");
        b.click(2, 0);
        b.click(5, 0);
        b.prompts.answer({u"0"_s, u"SAVE.LZH"_s});
        b.w->N10Click();
        QCOMPARE(b.prompts.chooserRows, QByteArrayList{row});
        QCOMPARE(b.prompts.chooserStatus, "    " + sjis(u"データ取得 98/01/01"));
        const PatrolEntry &e = b.w->patrolList()->entry(0);
        QCOMPARE(e, (PatrolEntry{"dldown", "FC", "1", "12", "SAVE.LZH", sjis(u"日月火水木金土")}));
        QCOMPARE(b.prompts.asked.last(), u"query|ライブラリィ|ファイル名|FILE.LZH"_s);
    }

    void chooserClosings_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("chosen");
        QTest::newRow("決定 without a row") << u"decide"_s << -1;
        QTest::newRow("決定 with a row") << u"select+decide"_s << 1;
        QTest::newRow("キャンセル after a row") << u"select+cancel"_s << -1;
        QTest::newRow("double click") << u"double"_s << 2;
        QTest::newRow("close box after a row") << u"select+close"_s << 1;
    }
    void chooserClosings() {
        QFETCH(QString, how);
        QFETCH(int, chosen);
        ChooserDialog chooser(u"Kirano  Ver.1.4.0"_s);
        QTimer::singleShot(0, &chooser, [&chooser, how] {
            auto *list = chooser.findChild<DataListView *>(u"ListBox1"_s);
            QCOMPARE(chooser.findChild<QLabel *>(u"Panel1"_s)->text(), u"    status"_s);
            QCOMPARE(list->selectedRow(), -1);
            if (how.startsWith(u"select"_s))
                list->setCurrentIndex(list->model()->index(1, 0));
            if (how.endsWith(u"decide"_s))
                chooser.findChild<QPushButton *>(u"Button1"_s)->click();
            else if (how.endsWith(u"cancel"_s))
                chooser.findChild<QPushButton *>(u"Button2"_s)->click();
            else if (how.endsWith(u"close"_s))
                chooser.close();
            else {
                const QPoint at = list->visualRect(list->model()->index(2, 0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            }
        });
        QCOMPARE(chooser.choose({"a", "b", "c"}, "    status"), chosen);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(chooser.size(), QSize(606, 519));
    }
};

KIRANO_GUI_TEST_MAIN(TestForumViews)
#include "test_forumviews.moc"

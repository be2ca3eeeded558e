#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "dialogs/chooserdialog.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"
#include "version.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
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
    MainWindow *w = nullptr;

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
    // The user brings a list's tab to the front before using the list.
    void showTabOf(int n) {
        auto *tabs = w->findChild<QTabWidget *>(u"PageControl1"_s);
        if (n < 4 || list(n)->isVisible())
            return;
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(n == 4 ? 0 : 1).center());
    }
    void click(int n, int row) {
        showTabOf(n);
        clickRow(list(n), row);
    }
    // The list's pop-up as a right-click opens it: on the selected row, or
    // below the rows when none is.
    OpenedMenu menuOf(int n, const QString &item = QString()) {
        showTabOf(n);
        return chooseFromMenu(list(n), list(n)->selectedRow(), item);
    }
    // "環境設定" closed again: the forum list is read anew.
    void reloadThroughSettings() {
        whenModal([](QWidget *dialog) { dialog->close(); });
        trigger(w, "N5");
    }
};

} // namespace

// What the data tabs show, as the user sees it: each tab's caption when
// shown, the tab in front, and what the shown tabs hold (rows, selection
// mode, text, date panel); and which row each list on the left has selected.
QStringList shownViews(Browser &b) {
    auto *tabs = b.w->findChild<QTabWidget *>(u"PageControl1"_s);
    QStringList shown;
    for (int t = 0; t < tabs->count(); ++t) {
        if (!tabs->isTabVisible(t))
            continue;
        shown << u"tab %1 %2"_s.arg(t).arg(tabs->tabText(t));
        if (t == 0)
            shown << b.rows(4) << QString::number(b.list(4)->selectionMode())
                  << b.caption("Panel3");
        if (t == 1)
            shown << b.rows(5) << b.caption("Panel4");
        if (t == 2)
            shown << b.caption("Label2") << b.caption("Panel5");
    }
    shown << u"front %1"_s.arg(tabs->currentIndex());
    for (int n = 1; n <= 3; ++n)
        shown << u"ListBox%1 %2"_s.arg(n).arg(b.list(n)->selectedRow());
    return shown;
}

// The views of the test below, each chosen by a click on the left.
enum class View { FullForum, EmptyForum, Notices, Fees, Bbs, Warnings, Patio };

void showView(Browser &b, View view) {
    switch (view) {
    case View::FullForum:
        return b.click(2, 0);
    case View::EmptyForum:
        return b.click(2, 1);
    case View::Notices:
        return b.click(1, 0);
    case View::Fees:
        return b.click(1, 1);
    case View::Bbs:
        return b.click(1, 2);
    case View::Warnings:
        return b.click(1, 3);
    case View::Patio:
        return b.click(3, 0);
    }
}

// Forum F1 with every file and its date lines, F2 with none; notices and
// fees with date lines, no warnings; one patio.
void startWithEveryView(Browser &b) {
    const QByteArray date = sjis(u"データ取得日 98/12/24 07:05");
    b.writeData(u"F1/mes.txt"_s, "01  a\r\n02  b\r\n" + date + "\r\n");
    b.writeData(u"F1/dl.txt"_s, "0001 a\r\n" + date + "\r\n");
    b.writeData(u"F1/top.txt"_s, "top\r\n" + date + "\r\n");
    b.writeData(u"new.txt"_s, "000001 notice\r\n" + date + "\r\n");
    b.writeData(u"bill.txt"_s, "fees\r\nmore fees\r\n" + date + "\r\n");
    b.writeData(u"patiolist.txt"_s, "P1\r\nID1\r\npw\r\n");
    b.startWith(name40("aaa") + "\r\nF1/\r\n" + name40("bbb") + "\r\nF2/\r\n");
}

class TestForumViews : public QObject {
    Q_OBJECT
  private slots:
    // Whatever the data tabs showed before, a view shows exactly what it
    // shows in a window just started: no date line, tab, row or text of the
    // view before is left over.
    void everyViewIsTheSameWhateverCameBefore_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        const char *names[] = {"full forum", "empty forum", "notices", "fees",
                               "bbs",        "warnings",    "patio"};
        for (int before = 0; before <= int(View::Patio); ++before) {
            for (int after = 0; after < int(View::Patio); ++after)
                QTest::addRow("%s, then %s", names[before], names[after]) << before << after;
        }
    }
    void everyViewIsTheSameWhateverCameBefore() {
        QFETCH(int, before);
        QFETCH(int, after);
        Browser fresh;
        startWithEveryView(fresh);
        showView(fresh, View(after));
        Browser b;
        startWithEveryView(b);
        showView(b, View(before));
        showView(b, View(after));
        QCOMPARE(shownViews(b), shownViews(fresh));
    }

    // "すべて選択" and "コピー" of each text the data tabs show: every line,
    // the last one too, as shown.
    void everyTextPaneCopiesAllItShows_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("keys"); // Ctrl+A, Ctrl+C; else the pane's menu
        QTest::addColumn<QString>("copied");
        for (bool keys : {true, false}) {
            const char *how = keys ? "keys" : "menu";
            QTest::addRow("top page, %s", how) << int(View::FullForum) << keys << u"top"_s;
            QTest::addRow("fees, %s", how) << int(View::Fees) << keys << u"fees\nmore fees"_s;
            QTest::addRow("no top page, %s", how)
                << int(View::EmptyForum) << keys << u"ファイルがありません"_s;
        }
    }
    void everyTextPaneCopiesAllItShows() {
        QFETCH(int, view);
        QFETCH(bool, keys);
        QFETCH(QString, copied);
        Browser b;
        startWithEveryView(b);
        showView(b, View(view));
        auto *tabs = b.w->findChild<QTabWidget *>(u"PageControl1"_s);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        auto *pane = b.w->findChild<TextPane *>(u"Label2"_s);
        QTRY_VERIFY(pane->isVisible());
        QApplication::clipboard()->clear();
        if (keys) {
            QTest::mouseClick(pane, Qt::LeftButton);
            QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
        } else {
            chooseFromMenu(pane, QPoint(5, 5), u"SelectAllItem"_s);
            chooseFromMenu(pane, QPoint(5, 5), u"CopyItem"_s);
        }
        QCOMPARE(QApplication::clipboard()->text(), copied);
    }

    // Every list's pop-up from the keyboard, at the row selected in it, for
    // keyboards with a Menu key and for those without.
    void keysOpenEachListsPopupAtItsRow_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("menu");
        const std::pair<const char *, QKeySequence> keys[] = {
            {"Menu", QKeySequence(Qt::Key_Menu)}, {"Shift+F10", QKeySequence(u"Shift+F10"_s)}};
        const char *menus[] = {"pop1", "pop2", "pop3", "pop5", "pop6"};
        for (const auto &[name, key] : keys) {
            for (int n = 1; n <= 5; ++n)
                QTest::addRow("ListBox%d %s", n, name)
                    << n << key << QString::fromLatin1(menus[n - 1]);
        }
    }
    void keysOpenEachListsPopupAtItsRow() {
        QFETCH(int, list);
        QFETCH(QKeySequence, key);
        QFETCH(QString, menu);
        Browser b;
        b.writeData(u"F1/mes.txt"_s, "01  a\r\n02  b\r\n");
        b.writeData(u"F1/dl.txt"_s, "0001 a\r\n0002 b\r\n");
        b.writeData(u"patiolist.txt"_s, "P1\r\nID1\r\npw\r\nP2\r\nID2\r\npw\r\n");
        b.startWith(name40("aaa") + "\r\nF1/\r\n" + name40("bbb") + "\r\nF2/\r\n");
        b.click(2, 0);
        b.click(list, 1);
        QTRY_VERIFY(b.list(list)->hasFocus());
        const QModelIndex row = b.list(list)->model()->index(1, 0);
        const QPoint at =
            b.list(list)->viewport()->mapToGlobal(b.list(list)->visualRect(row).center());
        const OpenedMenu opened = popupBy([&] { QTest::keySequence(b.list(list), key); });
        QCOMPARE(opened.name, menu);
        QVERIFY(opened.allEnabled());
        QVERIFY2(opened.openedAt(at), qPrintable(u"%1,%2 for %3,%4"_s.arg(opened.at.left())
                                                     .arg(opened.at.top())
                                                     .arg(at.x())
                                                     .arg(at.y())));
    }

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
        // Records are places in the file's bytes: where the bytes end, where
        // 0x1A ends them, and which line end comes before a code.
        QTest::newRow("a last code without its line end")
            << QByteArray("zzz\r\nZ1\r\naaa\r\nA9") << QStringList{u"aaa"_s, u"zzz"_s}
            << QByteArrayList{"A9", "Z1"};
        QTest::newRow("0x1A ends the file inside a code")
            << QByteArray("bbb\r\nB1\r\naaa\r\nA\x1A"
                          "1\r\nccc\r\nC\r\n")
            << QStringList{u"aaa"_s, u"bbb"_s} << QByteArrayList{"A", "B1"};
        QTest::newRow("0x1A in a line longer than a word")
            << QByteArray("aaa\r\nA\x1A"
                          "2345678901\r\nbbb\r\nB\r\n")
            << QStringList{u"aaa"_s} << QByteArrayList{"A"};
        // 餌 (0x89 0x61) before 隠 (0x89 0x42) only if the 'a' that is its
        // second byte were taken for a letter.
        QTest::newRow("second bytes keep their case")
            << QByteArray("\x89\x61\r\nE\r\n\x89\x42\r\nK\r\n") << QStringList{u"隠"_s, u"餌"_s}
            << QByteArrayList{"K", "E"};
        QTest::newRow("0x1A where a record would start")
            << QByteArray("bbb\r\nB1\r\n\x1A"
                          "aaa\r\nA\r\n")
            << QStringList{u"bbb"_s} << QByteArrayList{"B1"};
        QTest::newRow("CR alone ends a line, a bare LF stays")
            << QByteArray("b\rB\nb\r\na\r\n\nA\r") << QStringList{u"a"_s, u"b"_s}
            << QByteArrayList{"\nA", "B\nb"};
        QTest::newRow("blank names: by code, equal ones in file order")
            << QByteArray("\r\nx\r\n\r\nB\r\n\r\nX\r\n\r\n\r\n")
            << QStringList{QString(), QString(), QString(), QString()}
            << QByteArrayList{"", "B", "x", "X"};
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

    // Enough forums that their sort keys take a block of megabytes, the
    // kind the reader asks for in large pages: every record lands in order.
    void aLargeListSortsWhole() {
        const int count = 60000;
        QByteArray file;
        for (int i = count - 1; i >= 0; --i)
            file += name40("f" + QByteArray::number(i).rightJustified(5, '0')) + "\r\nC" +
                    QByteArray::number(i) + "\r\n";
        Browser b;
        b.startWith(file);
        const ForumList &forums = b.w->forumList();
        QCOMPARE(forums.size(), count);
        for (int i = 0; i < count; i += 997)
            QCOMPARE(forums.code(i), "C" + QByteArray::number(i));
        QCOMPARE(forums.code(count - 1), "C" + QByteArray::number(count - 1));
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
        b.reloadThroughSettings();
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
        b.click(1, 1); // "料金情報"
        QCOMPARE(tabs->tabText(2), u"料金情報"_s);
        QVERIFY(!tabs->isTabVisible(0) && !tabs->isTabVisible(1) && tabs->isTabVisible(2));
        b.click(1, 0); // "お知らせ"
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
        QCOMPARE(b.menuOf(2).name, u"pop2"_s);
        QVERIFY(b.menuOf(2).noneEnabled());
        b.click(2, 0);
        QVERIFY(b.menuOf(2).allEnabled());
        QCOMPARE(b.menuOf(4).name, u"pop5"_s);
        QVERIFY(b.menuOf(4).noneEnabled());
        QCOMPARE(b.menuOf(5).name, u"pop6"_s);
        QVERIFY(b.menuOf(5).noneEnabled());
        b.click(4, 2);
        b.click(5, 3);
        QVERIFY(b.menuOf(4).allEnabled());
        QVERIFY(b.menuOf(5).allEnabled());
        QCOMPARE(b.list(4)->selectedRow(), 2); // opening a menu changed nothing
        b.reloadThroughSettings();
        QVERIFY(b.menuOf(2).noneEnabled());
        QVERIFY(b.menuOf(4).noneEnabled());
        QVERIFY(b.menuOf(5).noneEnabled());
    }

    // However the user changes the forum, its rooms follow, and so does the
    // next command built from them.
    void everyWayOfChangingTheForumShowsIt_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("forum");
        QTest::newRow("drag from one to another") << u"drag 0 1"_s << 1;
        QTest::newRow("release outside") << u"outside 1"_s << 1;
        QTest::newRow("arrow down") << u"key Down"_s << 1;
        QTest::newRow("end") << u"key End"_s << 2;
        QTest::newRow("page down") << u"key PageDown"_s << 2;
        QTest::newRow("home from the last") << u"click 2 key Home"_s << 0;
        QTest::newRow("arrow up") << u"click 2 key Up"_s << 1;
        QTest::newRow("typing a letter") << u"type g"_s << 2;
        QTest::newRow("a click below the rows") << u"below -"_s << 0;
        QTest::newRow("space after a deselecting click") << u"click 1 ctrlclick 1 key Space"_s << 1;
    }
    void everyWayOfChangingTheForumShowsIt() {
        QFETCH(QString, how);
        QFETCH(int, forum);
        Browser b;
        b.startWith("alpha\r\nA/\r\nbeta\r\nB/\r\ngamma\r\nG/\r\n");
        const QByteArray codes[] = {"A/", "B/", "G/"};
        for (int i = 0; i < 3; ++i)
            b.writeData(QString::fromLatin1(codes[i] + "mes.txt"),
                        "0" + QByteArray::number(i + 1) + " room of " + codes[i] + "\r\n");
        auto *forums = b.list(2);
        b.click(2, 0);
        const QStringList steps = how.split(u' ');
        for (int i = 0; i < steps.size(); i += 2) {
            const QString &step = steps[i];
            const QString &arg = steps[i + 1];
            if (step == u"drag"_s) {
                dragRows(forums, arg.toInt(), steps[i + 2].toInt());
                ++i;
            } else if (step == u"outside"_s) {
                pressThenReleaseOutside(forums, arg.toInt());
            } else if (step == u"click"_s || step == u"ctrlclick"_s) {
                clickRow(forums, arg.toInt(),
                         step == u"click"_s ? Qt::NoModifier : Qt::ControlModifier);
            } else if (step == u"below"_s) {
                QTest::mouseClick(forums->viewport(), Qt::LeftButton, {}, belowRows(forums));
            } else if (step == u"type"_s) {
                QTest::keyClicks(forums, arg);
            } else {
                const QMap<QString, Qt::Key> keys{
                    {u"Down"_s, Qt::Key_Down},         {u"Up"_s, Qt::Key_Up},
                    {u"End"_s, Qt::Key_End},           {u"Home"_s, Qt::Key_Home},
                    {u"PageDown"_s, Qt::Key_PageDown}, {u"Space"_s, Qt::Key_Space}};
                QVERIFY(keys.contains(arg));
                QTest::keyClick(forums, keys[arg]);
            }
        }
        QCOMPARE(forums->selectedRow(), forum);
        QCOMPARE(b.rows(4),
                 QStringList{u"0%1 room of "_s.arg(forum + 1) + QString::fromLatin1(codes[forum])});
        b.click(4, 0);
        b.prompts.answer({u"5"_s});
        b.menuOf(4, u"N8"_s); // "未読位置変更"
        QCOMPARE(b.w->patrolList()->size(), 1);
        QCOMPARE(b.w->patrolList()->entry(0).param1, codes[forum]);
        QCOMPARE(b.w->patrolList()->entry(0).param2, QByteArray::number(forum + 1));
    }

    void rightClickDoesNotSelect() {
        Browser b;
        b.startWith("a\r\nA/\r\nb\r\nB/\r\n");
        b.writeData(u"B/mes.txt"_s, "01 b's room\r\n");
        auto *forums = b.list(2);
        b.click(2, 0);
        QCOMPARE(rightClick(forums, 1).name, u"pop2"_s);
        QCOMPARE(forums->selectedRow(), 0);
        QCOMPARE(b.rows(4).size(), 20); // a's placeholders
    }

    void commandsAppendAfterADataClickOrInsertBeforeTheSelection() {
        Browser b;
        b.startWith("forum\r\nFC\r\n");
        auto *lsv1 = b.w->findChild<QTreeView *>(u"lsv1"_s);
        b.click(2, 0);
        b.click(4, 2); // room 03
        for (int i = 0; i < 2; ++i)
            b.menuOf(2, u"N19"_s);
        clickRow(lsv1, 0);
        b.prompts.answer({u"/log/a.txt"_s});
        b.menuOf(4, u"N6"_s); // inserted before the selected row
        QCOMPARE(b.w->patrolList()->entry(0).command, QByteArray("mesread"));
        QCOMPARE(b.w->patrolList()->entry(0).param2, QByteArray("3"));
        b.click(5, 0); // a click in a data list deselects: appended
        QVERIFY(selectedRowsOf(lsv1).isEmpty());
        b.menuOf(2, u"N20"_s);
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
        b.menuOf(5, u"N10"_s);
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
        QTest::newRow("Esc after a row") << u"select+esc"_s << -1;
        QTest::newRow("Enter on a row") << u"select+enter"_s << 1;
        QTest::newRow("Enter without a row") << u"enter"_s << -1;
    }
    void chooserClosings() {
        QFETCH(QString, how);
        QFETCH(int, chosen);
        ChooserDialog chooser(u"Kirano  Ver." KIRANO_VERSION ""_s);
        whenModal([&chooser, how](QWidget *) {
            auto *list = chooser.findChild<DataListView *>(u"ListBox1"_s);
            QCOMPARE(chooser.findChild<QLabel *>(u"Panel1"_s)->text(), u"    status"_s);
            QCOMPARE(list->selectedRow(), -1);
            if (how.startsWith(u"select"_s))
                clickRow(list, 1);
            if (how.endsWith(u"decide"_s))
                QTest::mouseClick(chooser.findChild<QPushButton *>(u"Button1"_s), Qt::LeftButton);
            else if (how.endsWith(u"cancel"_s))
                QTest::mouseClick(chooser.findChild<QPushButton *>(u"Button2"_s), Qt::LeftButton);
            else if (how.endsWith(u"close"_s))
                chooser.close(); // what the close box does
            else if (how.endsWith(u"esc"_s) || how.endsWith(u"enter"_s)) {
                // A key goes to the focus, which a real display gives once
                // the dialog is active.
                QTRY_VERIFY(chooser.isActiveWindow() && chooser.focusWidget());
                QTest::keyClick(chooser.focusWidget(),
                                how.endsWith(u"esc"_s) ? Qt::Key_Escape : Qt::Key_Return);
            } else
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, 2));
            QVERIFY2(!chooser.isVisible(), "the dialog stayed open");
        });
        QCOMPARE(chooser.choose({"a", "b", "c"}, "    status"), chosen);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(chooser.size(), QSize(606, 519));
    }
};

KIRANO_GUI_TEST_MAIN(TestForumViews)
#include "test_browser_forums.moc"

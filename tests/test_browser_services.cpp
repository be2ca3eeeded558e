#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"

#include <QAction>
#include <QDialog>
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

struct Services : Fixture {
    MainWindow *w = nullptr;

    void writeData(const QString &name, const QByteArray &bytes) {
        writeBytes(data() + name, bytes);
    }
    void startWith(std::initializer_list<std::pair<QString, QByteArray>> files) {
        writeSettings("1\r\n1\r\n1\r\n", true);
        for (const auto &[name, bytes] : files)
            writeData(name, bytes);
        w = &start();
    }
    DataListView *list(int n) { return w->findChild<DataListView *>(u"ListBox%1"_s.arg(n)); }
    QStringList rows(int n) { return rowsOf(list(n)); }
    void clickRow(int n, int row) { testing::clickRow(list(n), row); }
    QTabWidget *tabs() { return w->findChild<QTabWidget *>(u"PageControl1"_s); }
    QString panel(const char *name) {
        return w->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    QString text() { return w->findChild<TextPane *>(u"Label2"_s)->text(); }
    // The pop-up menu a right-click on list n opens, on a row or below every
    // row with -1 (a right-click leaves the selection as it is), as "pop7 on"
    // when every item is enabled and "pop7 off" when none is.
    QString menu(int n, int row = -1) {
        const OpenedMenu opened = rightClick(list(n), row);
        const char *state = opened.allEnabled() ? " on" : opened.noneEnabled() ? " off" : " mixed";
        return opened.name + QString::fromLatin1(state);
    }
    // Right-click on list n, then the item; checks that it was there to click.
    void choose(int n, int row, const char *item, const char *menuName) {
        const OpenedMenu opened = chooseFromMenu(list(n), row, QString::fromLatin1(item));
        QCOMPARE(opened.name, QString::fromLatin1(menuName));
        QVERIFY2(opened.enabled.value(QString::fromLatin1(item)), item);
    }
};

} // namespace

class TestServiceViews : public QObject {
    Q_OBJECT
  private slots:
    void bbsCategoriesComeOnce() {
        Services s;
        s.startWith({});
        s.clickRow(1, 2);
        s.clickRow(1, 0);
        s.clickRow(1, 2);
        const QStringList rows = s.rows(4);
        QCOMPARE(rows.size(), 14);
        QCOMPARE(rows.first(), u"仲間募集"_s);
        QCOMPARE(rows[5], u"売ります-パソコン (ＮＥＣ)"_s);
        QCOMPARE(rows.last(), u"ふるさとボード"_s);
        QCOMPARE(s.tabs()->tabText(0), u"掲示板"_s);
        QCOMPARE(s.panel("Panel3"), kPlaceholder);
    }

    void noticesWithADateLine() {
        Services s;
        s.startWith({{u"new.txt"_s, "001 * first\r\n002 * second\r\n" +
                                        sjis(u"データ取得日 98/12/01") + "\r\n"}});
        s.clickRow(1, 0);
        QCOMPARE(s.rows(4), (QStringList{u"001 * first"_s, u"002 * second"_s}));
        QCOMPARE(s.panel("Panel3"), u"     データ取得日 98/12/01"_s);
        QCOMPARE(s.tabs()->tabText(0), u"お知らせ"_s);
        QVERIFY(s.tabs()->isTabVisible(0) && !s.tabs()->isTabVisible(1) &&
                !s.tabs()->isTabVisible(2));
    }

    void missingServiceFiles_data() {
        QTest::addColumn<int>("service");
        QTest::addColumn<QString>("tab");
        QTest::newRow("fees") << 1 << u"料金情報"_s;
        QTest::newRow("warnings") << 3 << u"警告"_s;
    }
    void missingServiceFiles() {
        QFETCH(int, service);
        QFETCH(QString, tab);
        Services s;
        s.startWith({});
        s.clickRow(1, service);
        QVERIFY(!s.tabs()->isTabVisible(0) && !s.tabs()->isTabVisible(1));
        QVERIFY(s.tabs()->isTabVisible(2));
        QCOMPARE(s.tabs()->tabText(2), tab);
        QCOMPARE(s.text(), u"ファイルがありません\n"_s);
        QCOMPARE(s.panel("Panel5"), kPlaceholder);
    }

    // The row that stands for a missing "new.txt" is no notice: "読み込み"
    // stays off for it, and the notices chosen before stay chosen.
    void missingNoticesGiveOneRowThatIsNoNotice() {
        Services s;
        s.startWith({{u"Newtitle.txt"_s, "chosen\r\n"}});
        s.clickRow(1, 0);
        QCOMPARE(s.rows(4), QStringList{u"ファイルがありません"_s});
        QCOMPARE(s.panel("Panel3"), kPlaceholder);
        s.clickRow(4, 0);
        QCOMPARE(s.list(4)->selectedCount(), 1);
        s.prompts.answer({u"/log/notices.txt"_s});
        const OpenedMenu opened = chooseFromMenu(s.list(4), 0, u"N11"_s);
        QCOMPARE(opened.name, u"pop7"_s);
        QVERIFY(!opened.enabled.value(u"N11"_s));
        QCOMPARE(readBytes(s.data() + u"Newtitle.txt"_s), QByteArray("chosen\r\n"));
        QCOMPARE(s.w->patrolList()->size(), 0);
    }

    void feesAndWarningsAsText() {
        Services s;
        s.startWith({{u"bill.txt"_s, sjis(u"今月 1000円\r\nデータ取得 98/12/01\r\n")},
                     {u"警告.txt"_s, sjis(u"警告その一\r\n警告その二")}});
        s.clickRow(1, 1);
        QCOMPARE(s.text(), u"今月 1000円\n"_s);
        QCOMPARE(s.panel("Panel5"), u"     データ取得 98/12/01"_s);
        s.clickRow(1, 3);
        QCOMPARE(s.text(), u"警告その一\n警告その二\n"_s);
        QCOMPARE(s.panel("Panel5"), kPlaceholder);
    }

    void noticeClicksToggleRows() {
        Services s;
        s.startWith({{u"new.txt"_s, "001 * a\r\n002 * b\r\n003 * c\r\n"}});
        s.clickRow(1, 0);
        QCOMPARE(s.menu(4), u"pop7 off"_s);
        s.clickRow(4, 0);
        s.clickRow(4, 2);
        QCOMPARE(s.list(4)->selectedCount(), 2);
        QCOMPARE(s.menu(4), u"pop7 on"_s);
        s.clickRow(4, 0);
        QCOMPARE(s.list(4)->selectedCount(), 1);
        QCOMPARE(s.menu(4), u"pop7 on"_s);
        s.clickRow(4, 2);
        QCOMPARE(s.list(4)->selectedCount(), 0);
        QCOMPARE(s.menu(4), u"pop7 off"_s);
    }

    void noticeSelectionGoesToNewtitle() {
        Services s;
        s.startWith({{u"new.txt"_s, "001 * a\r\n002 * " + sjis(u"二番目") + "\r\n003 * c\r\n"}});
        s.clickRow(1, 0);
        s.clickRow(4, 2);
        s.clickRow(4, 1);
        s.prompts.answer({u"/log/notices.txt"_s});
        s.choose(4, -1, "N11", "pop7");
        QCOMPARE(readBytes(s.data() + u"Newtitle.txt"_s), "" + sjis(u"二番目") + "\r\nc\r\n");
        QCOMPARE(s.w->patrolList()->entry(0),
                 (PatrolEntry{"new", "/log/notices.txt", "0", "0", "0", sjis(u"日月火水木金土")}));
    }

    void bbsPostTakesTheRowsNumbers() {
        Services s;
        s.startWith({{u"post.txt"_s, "x"}});
        s.clickRow(1, 2);
        QCOMPARE(s.menu(4), u"pop8 off"_s);
        s.clickRow(4, 10);
        QCOMPARE(s.menu(4), u"pop8 on"_s);
        s.prompts.answer({s.data() + u"post.txt"_s});
        s.choose(4, -1, "N29", "pop8");
        const PatrolEntry &e = s.w->patrolList()->entry(0);
        QCOMPARE(e.command, QByteArray("bbsup"));
        QCOMPARE(e.param1, QByteArray("6"));
        QCOMPARE(e.param2, QByteArray("0"));
    }

    void serviceClickClearsTheForumAndPatio() {
        Services s;
        s.startWith({{u"forumlist.txt"_s, "forum\r\nF/\r\n"},
                     {u"patiolist.txt"_s, "patio\r\nID\r\nPW\r\n"}});
        s.clickRow(2, 0);
        QCOMPARE(s.menu(2), u"pop2 on"_s);
        s.clickRow(3, 0); // a patio leaves the forum alone
        QCOMPARE(s.list(2)->selectedRow(), 0);
        QCOMPARE(s.menu(3), u"pop3 on"_s);
        s.clickRow(1, 1);
        QCOMPARE(s.menu(2), u"pop2 off"_s);
        QCOMPARE(s.menu(3), u"pop3 off"_s);
        QCOMPARE(s.menu(1), u"pop1 on"_s);
        s.clickRow(2, 0); // a forum clears the service and the patio
        QCOMPARE(s.list(1)->selectedRow(), -1);
    }

    void pop1IsAlwaysEnabled() {
        Services s;
        s.startWith({});
        QCOMPARE(s.menu(1), u"pop1 on"_s);
        s.choose(1, 0, "N15", "pop1");
        s.choose(1, 0, "N18", "pop1");
        s.choose(1, 0, "N12", "pop1");
        QByteArrayList commands;
        for (int r = 0; r < s.w->patrolList()->size(); ++r)
            commands << s.w->patrolList()->entry(r).command;
        QCOMPARE(commands, (QByteArrayList{"bill", "myforum", "newtitle"}));
    }

    void patiosInFileOrderWithTheirOwnIds() {
        Services s;
        s.startWith({{u"patiolist.txt"_s, "same\r\nID1\r\nPW1\r\nsame\r\nID2\r\nPW2\r\nlast\r\n"}});
        QCOMPARE(s.rows(3), (QStringList{u"same"_s, u"same"_s, u"last"_s}));
        QCOMPARE(s.w->patioListPath(), text::bytesOf(s.data()) + "patiolist.txt");
        QCOMPARE(s.w->patioList()[2].id, QByteArray());
        QCOMPARE(s.w->patioList()[2].password, QByteArray());
        s.clickRow(3, 1);
        s.prompts.answer({u"/log/p.txt"_s, u"12"_s});
        s.choose(3, 1, "N21", "pop3");
        s.choose(3, 1, "N23", "pop3");
        QCOMPARE(s.w->patrolList()->entry(0), (PatrolEntry{"patioread", "ID2", "PW2", "/log/p.txt",
                                                           "0", sjis(u"日月火水木金土")}));
        QCOMPARE(s.w->patrolList()->entry(1).param3, QByteArray("12"));
        // The password is never shown.
        auto *lsv1 = s.w->findChild<QTreeView *>(u"lsv1"_s);
        for (int c = 0; c < 4; ++c)
            QVERIFY(!lsv1->model()->index(0, c).data().toString().contains(u"PW2"_s));
    }

    void patioEditorClosingReloadsThePatios() {
        Services s;
        s.startWith({{u"patiolist.txt"_s, "a\r\nA\r\nPA\r\n"}});
        s.clickRow(3, 0);
        writeBytes(s.data() + u"patiolist.txt"_s, "b\r\nB\r\nPB\r\nc\r\nC\r\nPC\r\n");
        whenModal([](QWidget *editor) {
            QCOMPARE(editor->objectName(), u"TForm3"_s);
            QTest::mouseClick(editor->findChild<QPushButton *>(u"Button6"_s), Qt::LeftButton);
        });
        trigger(s.w, "N4");
        QCOMPARE(s.rows(3), (QStringList{u"b"_s, u"c"_s}));
        QCOMPARE(s.list(3)->selectedRow(), -1);
    }

    void noSettingsFileLeavesThePatioPathEmpty() {
        Fixture f;
        MainWindow &w = f.start();
        QVERIFY(w.patioListPath().isEmpty());
        QVERIFY(w.patioList().isEmpty());
    }
};

KIRANO_GUI_TEST_MAIN(TestServiceViews)
#include "test_browser_services.moc"

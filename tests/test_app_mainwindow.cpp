#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "builders/commandbuilders.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "store/bytelistmodel.h"
#include "testmain.h"
#include "version.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QTreeView>
#include <QtTest>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

QStringList actionTexts(const QList<QAction *> &actions) {
    QStringList texts;
    for (QAction *a : actions)
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

class Thrower : public QObject {
  public:
    bool event(QEvent *e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("write failed");
        return QObject::event(e);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void missingSettingsFileSaysSoOnce();
    void settingsFileGivesTheFolders_data();
    void settingsFileGivesTheFolders();
    void initialControls();
    void menusInOrder_data();
    void menusInOrder();
    void everyCommandHasItsMenuItems();
    void popupItemsRunTheirOwnCommands_data();
    void popupItemsRunTheirOwnCommands();
    void toolBarSharesTheMenuActions();
    void dialogsAreHiddenWithTheCaption();
    void resizeRules();
    void rowsAndCellsShowTheirTextWhole();
    void generalErrorReportShowsTheTextAndGoesOn();
    void topPageIsReachableSelectableAndReadable();
    void picture();
    void noScreenSaysSoInOneLine_data();
    void noScreenSaysSoInOneLine();
    void helpAndVersionNeedNoScreen_data();
    void helpAndVersionNeedNoScreen();
};

void TestMainWindow::missingSettingsFileSaysSoOnce() {
    Fixture f;
    MainWindow w(f.folder(), f.prompts);
    QCOMPARE(f.prompts.asked, QStringList{QStringLiteral(u"message|環境設定.txtがありません")});
    QCOMPARE(w.windowTitle(), QStringLiteral("Kirano  Ver." KIRANO_VERSION));
    // The desktop's icon, drawn sharp from the smallest size to the largest.
    const QList<QSize> iconSizes = w.windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(256, 256)));
    QCOMPARE(w.programFolder(), text::bytesOf(f.folder()));
    QCOMPARE(w.folders(), SettingsFolders::allSetTo(text::bytesOf(f.folder())));
    QVERIFY(!w.isVisible());
}

void TestMainWindow::settingsFileGivesTheFolders_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("logFolder");
    QTest::addColumn<QByteArray>("dataFolder");
    QTest::addColumn<QByteArray>("binaryDownloadFolder");
    const QByteArray jp = sjis(u"/データ 保存/");
    QTest::newRow("three lines: every folder empty")
        << QByteArray("1\r\n1\r\n1\r\n") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("five lines: the later folders empty")
        << QByteArray("1\r\n0\r\n1\r\n/log/\r\n") + jp + "\r\n"
        << QByteArray("/log/") << jp << QByteArray();
    QTest::newRow("eleven lines and more")
        << QByteArray(
               "1\r\n1\r\n1\r\n/a/\r\n/b/\r\n/c/\r\n/d/\r\n/e/\r\n/f/\r\n/g/\r\n/h/\r\n/x/\r\n")
        << QByteArray("/a/") << QByteArray("/b/") << QByteArray("/h/");
    QTest::newRow("LF only: one line")
        << QByteArray("1\n1\n1\n/a/\n/b/\n") << QByteArray() << QByteArray() << QByteArray();
}

void TestMainWindow::settingsFileGivesTheFolders() {
    QFETCH(QByteArray, content);
    Fixture f;
    writeBytes(f.settingsPath(), content);
    MainWindow &w = f.start();
    QVERIFY(f.prompts.asked.isEmpty());
    QTEST(w.folders().logFolder(), "logFolder");
    QTEST(w.folders().dataFolder(), "dataFolder");
    QTEST(w.folders().binaryDownloadFolder(), "binaryDownloadFolder");
}

void TestMainWindow::initialControls() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();

    auto *services = w.findChild<DataListView *>(QStringLiteral("ListBox1"));
    QVERIFY(services);
    QCOMPARE(rowsOf(services),
             (QStringList{QStringLiteral(u"お知らせ"), QStringLiteral(u"料金情報"),
                          QStringLiteral(u"掲示板"), QStringLiteral(u"警告")}));
    for (const char *name : {"ListBox2", "ListBox3", "ListBox4", "ListBox5"}) {
        auto *list = w.findChild<DataListView *>(QString::fromLatin1(name));
        QVERIFY2(list && list->model()->rowCount() == 0, name);
    }

    auto *everyDay = w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
    QVERIFY(everyDay->isChecked());
    QCOMPARE(everyDay->text(), QStringLiteral(u"毎日"));
    QCOMPARE(w.findChild<QGroupBox *>(QStringLiteral("GroupBox1"))->title(),
             QStringLiteral(u"曜日選択"));
    const QString days = QStringLiteral(u"日月火水木金土");
    for (int i = 0; i < 7; ++i) {
        auto *box = w.findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(i + 2));
        QVERIFY(box);
        QCOMPARE(box->text(), days.mid(i, 1));
        QVERIFY(!box->isChecked());
        QVERIFY(!box->isEnabled());
    }

    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral(u"[ファイル名：]"));
    QCOMPARE(w.findChild<TextPane *>(QStringLiteral("Label2"))->text(), QString());
    for (const char *name : {"Panel3", "Panel4", "Panel5"})
        QCOMPARE(w.findChild<QLabel *>(QString::fromLatin1(name))->text(),
                 QStringLiteral(u"     データ取得日-------------"));

    auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    QCOMPARE(tabs->count(), 3);
    const QStringList captions{QStringLiteral(u"会議室"), QStringLiteral(u"ライブラリィ"),
                               QStringLiteral(u"トップ")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(tabs->tabText(i), captions[i]);
        QVERIFY(tabs->isTabVisible(i));
        QCOMPARE(tabs->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
    }
    QCOMPARE(tabs->currentIndex(), 0);

    auto *lsv1 = w.findChild<QTreeView *>(QStringLiteral("lsv1"));
    const QStringList headers{QStringLiteral(u"第一項目"), QStringLiteral(u"第二項目"),
                              QStringLiteral(u"第三項目"), QStringLiteral(u"曜日")};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(lsv1->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    QCOMPARE(lsv1->columnWidth(0), 130);
    QCOMPARE(lsv1->columnWidth(1), 180);
    QCOMPARE(lsv1->columnWidth(2), 100);
    QCOMPARE(lsv1->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(lsv1->editTriggers(), QAbstractItemView::NoEditTriggers);

    for (const char *name : {"Splitter1", "Splitter2", "Splitter3", "ScrollBox1", "Panel1",
                             "Panel2", "Panel6", "ToolBar1", "MainMenu1"})
        QVERIFY2(w.findChild<QWidget *>(QString::fromLatin1(name)), name);
}

void TestMainWindow::menusInOrder_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("texts");
    auto row = [](const char *menu, QStringList names, QStringList texts) {
        QTest::newRow(menu) << QString::fromLatin1(menu) << names << texts;
    };
    // The required items first, in their order; Kirano's own after them,
    // behind a separator.
    row("File1",
        {"New1", "Open1", "Save1", "SaveAs1", "", "Delete1", "", "Exit1", "", "RecentFiles"},
        {u"クリア"_s, u"開く"_s, u"上書き保存"_s, u"名前を付けて保存"_s, "-", u"削除"_s, "-",
         u"終了"_s, "-", u"最近使ったファイル"_s});
    row("SettingsMenu", {"N4", "N5"}, {u"パティオ編集"_s, u"環境設定"_s});
    row("VersionMenu", {"VersionItem"}, {"Ver " KIRANO_VERSION});
    row("pop1", {"N15", "N16", "N17", "N18", "N12"},
        {u"料金情報"_s, u"テキストメール送信"_s, u"バイナリメール送信"_s, u"マイフォーラム"_s,
         u"お知らせタイトル"_s});
    row("pop2", {"N19", "N20"}, {u"会議室タイトル（大）"_s, u"ＤＬタイトル（大）"_s});
    row("pop3", {"N21", "N22", "N23"}, {u"読み込み"_s, u"書き込み"_s, u"既読位置変更"_s});
    row("pop4",
        {"N24", "N25", "Delete2", "N30", "", "EditEntry", "CutEntry", "CopyEntry", "PasteEntries",
         "DuplicateEntry"},
        {u"上へ"_s, u"下へ"_s, u"削除"_s, u"曜日変更"_s, "-", u"編集..."_s, u"切り取り"_s,
         u"コピー"_s, u"貼り付け"_s, u"複製"_s});
    // Kirano's own menu, after the required ones.
    row("EditMenu",
        {"Undo", "Redo", "", "EditEntry", "", "CutEntry", "CopyEntry", "PasteEntries",
         "DuplicateEntry", "", "FindInList", "", "PreviewMenu"},
        {u"元に戻す"_s, u"やり直し"_s, "-", u"編集..."_s, "-", u"切り取り"_s, u"コピー"_s,
         u"貼り付け"_s, u"複製"_s, "-", u"検索"_s, "-", u"実行日の表示"_s});
    row("PreviewMenu",
        {"PreviewDay0", "PreviewDay1", "PreviewDay2", "PreviewDay3", "PreviewDay4", "PreviewDay5",
         "PreviewDay6", "PreviewDay7", "", "NextPreviewDay", "PreviousPreviewDay"},
        {u"すべて"_s, u"日曜日"_s, u"月曜日"_s, u"火曜日"_s, u"水曜日"_s, u"木曜日"_s, u"金曜日"_s,
         u"土曜日"_s, "-", u"次の曜日"_s, u"前の曜日"_s});
    row("pop5", {"N6", "N7", "N8"}, {u"読み込み"_s, u"書き込み"_s, u"未読位置変更"_s});
    row("pop6", {"N9", "N10", "N26"},
        {u"ＤＬタイトル（小）"_s, u"ＤＬダウンロード（リスト）"_s, u"ＤＬダウンロード"_s});
    row("pop7", {"N11"}, {u"読み込み"_s});
    row("pop8", {"N29"}, {u"書き込み"_s});
}

void TestMainWindow::menusInOrder() {
    QFETCH(QString, menu);
    QFETCH(QStringList, names);
    QFETCH(QStringList, texts);
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    auto *m = w.findChild<QMenu *>(menu);
    QVERIFY(m);
    QCOMPARE(actionTexts(m->actions()), texts);
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(m->actions()[i]->objectName(), names[i]);
}

// Every command of the vocabulary has its menu items in the pop-ups, each
// with a builder: the vocabulary, the builders and the menus name the same
// commands.
void TestMainWindow::everyCommandHasItsMenuItems() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    QSet<QString> inPopups;
    for (const QMenu *menu : w.findChildren<QMenu *>()) {
        if (menu->objectName().startsWith(u"pop"_s)) {
            for (const QAction *action : menu->actions())
                inPopups.insert(action->objectName());
        }
    }
    for (const CommandInfo &info : vocabulary::kCommands) {
        for (int item = 0; item < int(info.menuItems.size()); ++item) {
            const char *name = info.menuItems[item];
            QCOMPARE(builderOf(info.command, item) != nullptr, name != nullptr);
            if (name)
                QVERIFY2(inPopups.contains(QString::fromLatin1(name)), name);
        }
    }
}

// Every pop-up item, reached by a right-click on the list that carries it,
// runs its own command: the first question asked and the patrol list left
// behind tell the commands apart. "file" answers with a file that exists.
void TestMainWindow::popupItemsRunTheirOwnCommands_data() {
    QTest::addColumn<QList<QPoint>>("clicks"); // {list, row} first; list 0 is lsv1
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("row"); // right-clicked; -1 below every row
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("firstQuestion");
    QTest::addColumn<QByteArrayList>("commands");
    const QList<QPoint> forum{{2, 0}}, patio{{3, 0}}, room{{2, 0}, {4, 0}}, library{{2, 0}, {5, 0}},
        notice{{1, 0}, {4, 0}}, bbs{{1, 2}, {4, 0}};
    auto row = [](const char *item, const QList<QPoint> &clicks, int list, int at, const char *menu,
                  const QStringList &answers, const QString &first,
                  const QByteArrayList &commands) {
        QTest::newRow(item) << clicks << list << at << QString::fromLatin1(menu)
                            << QString::fromLatin1(item) << answers << first << commands;
    };
    row("N15", {}, 1, -1, "pop1", {}, {}, {"bill"});
    row("N16", {}, 1, -1, "pop1", {"file"}, u"open|テキストメール用ファイル"_s, {"mailuptxt"});
    row("N17", {}, 1, -1, "pop1", {"file", "s", "r"}, u"open|バイナリメール用ファイル"_s,
        {"mailupbin"});
    row("N18", {}, 1, -1, "pop1", {}, {}, {"myforum"});
    row("N12", {}, 1, -1, "pop1", {}, {}, {"newtitle"});
    row("N19", forum, 2, 0, "pop2", {}, {}, {"mestitlea"});
    row("N20", forum, 2, 0, "pop2", {}, {}, {"dltitlea"});
    row("N21", patio, 3, 0, "pop3", {"file"}, u"open|ログファイル"_s, {"patioread"});
    row("N22", patio, 3, 0, "pop3", {"file"}, u"open|パティオ発言ファイル"_s, {"patioup"});
    row("N23", patio, 3, 0, "pop3", {"1"}, u"input|パティオ"_s, {"patiorc"});
    row("N6", room, 4, 0, "pop5", {"file"}, u"open|ログファイル"_s, {"mesread"});
    row("N7", room, 4, 0, "pop5", {"file"}, u"open|発言ファイル"_s, {"mesup"});
    row("N8", room, 4, 0, "pop5", {"1"}, u"input|会議室"_s, {"mesrc"});
    row("N9", library, 5, 0, "pop6", {"980101"}, u"input|ライブラリィ"_s, {"dltitleb"});
    row("N10", library, 5, 0, "pop6", {"1", "a"}, u"message|リストがありません"_s, {"dldown"});
    row("N26", library, 5, 0, "pop6", {"1", "a"}, u"input|ライブラリィ"_s, {"dldown"});
    row("N11", notice, 4, 0, "pop7", {"file"}, u"open|ログファイル"_s, {"new"});
    row("N29", bbs, 4, 0, "pop8", {"file"}, u"open|掲示板アップ用ファイル"_s, {"bbsup"});
    // On lsv1 holding "bill" and "myforum", with no weekday chosen.
    row("N24", {{0, 0}}, 0, 0, "pop4", {}, u"beep"_s, {"bill", "myforum"});
    row("N25", {{0, 0}}, 0, 0, "pop4", {}, {}, {"myforum", "bill"});
    row("Delete2", {{0, 0}}, 0, 0, "pop4", {}, {}, {"myforum"});
    row("N30", {{0, 0}}, 0, 0, "pop4", {}, u"message|曜日が選択されていません"_s,
        {"bill", "myforum"});
}

void TestMainWindow::popupItemsRunTheirOwnCommands() {
    QFETCH(QList<QPoint>, clicks);
    QFETCH(int, list);
    QFETCH(int, row);
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QStringList, answers);
    Fixture f;
    f.writeSettings("1\r\n1\r\n1\r\n", true);
    writeBytes(f.data() + u"forumlist.txt"_s, "f\r\nF1\r\n");
    writeBytes(f.data() + u"F1mes.txt"_s, "01 room\r\n");
    writeBytes(f.data() + u"F1dl.txt"_s, "0001 library\r\n");
    writeBytes(f.data() + u"patiolist.txt"_s, "p\r\nID\r\nPW\r\n");
    writeBytes(f.data() + u"new.txt"_s, "001 * notice\r\n");
    writeBytes(f.folder() + u"up.txt"_s, "up\r\n");
    MainWindow &w = f.start();
    auto view = [&w](int n) -> QAbstractItemView * {
        if (n == 0)
            return w.findChild<QTreeView *>(u"lsv1"_s);
        return w.findChild<DataListView *>(u"ListBox%1"_s.arg(n));
    };
    if (list == 0) {
        chooseFromMenu(view(1), -1, u"N15"_s);
        chooseFromMenu(view(1), -1, u"N18"_s);
        QTest::mouseClick(w.findChild<QCheckBox *>(u"CheckBox1"_s), Qt::LeftButton);
    }
    for (const QPoint &click : clicks) {
        // The libraries' tab is brought to the front first, as a user does.
        if (click.x() == 5) {
            QTabBar *bar = w.findChild<QTabWidget *>(u"PageControl1"_s)->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        }
        clickRow(view(click.x()), click.y());
    }
    for (const QString &answer : answers)
        f.prompts.answers.push_back(answer == u"file"_s ? f.folder() + u"up.txt"_s : answer);
    f.prompts.takeAsked();

    const OpenedMenu opened = chooseFromMenu(view(list), row, item);
    QCOMPARE(opened.name, menu);
    QVERIFY(opened.enabled.value(item));
    QTEST(f.prompts.asked.value(0).section(u'|', 0, 1), "firstQuestion");
    QVERIFY(f.prompts.answers.empty());
    QByteArrayList commands;
    for (int i = 0; i < w.patrolList()->size(); ++i)
        commands << w.patrolList()->entry(i).command;
    QTEST(commands, "commands");
}

void TestMainWindow::toolBarSharesTheMenuActions() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    auto *bar = w.findChild<QToolBar *>(QStringLiteral("ToolBar1"));
    QStringList names;
    for (QAction *a : bar->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    // The last action is the file name label.
    names.removeLast();
    QCOMPARE(names, (QStringList{"New1", "Open1", "Save1", "Delete1", "-", "Exit1", "-"}));
    QCOMPARE(w.findChild<QAction *>(QStringLiteral("Delete1"))->toolTip(),
             QStringLiteral(u"ファイル削除"));
    QCOMPARE(w.findChild<QAction *>(QStringLiteral("Open1"))->toolTip(), QStringLiteral(u"開く"));
    QCOMPARE(bar->height(), 28);
}

void TestMainWindow::dialogsAreHiddenWithTheCaption() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    for (const char *name : {"TForm2", "TForm4"}) {
        auto *dialog = w.findChild<QDialog *>(QString::fromLatin1(name));
        QVERIFY2(dialog, name);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), w.windowTitle());
    }
    auto *editor = w.findChild<QDialog *>(QStringLiteral("TForm3"));
    QVERIFY(editor && !editor->isVisible());
    QString shown;
    whenModal([&shown](QWidget *dialog) { shown = dialog->objectName() + dialog->windowTitle(); });
    trigger(&w, "N4");
    QCOMPARE(shown, QStringLiteral("TForm3Kirano  Ver." KIRANO_VERSION));
}

void TestMainWindow::resizeRules() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *strip = w.findChild<QWidget *>(QStringLiteral("Panel6"));
    auto *group = w.findChild<QGroupBox *>(QStringLiteral("GroupBox1"));
    auto *lsv1 = w.findChild<QTreeView *>(QStringLiteral("lsv1"));

    auto check = [&] {
        const int width = strip->width();
        QCOMPARE(group->width(), width - 72);
        QCOMPARE(group->geometry().right(), width - 1);
        const int used = lsv1->columnWidth(0) + lsv1->columnWidth(1) + lsv1->columnWidth(2);
        QCOMPARE(lsv1->columnWidth(3), width - used - 4);
    };
    check();
    w.resize(1000, 700);
    QTRY_COMPARE(strip->width() > 600, true);
    check();

    // A column the user widened counts at the next resize.
    lsv1->setColumnWidth(0, 200);
    w.resize(1100, 700);
    QTRY_COMPARE(lsv1->columnWidth(0), 200);
    check();

    // Dragging Splitter1 right narrows the day column by as much.
    auto *splitter = w.findChild<QSplitter *>(QStringLiteral("Splitter1"));
    const int before = lsv1->columnWidth(3);
    QList<int> sizes = splitter->sizes();
    splitter->setSizes({sizes[0] + 50, sizes[1] - 50});
    QTRY_COMPARE(lsv1->columnWidth(3), before - 50);
    check();

    // Rows enough for a vertical scroll bar: the last column makes room for
    // it, and no horizontal one comes.
    QByteArray list;
    for (int i = 0; i < 200; ++i)
        list += "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n";
    writeBytes(f.folder() + u"list.txt"_s, list);
    f.prompts.answer({f.folder() + u"list.txt"_s});
    trigger(&w, "Open1");
    QTRY_VERIFY(lsv1->verticalScrollBar()->isVisible());
    const int used = lsv1->columnWidth(0) + lsv1->columnWidth(1) + lsv1->columnWidth(2);
    QCOMPARE(lsv1->columnWidth(3), strip->width() - used - 4 - lsv1->verticalScrollBar()->width());
    QVERIFY(!lsv1->horizontalScrollBar()->isVisible());
    trigger(&w, "New1");
    QTRY_VERIFY(!lsv1->verticalScrollBar()->isVisible());
    check();
}

// Every row is as high as its font's lines and a pixel above and below, so
// that no underscore or descender is cut; a cell cut short by its column
// shows its whole text in its tooltip.
void TestMainWindow::rowsAndCellsShowTheirTextWhole() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    auto *lsv1 = w.findChild<QTreeView *>(u"lsv1"_s);
    const QString log = f.folder() + u"logs/FCAR_01_a_long_name_of_a_log.txt"_s;
    writeBytes(f.folder() + u"list.txt"_s, "mesread\r\nFCAR/\r\n1\r\n" + text::bytesOf(log) +
                                               "\r\n0\r\n" + sjis(u"月") + "\r\n");
    f.prompts.answer({f.folder() + u"list.txt"_s});
    trigger(&w, "Open1");
    const QFontMetrics lines(lsv1->font());
    QCOMPARE(lsv1->visualRect(lsv1->model()->index(0, 0)).height(), lines.lineSpacing() + 2);
    auto *services = w.findChild<DataListView *>(u"ListBox1"_s);
    QCOMPARE(services->visualRect(services->model()->index(0, 0)).height(),
             QFontMetrics(services->font()).lineSpacing() + 2);

    const QRect cut = lsv1->visualRect(lsv1->model()->index(0, 2));
    QVERIFY(lines.horizontalAdvance(log) > cut.width());
    QHelpEvent hover(QEvent::ToolTip, cut.center(), lsv1->viewport()->mapToGlobal(cut.center()));
    QApplication::sendEvent(lsv1->viewport(), &hover);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().startsWith(QFileInfo(log).fileName()) ||
                 QToolTip::text().startsWith(log),
             qPrintable(QToolTip::text()));
    QToolTip::hideText();
    // A cell shown whole has only the model's tooltip (the row's problems).
    const QModelIndex days = lsv1->model()->index(0, 3);
    const QRect whole = lsv1->visualRect(days);
    QHelpEvent hoverWhole(QEvent::ToolTip, whole.center(),
                          lsv1->viewport()->mapToGlobal(whole.center()));
    QApplication::sendEvent(lsv1->viewport(), &hoverWhole);
    QTest::qWait(50);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(),
             days.data(Qt::ToolTipRole).toString());
}

void TestMainWindow::generalErrorReportShowsTheTextAndGoesOn() {
    auto *app = static_cast<KiranoApplication *>(QCoreApplication::instance());
    QStringList reported;
    app->setErrorReporter([&reported](const QString &text) { reported << text; });
    Thrower thrower;
    QEvent sent(QEvent::User); // sendEvent does not take ownership
    QCoreApplication::sendEvent(&thrower, &sent);
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    app->setErrorReporter(nullptr);
    QCOMPARE(reported,
             (QStringList{QStringLiteral("write failed"), QStringLiteral("write failed")}));
}

// The top page as the user meets it: every character reachable by scrolling,
// tabs included; text selected with the mouse and copied; its text there for
// assistive tools.
void TestMainWindow::topPageIsReachableSelectableAndReadable() {
    Fixture f;
    f.writeSettings("1\r\n1\r\n1\r\n", true);
    writeBytes(f.data() + QStringLiteral("forumlist.txt"), "forum\r\nF\r\n");
    writeBytes(f.data() + QStringLiteral("Ftop.txt"), "abc\tdef\r\n\t\t\t\tX\r\nlast\r\n");
    MainWindow &w = f.start();
    clickRow(w.findChild<DataListView *>(QStringLiteral("ListBox2")), 0);
    QTabBar *tabs = w.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    auto *pane = w.findChild<TextPane *>(QStringLiteral("Label2"));
    QVERIFY(pane->isVisible());
    const QString shown = QStringLiteral("abc     def\n                                X\nlast\n");
    QCOMPARE(pane->property("text").toString(), shown);

    // The X after four tabs is drawn, and it is the pane's last cell.
    const int cell = pane->fontMetrics().horizontalAdvance(u'0');
    const QImage image = pane->grab().toImage();
    int rightmost = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128)
                rightmost = x;
        }
    }
    QVERIFY2(rightmost > image.width() - 2 * cell - 4,
             qPrintable(QStringLiteral("ink ends at %1 of %2").arg(rightmost).arg(image.width())));

    // Drag from "bc" on the first line to the start of the third, then copy.
    auto spot = [&](int line, int column) {
        return QPoint(2 + column * cell + 1, 2 + line * pane->fontMetrics().height() + 3);
    };
    QTest::mousePress(pane, Qt::LeftButton, {}, spot(0, 1));
    QTest::mouseMove(pane, spot(1, 4));
    QTest::mouseMove(pane, spot(2, 2));
    QTest::mouseRelease(pane, Qt::LeftButton, {}, spot(2, 2));
    const QString picked = shown.mid(1, shown.indexOf(u"last") + 2 - 1);
    QApplication::clipboard()->clear();
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), picked);
    QApplication::clipboard()->clear();
    OpenedMenu menu = chooseFromMenu(pane, spot(0, 2), QStringLiteral("CopyItem"));
    QVERIFY(menu.enabled.value(QStringLiteral("CopyItem")));
    QCOMPARE(QApplication::clipboard()->text(), picked);

    QAccessibleInterface *readable = QAccessible::queryAccessibleInterface(pane);
    QVERIFY(readable);
    QCOMPARE(readable->text(QAccessible::Name), QStringLiteral(u"トップ"));
    QCOMPARE(readable->text(QAccessible::Value), shown);
}

void TestMainWindow::picture() {
    Fixture f;
    f.writeDefaultSettings();
    MainWindow &w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString folder = qEnvironmentVariable("KIRANO_PICTURE_DIR", QDir::tempPath());
    QVERIFY(w.grab().save(folder + QStringLiteral("/kirano-main-window.png")));
    // The settings dialog's picture is taken once its folder tree is sorted,
    // with its own tests.
    auto *editor = w.findChild<QDialog *>(QStringLiteral("TForm3"));
    editor->show();
    QVERIFY(editor->grab().save(folder + QStringLiteral("/kirano-TForm3.png")));
    editor->hide();
}

// Without a screen to use, whether no display is set or the one set cannot
// be reached, the program says so in one line and ends with status 2.
void TestMainWindow::noScreenSaysSoInOneLine_data() {
    QTest::addColumn<QString>("display");
    QTest::newRow("no display") << QString();
    // A display number no server answers on.
    int unused = 99;
    while (QFileInfo::exists(u"/tmp/.X11-unix/X%1"_s.arg(unused)))
        ++unused;
    QTest::newRow("unreachable display") << u":%1"_s.arg(unused);
}

void TestMainWindow::noScreenSaysSoInOneLine() {
    QFETCH(QString, display);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(u"DISPLAY"_s, display);
    QTemporaryDir folder; // no settings file: a window would say so
    QProcess kirano;
    kirano.setProcessEnvironment(environment);
    kirano.setWorkingDirectory(folder.path());
    kirano.start(QString::fromLocal8Bit(KIRANO_PROGRAM), {});
    QVERIFY(kirano.waitForFinished(30000));
    QCOMPARE(kirano.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kirano.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(kirano.readAllStandardError()),
             u"Kirano: 画面に接続できません。デスクトップの中で起動してください。\n"_s);
    QCOMPARE(kirano.readAllStandardOutput(), QByteArray());
}

// --help and --version answer on standard output and end, with no screen to
// use; anything beside them is refused in one line, then the usage.
void TestMainWindow::helpAndVersionNeedNoScreen_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // how standard output starts
    QTest::addColumn<QString>("err"); // how standard error starts
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << u"使い方:\n  kirano "_s
                            << QString();
    QTest::newRow("-h") << QStringList{u"-h"_s} << 0 << u"使い方:\n"_s << QString();
    QTest::newRow("--version") << QStringList{u"--version"_s} << 0
                               << u"kirano " KIRANO_VERSION "\n"_s << QString();
    QTest::newRow("--version extra") << QStringList{u"--version"_s, u"extra"_s} << 2 << QString()
                                     << u"引数 extra は使えません\n使い方:\n"_s;
    QTest::newRow("extra --help") << QStringList{u"extra"_s, u"--help"_s} << 2 << QString()
                                  << u"引数 extra は使えません\n使い方:\n"_s;
}

void TestMainWindow::helpAndVersionNeedNoScreen() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess kirano;
    kirano.setProcessEnvironment(environment);
    kirano.start(QString::fromLocal8Bit(KIRANO_PROGRAM), arguments);
    QVERIFY(kirano.waitForFinished(30000));
    QCOMPARE(kirano.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kirano.exitCode(), status);
    const QString said = QString::fromUtf8(kirano.readAllStandardOutput());
    const QString complained = QString::fromUtf8(kirano.readAllStandardError());
    QVERIFY2(out.isEmpty() ? said.isEmpty() : said.startsWith(out), qPrintable(said));
    QVERIFY2(err.isEmpty() ? complained.isEmpty() : complained.startsWith(err),
             qPrintable(complained));
}

KIRANO_GUI_TEST_MAIN(TestMainWindow)
#include "test_app_mainwindow.moc"

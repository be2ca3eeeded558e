// Editing as a daily user does it, through the real window: an entry changed
// in place, entries through the clipboard, a forum found by typing, one
// night's run previewed, the lists last used.
#include "app/mainwindow.h"
#include "app/patrolundo.h"
#include "browser/datalistview.h"
#include "editorfixture.h"
#include "guitestsupport.h"
#include "patrol/patrolentry.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kMime = u"application/x-kirano-patrol-entries"_s;
// An answer that is Cancel.
const QString kCancel = u"<cancel>"_s;

// The texts with %1 standing for the folder.
QStringList inFolder(QStringList texts, const QString &folder) {
    for (QString &text : texts)
        text.replace(u"%1"_s, folder);
    return texts;
}

QByteArray linesOf(const PatrolEntry &entry) {
    QByteArray bytes;
    for (int f = 0; f < PatrolEntry::kFieldCount; ++f)
        bytes += entry.field(f) + "\r\n";
    return bytes;
}

PatrolEntry entryOf(const QStringList &fields) {
    PatrolEntry entry;
    for (int f = 0; f < PatrolEntry::kFieldCount; ++f)
        entry.field(f) = text::bytesOf(fields.value(f));
    return entry;
}

struct Editing : EditorFixture {
    PatrolHistory *history = w->findChild<PatrolHistory *>(u"PatrolHistory"_s);

    // Keys as the user types them, once the window (or `to`) has them.
    void keys(const QKeySequence &keys, QWidget *to = nullptr) {
        QTRY_VERIFY(w->isActiveWindow());
        if (to) {
            to->setFocus(Qt::OtherFocusReason);
            QTRY_VERIFY(to->hasFocus());
        }
        QTest::keySequence(to ? to : w, keys);
    }
    // The answers, with kCancel for Cancel and %1 for the program folder.
    void answer(const QStringList &answers) {
        for (const QString &a : inFolder(answers, folder()))
            prompts.answers.push_back(a == kCancel ? std::nullopt : std::optional<QString>(a));
    }
    QAction *action(const char *name) { return w->findChild<QAction *>(QString::fromLatin1(name)); }
    using EditorFixture::label;
    QLabel *label(const char *name) { return w->findChild<QLabel *>(QString::fromLatin1(name)); }
};

// The darkest pixel of a row's cell in the days column: text drawn greyed is
// lighter than text drawn as always.
int darkestIn(QTreeView *view, int row) {
    const QImage shown = view->viewport()->grab().toImage();
    const QRect cell = view->visualRect(view->model()->index(row, PatrolListModel::Days));
    int darkest = 255;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x)
            darkest = qMin(darkest, qGray(shown.pixel(x, y)));
    }
    return darkest;
}

// A data folder below the program folder, holding a forum list and each
// forum's rooms; the window started on it.
struct Browsing : Fixture {
    MainWindow *w = nullptr;
    Browsing() {
        writeSettings("1\r\n1\r\n1\r\n", true);
        const std::pair<const char16_t *, const char *> forums[] = {
            {u"Alpha Club", "A1"}, {u"ベータ会", "B1"}, {u"ソフト広場", "S1"},
            {u"alphabet", "A2"},   {u"Gamma", "G1"},    {u"Omega", "O1"}};
        QByteArray list;
        for (const auto &[name, code] : forums) {
            // Omega's name filled to its 40 bytes, as the autopilot writes
            // them all.
            const QByteArray bytes = sjis(name);
            list += (code == QByteArrayView("O1") ? bytes.leftJustified(40, ' ') : bytes) + "\r\n" +
                    code + "\r\n";
            writeBytes(data() + QString::fromLatin1(code) + u"mes.txt"_s,
                       "01 " + sjis(u"雑談") + "\r\n02 " + sjis(u"質問") + "\r\n03 Chat\r\n");
            writeBytes(data() + QString::fromLatin1(code) + u"dl.txt"_s,
                       "0001 " + sjis(u"ツール") + "\r\n0002 Games\r\n");
        }
        writeBytes(data() + u"forumlist.txt"_s, list);
        writeBytes(data() + u"patiolist.txt"_s, "p\r\nPID\r\nPW\r\n");
        w = &start();
    }
    DataListView *list(int n) { return w->findChild<DataListView *>(u"ListBox%1"_s.arg(n)); }
    QLineEdit *box() { return w->findChild<QLineEdit *>(u"ListSearch"_s); }
    // Typed into the search box as the user types.
    void type(const QString &text) {
        QTest::keyClicks(box(), text);
        QTRY_VERIFY(!w->browser()->isSearching());
    }
    void keys(QWidget *to, const QKeySequence &keys) {
        QTRY_VERIFY(w->isActiveWindow());
        QTest::keySequence(to, keys);
    }
};

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
  private slots:
    void editMenuComesAfterTheRequiredMenus() {
        Editing e;
        QStringList menus;
        for (QAction *menu : e.w->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{u"ファイル"_s, u"設定"_s, u"その他"_s, u"編集"_s}));
    }

    // Each kind of command changed in place, started the ways the user
    // starts it: its builder's questions again, each from the entry's value,
    // under the builder's rules; Cancel anywhere changes nothing. A change
    // keeps the row, its days and its selection, and is one step.
    void editInPlace_data() {
        QTest::addColumn<QStringList>("entry"); // %1: the program folder
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("after"); // empty: as it was
        // A change is tried again with Cancel at each of its questions in
        // turn: nothing changes, and no question comes after it.
        auto row = [](const char *name, const QStringList &entry, const char *how,
                      const QStringList &answers, const QStringList &asked,
                      const QStringList &after) {
            QTest::newRow(name) << entry << QString::fromLatin1(how) << answers << asked << after;
            for (qsizetype k = 0; !after.isEmpty() && k < answers.size(); ++k)
                QTest::addRow("%s, Cancel at question %d", name, int(k + 1))
                    << entry << QString::fromLatin1(how) << answers.first(k) + QStringList{kCancel}
                    << asked.first(k + 1) << QStringList();
        };
        const QStringList mesread{u"mesread"_s, u"F1"_s, u"5"_s, u"%1log/a.txt"_s, u"0"_s, u"月"_s};
        const QString roomQuestion = u"query|会議室|会議室番号|5"_s;
        const QString logQuestion = u"open|ログファイル|%1log/|clear|a.txt"_s;
        row("mesread: room and log file", mesread, "Enter", {u"7"_s, u"%1log/b.txt"_s},
            {roomQuestion, logQuestion},
            {u"mesread"_s, u"F1"_s, u"7"_s, u"%1log/b.txt"_s, u"0"_s, u"月"_s});
        row("mesread: room 0", mesread, "pop4", {u"0"_s},
            {roomQuestion, u"message|会議室番号が正しくありません"_s}, {});
        row("mesread: room 100, past what a room row holds", mesread, "F2", {u"100"_s},
            {roomQuestion, u"message|会議室番号が正しくありません"_s}, {});
        row("mesread: full-width room", mesread, "menu", {u"７"_s},
            {roomQuestion, u"message|数字は半角で入力してください"_s}, {});
        const QStringList mesup{u"mesup"_s, u"F1"_s, u"5"_s, u"%1up/a.txt"_s, u"0"_s, u"月"_s};
        row("mesup: another file", mesup, "double", {u"5"_s, u"%1up/b.txt"_s},
            {roomQuestion, u"open|発言ファイル|%1up/|clear|a.txt"_s},
            {u"mesup"_s, u"F1"_s, u"5"_s, u"%1up/b.txt"_s, u"0"_s, u"月"_s});
        row("mesup: a file that is not there", mesup, "Enter", {u"5"_s, u"%1up/none.txt"_s},
            {roomQuestion, u"open|発言ファイル|%1up/|clear|a.txt"_s}, {});
        const QStringList mesrc{u"mesrc"_s, u"F1"_s, u"5"_s, u"10"_s, u"0"_s, u"月"_s};
        const QString countQuestion = u"query|会議室|未読数入力|10"_s;
        row("mesrc: count as typed", mesrc, "F2", {u"3"_s, u" 7"_s}, {roomQuestion, countQuestion},
            {u"mesrc"_s, u"F1"_s, u"3"_s, u" 7"_s, u"0"_s, u"月"_s});
        row("mesrc: count refused", mesrc, "pop4", {u"5"_s, u"1000"_s},
            {roomQuestion, countQuestion, u"message|未読数が正しくありません"_s}, {});
        const QString libraryQuestion = u"query|ライブラリィ|ライブラリィ番号|2"_s;
        row("dltitleb: library and date",
            {u"dltitleb"_s, u"F1"_s, u"2"_s, u"980101"_s, u"0"_s, u"火"_s}, "menu",
            {u"4"_s, u"990101"_s},
            {libraryQuestion, u"query|ライブラリィ|日付（例 980101）|980101"_s},
            {u"dltitleb"_s, u"F1"_s, u"4"_s, u"990101"_s, u"0"_s, u"火"_s});
        row("dltitleb: library 10000",
            {u"dltitleb"_s, u"F1"_s, u"2"_s, u"980101"_s, u"0"_s, u"火"_s}, "F2", {u"10000"_s},
            {libraryQuestion, u"message|ライブラリィ番号が正しくありません"_s}, {});
        const QStringList dldown{u"dldown"_s, u"F1"_s, u"2"_s, u"12"_s, u"MINE.LZH"_s, u"月"_s};
        row("dldown without its list", dldown, "Enter", {u"2"_s, u"13"_s, u"NEW.LZH"_s},
            {libraryQuestion, u"query|ライブラリィ|ダウンロード番号|12"_s,
             u"query|ライブラリィ|ファイル名|MINE.LZH"_s},
            {u"dldown"_s, u"F1"_s, u"2"_s, u"13"_s, u"NEW.LZH"_s, u"月"_s});
        // F1dl3.txt lists files 11 and 12: the chooser starts at the
        // entry's; its own file keeps its name, another proposes its own.
        const QStringList listed{u"dldown"_s, u"F1"_s, u"3"_s, u"12"_s, u"MINE.LZH"_s, u"月"_s};
        const QString listQuestion = u"query|ライブラリィ|ライブラリィ番号|3"_s;
        row("dldown from its list: the same file", listed, "F2", {u"3"_s, u"1"_s, u"KEEP.LZH"_s},
            {listQuestion, u"choose|2|1"_s, u"query|ライブラリィ|ファイル名|MINE.LZH"_s},
            {u"dldown"_s, u"F1"_s, u"3"_s, u"12"_s, u"KEEP.LZH"_s, u"月"_s});
        row("dldown from its list: another file", listed, "F2", {u"3"_s, u"0"_s, u"ELEVEN.LZH"_s},
            {listQuestion, u"choose|2|1"_s, u"query|ライブラリィ|ファイル名|ELEVEN.LZH"_s},
            {u"dldown"_s, u"F1"_s, u"3"_s, u"11"_s, u"ELEVEN.LZH"_s, u"月"_s});
        row("mailuptxt", {u"mailuptxt"_s, u"%1up/a.txt"_s, u"0"_s, u"0"_s, u"0"_s, u"月"_s},
            "Enter", {u"%1up/b.txt"_s}, {u"open|テキストメール用ファイル|%1up/|clear|a.txt"_s},
            {u"mailuptxt"_s, u"%1up/b.txt"_s, u"0"_s, u"0"_s, u"0"_s, u"月"_s});
        const QStringList mailupbin{u"mailupbin"_s, u"%1up/a.txt"_s, u"題"_s,
                                    u"OLD"_s,       u"0"_s,          u"月"_s};
        const QStringList mailQuestions{u"open|バイナリメール用ファイル|%1up/|clear|a.txt"_s,
                                        u"query|バイナリメールアップ|題名|題"_s,
                                        u"query|バイナリメールアップ|送り先ＩＤ|OLD"_s};
        row("mailupbin: subject and recipient", mailupbin, "F2",
            {u"%1up/a.txt"_s, u"新しい題"_s, u"new1"_s}, mailQuestions,
            {u"mailupbin"_s, u"%1up/a.txt"_s, u"新しい題"_s, u"NEW1"_s, u"0"_s, u"月"_s});

        row("new", {u"new"_s, u"%1log/a.txt"_s, u"0"_s, u"0"_s, u"0"_s, u"月"_s}, "Enter",
            {u"%1log/b.txt"_s}, {u"open|ログファイル|%1log/|clear|a.txt"_s},
            {u"new"_s, u"%1log/b.txt"_s, u"0"_s, u"0"_s, u"0"_s, u"月"_s});
        row("patioread", {u"patioread"_s, u"ID"_s, u"PW"_s, u"%1log/a.txt"_s, u"0"_s, u"月"_s},
            "Enter", {u"%1log/b.txt"_s}, {logQuestion},
            {u"patioread"_s, u"ID"_s, u"PW"_s, u"%1log/b.txt"_s, u"0"_s, u"月"_s});
        row("patioup", {u"patioup"_s, u"ID"_s, u"PW"_s, u"%1up/a.txt"_s, u"0"_s, u"月"_s}, "Enter",
            {u"%1up/b.txt"_s}, {u"open|パティオ発言ファイル|%1up/|clear|a.txt"_s},
            {u"patioup"_s, u"ID"_s, u"PW"_s, u"%1up/b.txt"_s, u"0"_s, u"月"_s});
        row("patiorc: any answer", {u"patiorc"_s, u"ID"_s, u"PW"_s, u"5"_s, u"0"_s, u"月"_s},
            "pop4", {u"xyz"_s}, {u"query|パティオ|既読数|5"_s},
            {u"patiorc"_s, u"ID"_s, u"PW"_s, u"xyz"_s, u"0"_s, u"月"_s});
        row("bbsup: the category stays",
            {u"bbsup"_s, u"5"_s, u"3"_s, u"%1up/a.txt"_s, u"0"_s, u"月"_s}, "double",
            {u"%1up/b.txt"_s}, {u"open|掲示板アップ用ファイル|%1up/|clear|a.txt"_s},
            {u"bbsup"_s, u"5"_s, u"3"_s, u"%1up/b.txt"_s, u"0"_s, u"月"_s});
        // A file named where no folder is: the dialog starts in the
        // command's own folder, with the name.
        row("a path without its folder",
            {u"mesread"_s, u"F1"_s, u"5"_s, u"/gone/a.txt"_s, u"0"_s, u"月"_s}, "Enter",
            {u"5"_s, kCancel}, {roomQuestion, u"open|ログファイル|%1|clear|a.txt"_s}, {});
        // Nothing to ask: only the days can change ("曜日変更").
        row("bill asks nothing", {u"bill"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"月"_s}, "Enter", {},
            {}, {});
        row("mestitlea asks nothing", {u"mestitlea"_s, u"F1"_s, u"0"_s, u"0"_s, u"0"_s, u"月"_s},
            "double", {}, {}, {});
    }
    void editInPlace() {
        QFETCH(QStringList, entry);
        QFETCH(QString, how);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, after);
        Editing e;
        for (const char *sub : {"log", "up"}) {
            QVERIFY(QDir(e.folder()).mkpath(QString::fromLatin1(sub)));
            for (const char *name : {"a.txt", "b.txt"})
                writeBytes(e.folder() + QString::fromLatin1(sub) + u'/' + QString::fromLatin1(name),
                           "x\r\n");
        }
        QList<QByteArray> files{QByteArray("   11").leftJustified(39, ' ') + "ELEVEN.LZH  ",
                                QByteArray("   12").leftJustified(39, ' ') + "TWELVE.LZH  "};
        writeBytes(e.folder() + u"F1dl3.txt"_s, files.join("\r\n") + "\r\n");
        const PatrolEntry before = entryOf(inFolder(entry, e.folder()));
        QVERIFY(e.w->addEntry(PatrolEntry{"bill", "0", "0", "0", "0", sjis(u"月")}));
        QVERIFY(e.w->addEntry(before));
        QVERIFY(e.w->addEntry(PatrolEntry{"myforum", "0", "0", "0", "0", sjis(u"月")}));
        e.select(1);
        e.prompts.takeAsked();
        const int steps = e.history->count();
        e.answer(answers);

        if (how == u"Enter")
            e.keys(QKeySequence(Qt::Key_Return), e.lsv1);
        else if (how == u"F2")
            e.keys(QKeySequence(Qt::Key_F2), e.lsv1);
        else if (how == u"double")
            QTest::mouseDClick(e.lsv1->viewport(), Qt::LeftButton, {}, rowPoint(e.lsv1, 1));
        else if (how == u"pop4")
            QVERIFY(e.pop4(u"EditEntry"_s).enabled.value(u"EditEntry"_s));
        else
            trigger(e.w, "EditEntry");

        QCOMPARE(e.prompts.takeAsked(), inFolder(asked, e.folder()));
        QVERIFY(e.prompts.answers.empty());
        QCOMPARE(e.selectedRows(), QList<int>{1});
        QCOMPARE(e.list().size(), 3);
        if (after.isEmpty()) {
            QCOMPARE(e.list().entry(1), before);
            QCOMPARE(e.history->count(), steps);
            return;
        }
        const PatrolEntry changed = entryOf(inFolder(after, e.folder()));
        QCOMPARE(e.list().entry(1), changed);
        QCOMPARE(e.history->count(), steps + 1);
        // One step each way; the row stays selected.
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.list().entry(1), before);
        QCOMPARE(e.selectedRows(), QList<int>{1});
        e.keys(QKeySequence(u"Ctrl+Y"_s));
        QCOMPARE(e.list().entry(1), changed);
        QCOMPARE(e.selectedRows(), QList<int>{1});
        QVERIFY(!QFile::exists(e.folder() + u"Newtitle.txt"_s));
    }

    // Where a change's questions start (the table above) is where the user
    // sees Qt's file dialog and the chooser open: in the entry's folder
    // with its name, at its file and in sight.
    void dialogsOpenWhereTheEntryPoints() {
        FixtureOf<QtPrompts> f;
        f.writeDefaultSettings();
        QVERIFY(QDir(f.folder()).mkpath(u"log"_s));
        writeBytes(f.folder() + u"log/old.txt"_s, "x\r\n");
        f.start();
        QString folder, name;
        whenModal([&](QWidget *dialog) {
            folder = qobject_cast<QFileDialog *>(dialog)->directory().absolutePath();
            name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->text();
        });
        QCOMPARE(
            f.prompts.openFile({u"ログファイル"_s, f.folder() + u"log/"_s, true, u"old.txt"_s}),
            std::nullopt);
        QCOMPARE(folder, f.folder() + u"log"_s);
        QCOMPARE(name, u"old.txt"_s);

        QList<QByteArray> rows;
        for (int i = 0; i < 200; ++i)
            rows << "   " + QByteArray::number(i) + " file";
        int chosen = -1;
        bool inSight = false;
        whenModal([&](QWidget *chooser) {
            auto *files = chooser->findChild<DataListView *>(u"ListBox1"_s);
            chosen = files->selectedRow();
            QTRY_VERIFY(files->viewport()->rect().contains(
                files->visualRect(files->model()->index(150, 0)).center()));
            inSight = true;
            chooser->findChild<QPushButton *>(u"Button2"_s)->click();
        });
        QCOMPARE(f.prompts.choose(rows, "    status", 150), -1);
        QCOMPARE(chosen, 150);
        QVERIFY(inSight);
    }

    // Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+D in lsv1: the entry's six lines on
    // the clipboard as the list file holds them; a paste goes where a built
    // entry would; each is one step.
    void clipboardKeys() {
        Editing e;
        const PatrolEntry read{"mesread", "F1", "3", sjis(u"/ログ/会議室.txt"), "0", sjis(u"月水")};
        const PatrolEntry bill{"bill", "0", "0", "0", "0", sjis(u"日")};
        QVERIFY(e.w->addEntry(read));
        QVERIFY(e.w->addEntry(bill));
        e.select(0);
        e.keys(QKeySequence(u"Ctrl+C"_s), e.lsv1);
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(copied->data(kMime), linesOf(read));
        QCOMPARE(copied->text(), text::decode(linesOf(read)));
        const int steps = e.history->count();

        // Before the selected row, which stays selected.
        e.select(1);
        e.keys(QKeySequence(u"Ctrl+V"_s), e.lsv1);
        QCOMPARE(e.list().entries(), (QList<PatrolEntry>{read, read, bill}));
        QCOMPARE(e.selectedRows(), QList<int>{2});
        QCOMPARE(e.history->count(), steps + 1);
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.list().entries(), (QList<PatrolEntry>{read, bill}));
        QCOMPARE(e.selectedRows(), QList<int>{1});

        // Cut, then pasted at the end with no row selected.
        e.keys(QKeySequence(u"Ctrl+X"_s), e.lsv1);
        QCOMPARE(e.list().entries(), QList<PatrolEntry>{read});
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(kMime), linesOf(bill));
        QVERIFY(e.selectedRows().isEmpty());
        e.keys(QKeySequence(u"Ctrl+V"_s), e.lsv1);
        QCOMPARE(e.list().entries(), (QList<PatrolEntry>{read, bill}));
        QVERIFY(e.selectedRows().isEmpty());

        // A copy below, chosen so that it can be changed at once.
        e.select(0);
        e.keys(QKeySequence(u"Ctrl+D"_s), e.lsv1);
        QCOMPARE(e.list().entries(), (QList<PatrolEntry>{read, read, bill}));
        QCOMPARE(e.selectedRows(), QList<int>{1});
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.list().entries(), (QList<PatrolEntry>{read, bill}));
    }

    // Text another program put on the clipboard (a text editor's, LF only)
    // is read as the list file is, its Japanese stored as Shift_JIS.
    void pasteOfAnotherProgramsText() {
        Editing e;
        QGuiApplication::clipboard()->setText(
            u"mesup\nF1\n2\n/アップ/発言.txt\n0\n月\nbill\n0\n0\n0\n0\n日月火水木金土\n"_s);
        trigger(e.w, "PasteEntries");
        QCOMPARE(e.list().size(), 2);
        QCOMPARE(e.list().entry(0),
                 (PatrolEntry{"mesup", "F1", "2", sjis(u"/アップ/発言.txt"), "0", sjis(u"月")}));
        QCOMPARE(e.list().entry(1).days, sjis(u"日月火水木金土"));
        QVERIFY(e.prompts.asked.isEmpty());
    }

    // What is not one or more complete, known entries is refused with a
    // message, and the list stays as it was; so is text that does not come
    // back to itself from Shift_JIS.
    void hostilePasteLeavesTheListAsItWas_data() {
        QTest::addColumn<QByteArray>("own"); // Kirano's own form, when not null
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QByteArray bill = "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n";
        const QString why = u"message|貼り付けられません: "_s;
        QTest::newRow("half an entry")
            << QByteArray() << u"bill\n0\n0\n0\n0\n"_s
            << why + u"巡回リストの項目ではありません (1 項目は 6 行です)"_s;
        QTest::newRow("an entry and a half")
            << bill + "bill\r\n0\r\n"
            << QString() << why + u"巡回リストの項目ではありません (1 項目は 6 行です)"_s;
        QTest::newRow("nothing") << QByteArray() << QString()
                                 << why + u"巡回リストの項目ではありません (1 項目は 6 行です)"_s;
        QTest::newRow("an unknown keyword")
            << QByteArray() << u"bill\n0\n0\n0\n0\n月\nmesreed\n0\n0\n0\n0\n月\n"_s
            << why + u"2 番目の項目の命令「mesreed」を知りません"_s;
        QTest::newRow("a room that is no number")
            << QByteArray() << u"mesread\nF1\nx\n/a.txt\n0\n月\n"_s
            << why + u"1 番目の項目の番号が正しくありません"_s;
        QTest::newRow("a line with a NUL") << bill + "bill\r\n0" + QByteArray(1, '\0') +
                                                  "\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n"
                                           << QString() << why + u"NUL の文字が含まれています"_s;
        QTest::newRow("a NUL after the entries") << bill + QByteArray(1, '\0') + "x" << QString()
                                                 << why + u"NUL の文字が含まれています"_s;
        QTest::newRow("a NUL in text")
            << QByteArray() << u"bill\n0\n0\n0\n0\n月"_s + QChar(u'\0') + u"\n"_s
            << why + u"NUL の文字が含まれています"_s;
        QTest::newRow("a character Shift_JIS lacks")
            << QByteArray() << u"mesup\nF1\n2\n/up/😀.txt\n0\n月\n"_s
            << why + u"Shift_JIS で書けない文字が含まれています"_s;
        QTest::newRow("a look-alike") << QByteArray() << u"mesup\nF1\n2\n/up/a〜b.txt\n0\n月\n"_s
                                      << why + u"Shift_JIS で書けない文字が含まれています"_s;
        QTest::newRow("10 MB of text")
            << QByteArray() << QString(10 * 1000 * 1000, u'x')
            << why + u"巡回リストの項目ではありません (1 項目は 6 行です)"_s;
    }
    void hostilePasteLeavesTheListAsItWas() {
        QFETCH(QByteArray, own);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Editing e;
        const PatrolEntry bill{"bill", "0", "0", "0", "0", sjis(u"月")};
        QVERIFY(e.w->addEntry(bill));
        const int steps = e.history->count();
        auto *data = new QMimeData;
        if (!own.isNull())
            data->setData(kMime, own);
        data->setText(text);
        QGuiApplication::clipboard()->setMimeData(data);
        e.prompts.takeAsked();
        e.keys(QKeySequence(u"Ctrl+V"_s), e.lsv1);
        QCOMPARE(e.prompts.takeAsked(), QStringList{message});
        QCOMPARE(e.list().entries(), QList<PatrolEntry>{bill});
        QCOMPARE(e.history->count(), steps);
    }

    // A change keeps the forum, patio or BBS category its entry acts on,
    // whatever the browser has selected.
    void editKeepsWhatTheEntryActsOn() {
        Browsing b;
        auto *lsv1 = b.w->findChild<QTreeView *>(u"lsv1"_s);
        writeBytes(b.folder() + u"post.txt"_s, "x\r\n");
        const QByteArray post = text::bytesOf(b.folder() + u"post.txt"_s);
        const QByteArray monday = sjis(u"月");
        QVERIFY(b.w->addEntry({"mesrc", "OLD", "5", "10", "0", monday}));
        QVERIFY(b.w->addEntry({"patiorc", "OLDID", "OLDPW", "5", "0", monday}));
        QVERIFY(b.w->addEntry({"bbsup", "5", "3", post, "0", monday}));
        auto change = [&](int row, const QStringList &answers) {
            clickRow(lsv1, row);
            b.prompts.answers.insert(b.prompts.answers.end(), answers.begin(), answers.end());
            b.keys(lsv1, QKeySequence(Qt::Key_F2));
            QVERIFY(b.prompts.answers.empty());
        };
        clickRow(b.list(2), 0);
        change(0, {u"6"_s, u"10"_s});
        QCOMPARE(b.w->patrolList()->entry(0),
                 (PatrolEntry{"mesrc", "OLD", "6", "10", "0", monday}));
        clickRow(b.list(3), 0);
        change(1, {u"7"_s});
        QCOMPARE(b.w->patrolList()->entry(1),
                 (PatrolEntry{"patiorc", "OLDID", "OLDPW", "7", "0", monday}));
        clickRow(b.list(1), 2); // the BBS categories, the first chosen
        clickRow(b.list(4), 0);
        change(2, {b.folder() + u"post.txt"_s});
        QCOMPARE(b.w->patrolList()->entry(2), (PatrolEntry{"bbsup", "5", "3", post, "0", monday}));
    }

    // Entries pasted bring their marks; undone, they take them away.
    void pasteAndItsUndoCountTheMarks() {
        Editing e;
        auto *data = new QMimeData;
        data->setData(kMime, QByteArray("bill\r\n0\r\n0\r\n0\r\n0\r\nxyz\r\n").repeated(3));
        QGuiApplication::clipboard()->setMimeData(data);
        QLabel *marked = e.label("StatusCount");
        e.keys(QKeySequence(u"Ctrl+V"_s), e.lsv1);
        QTRY_COMPARE(marked->text(), u"問題 3 件"_s);
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QTRY_COMPARE(marked->text(), u"問題 0 件"_s);
        e.keys(QKeySequence(u"Ctrl+Y"_s));
        QTRY_COMPARE(marked->text(), u"問題 3 件"_s);
    }

    // Ten thousand entries come in one step and go in one.
    void pasteOfTenThousandIsOneStep() {
        Editing e;
        QByteArray many;
        for (int i = 0; i < 10000; ++i)
            many += "mesread\r\nF" + QByteArray::number(i) + "\r\n3\r\n/log.txt\r\n0\r\n" +
                    sjis(u"月") + "\r\n";
        auto *data = new QMimeData;
        data->setData(kMime, many);
        QGuiApplication::clipboard()->setMimeData(data);
        e.keys(QKeySequence(u"Ctrl+V"_s), e.lsv1);
        QCOMPARE(e.list().size(), 10000);
        QCOMPARE(e.list().entry(9999).param1, QByteArray("F9999"));
        QCOMPARE(e.history->count(), 1);
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.list().size(), 0);
        e.keys(QKeySequence(u"Ctrl+Y"_s));
        QCOMPARE(e.list().size(), 10000);
    }

    // Typing narrows the forum list: ASCII letters in either case, whole
    // characters only; the forum chosen in the narrowed list is the same
    // forum to its views and to every builder; Esc gives the whole list
    // back with the forum still chosen.
    void searchBoxNarrowsTheForumList() {
        Browsing b;
        DataListView *forums = b.list(2);
        QCOMPARE(forums->model()->rowCount(), 6);
        b.keys(b.w, QKeySequence(u"Ctrl+F"_s));
        QTRY_VERIFY(b.box()->hasFocus());
        QCOMPARE(b.box()->placeholderText(), u"フォーラムを検索 (Ctrl+F)"_s);
        b.type(u"ALPHA"_s);
        QCOMPARE(rowsOf(forums), (QStringList{u"Alpha Club"_s, u"alphabet"_s}));
        // "t" is no letter of ソフト広場, though the second byte of フ is 't'.
        b.box()->clear();
        b.type(u"t"_s);
        QCOMPARE(rowsOf(forums), QStringList{u"alphabet"_s});
        // The blanks that fill a name are no part of it.
        b.box()->clear();
        b.type(u"a "_s);
        QCOMPARE(rowsOf(forums), QStringList{u"Alpha Club"_s});
        // Nor is "[" one of ベータ会, though the second byte of ー is '['.
        b.box()->clear();
        b.type(u"["_s);
        QCOMPARE(forums->model()->rowCount(), 0);
        // A shorter text finds more than a longer one found before it.
        b.box()->clear();
        b.type(u"alphabet"_s);
        QCOMPARE(rowsOf(forums), QStringList{u"alphabet"_s});
        b.box()->clear();
        b.type(u"p"_s);
        QCOMPARE(rowsOf(forums), (QStringList{u"Alpha Club"_s, u"alphabet"_s}));
        b.keys(b.box(), QKeySequence(Qt::Key_Backspace));
        QTRY_COMPARE(forums->model()->rowCount(), 6);

        // Japanese through the input method: the text once committed.
        QInputMethodEvent composing(u"ソフ"_s, {});
        QApplication::sendEvent(b.box(), &composing);
        QCOMPARE(forums->model()->rowCount(), 6);
        QInputMethodEvent committed;
        committed.setCommitString(u"ソフト"_s);
        QApplication::sendEvent(b.box(), &committed);
        QTRY_COMPARE(rowsOf(forums), QStringList{u"ソフト広場"_s});

        // Chosen in the narrowed list: its rooms, and its code to builders.
        clickRow(forums, 0);
        QCOMPARE(rowsOf(b.list(4)).value(2), u"03 Chat"_s);
        QCOMPARE(chooseFromMenu(forums, 0, u"N19"_s).name, u"pop2"_s);
        QCOMPARE(b.w->patrolList()->entry(0).param1, QByteArray("S1"));

        b.keys(b.box(), QKeySequence(Qt::Key_Escape));
        QCOMPARE(forums->model()->rowCount(), 6);
        QCOMPARE(rowsOf(forums).value(forums->selectedRow()), u"ソフト広場"_s);
        // A second Esc gives the keyboard back to the list.
        b.keys(b.box(), QKeySequence(Qt::Key_Escape));
        QTRY_VERIFY(forums->hasFocus());

        // A search that hides the chosen forum hides its views too; the
        // forum and its views come back with it.
        b.box()->setFocus();
        b.type(u"gam"_s);
        QCOMPARE(rowsOf(forums), QStringList{u"Gamma"_s});
        QCOMPARE(forums->selectedRow(), -1);
        QCOMPARE(b.list(4)->model()->rowCount(), 0);
        QCOMPARE(chooseFromMenu(forums, 0, u"N19"_s).enabled.value(u"N19"_s), false);
        b.keys(b.box(), QKeySequence(Qt::Key_Escape));
        QCOMPARE(rowsOf(forums).value(forums->selectedRow()), u"ソフト広場"_s);
        QCOMPARE(b.list(4)->model()->rowCount(), 3);

        // A forum chosen while another's views are hidden keeps its own, and
        // the room chosen in them, as the text grows.
        b.box()->setFocus();
        b.type(u"gam"_s);
        clickRow(forums, 0);
        clickRow(b.list(4), 1);
        // Back to the forums by Tab, so that the box narrows them again.
        forums->setFocus(Qt::TabFocusReason);
        b.box()->setFocus();
        QCOMPARE(b.box()->text(), u"gam"_s);
        b.type(u"m"_s);
        QCOMPARE(rowsOf(forums).value(forums->selectedRow()), u"Gamma"_s);
        QCOMPARE(b.list(4)->selectedRow(), 1);

        // The forum list read anew ("環境設定" closed) is searched with the
        // same text; no forum of the old list stays chosen.
        whenModal([](QWidget *dialog) { dialog->close(); });
        trigger(b.w, "N5");
        QTRY_VERIFY(!b.w->browser()->isSearching());
        QCOMPARE(rowsOf(forums), QStringList{u"Gamma"_s});
        QCOMPARE(forums->selectedRow(), -1);
        QCOMPARE(b.box()->text(), u"gamm"_s);
    }

    // The same box narrows the rooms or the libraries when one of them had
    // the keyboard last; their builders read the room chosen there. Another
    // forum's rooms drop the text.
    void searchBoxNarrowsRoomsAndLibraries() {
        Browsing b;
        clickRow(b.list(2), 0); // Alpha Club
        clickRow(b.list(4), 0);
        b.keys(b.list(4), QKeySequence(u"Ctrl+F"_s));
        QTRY_VERIFY(b.box()->hasFocus());
        QCOMPARE(b.box()->placeholderText(), u"会議室を検索 (Ctrl+F)"_s);
        b.type(u"chat"_s);
        QCOMPARE(rowsOf(b.list(4)), QStringList{u"03 Chat"_s});
        QCOMPARE(b.list(2)->model()->rowCount(), 6);
        clickRow(b.list(4), 0);
        writeBytes(b.folder() + u"log.txt"_s, "");
        b.prompts.answer({b.folder() + u"log.txt"_s});
        QCOMPARE(chooseFromMenu(b.list(4), 0, u"N6"_s).name, u"pop5"_s);
        QCOMPARE(b.w->patrolList()->entry(0).param2, QByteArray("3"));

        // The libraries keep a text of their own.
        QTabBar *tabs = b.w->findChild<QTabWidget *>(u"PageControl1"_s)->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        clickRow(b.list(5), 0);
        b.keys(b.list(5), QKeySequence(u"Ctrl+F"_s));
        QTRY_VERIFY(b.box()->hasFocus());
        QCOMPARE(b.box()->text(), QString());
        b.type(u"GAME"_s);
        QCOMPARE(rowsOf(b.list(5)), QStringList{u"0002 Games"_s});

        // Another forum: its rooms whole, the rooms' text gone.
        clickRow(b.list(2), 1);
        QCOMPARE(b.list(4)->model()->rowCount(), 3);
        QCOMPARE(b.list(5)->model()->rowCount(), 2);
        QCOMPARE(b.box()->text(), QString());
        QCOMPARE(b.box()->placeholderText(), u"フォーラムを検索 (Ctrl+F)"_s);
        clickRow(b.list(4), 0);
        QCOMPARE(b.box()->placeholderText(), u"会議室を検索 (Ctrl+F)"_s);
        QCOMPARE(b.box()->text(), QString());
    }

    // A day chosen shows the list as that night's run takes it: the rows that
    // do not run greyed, the count of those that do; nothing else changes,
    // and the preview follows edits, undo and "開く".
    void previewOfOneNight() {
        Editing e;
        const QList<PatrolEntry> entries{{"bill", "0", "0", "0", "0", sjis(u"月")},
                                         {"myforum", "0", "0", "0", "0", sjis(u"火")},
                                         {"newtitle", "0", "0", "0", "0", sjis(u"日月火水木金土")},
                                         {"bill", "0", "0", "0", "0", "xyz"}};
        for (const PatrolEntry &entry : entries)
            QVERIFY(e.w->addEntry(entry));
        e.select(0);
        auto *choice = e.w->findChild<QComboBox *>(u"PreviewDay"_s);
        QLabel *count = e.label("PreviewCount");
        QCOMPARE(choice->currentText(), u"すべて"_s);
        QVERIFY(!count->isVisible());
        const int normal[] = {0, darkestIn(e.lsv1, 1), darkestIn(e.lsv1, 2), darkestIn(e.lsv1, 3)};

        e.keys(QKeySequence(Qt::Key_F7));
        e.keys(QKeySequence(Qt::Key_F7));
        QCOMPARE(choice->currentText(), u"月曜日"_s);
        QCOMPARE(count->text(), u"月曜日: 2 項目"_s);
        QVERIFY(count->isVisible());
        QTRY_VERIFY(darkestIn(e.lsv1, 1) > normal[1] + 40); // 火 only
        QVERIFY(darkestIn(e.lsv1, 3) > normal[3] + 40);     // no sound days
        QCOMPARE(darkestIn(e.lsv1, 2), normal[2]);
        QCOMPARE(e.list().entries(), entries);
        QCOMPARE(e.selectedRows(), QList<int>{0});

        // A new Monday entry counts; undone, it goes; a list opened counts.
        QCOMPARE(chooseFromMenu(e.w->findChild<DataListView *>(u"ListBox1"_s), 0, u"N15"_s).name,
                 u"pop1"_s);
        QTRY_COMPARE(count->text(), u"月曜日: 3 項目"_s);
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QTRY_COMPARE(count->text(), u"月曜日: 2 項目"_s);
        writeBytes(e.path(u"list.txt"_s), "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"水") + "\r\n");
        e.prompts.answer({e.path(u"list.txt"_s)});
        e.keys(QKeySequence(u"Ctrl+O"_s));
        QTRY_COMPARE(count->text(), u"月曜日: 0 項目"_s);

        // Back round to すべて: the list as always.
        e.keys(QKeySequence(u"Shift+F7"_s));
        e.keys(QKeySequence(u"Shift+F7"_s));
        QCOMPARE(choice->currentText(), u"すべて"_s);
        QVERIFY(!count->isVisible());
    }

    // Each night's count, round the week both ways: the first and the last
    // day of the week count the entries that name them.
    void previewCountsEachNight_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("shown");
        const QStringList counts = {u"日曜日: 2 項目"_s, u"月曜日: 2 項目"_s, u"火曜日: 1 項目"_s,
                                    u"水曜日: 2 項目"_s, u"木曜日: 1 項目"_s, u"金曜日: 1 項目"_s,
                                    u"土曜日: 2 項目"_s};
        for (int day = 0; day < 7; ++day)
            QTest::addRow("F7 %d times", day + 1)
                << QKeySequence(Qt::Key_F7) << day + 1 << counts[day];
        QTest::newRow("Shift+F7 once") << QKeySequence(u"Shift+F7"_s) << 1 << counts[6];
    }
    void previewCountsEachNight() {
        QFETCH(QKeySequence, key);
        QFETCH(int, presses);
        QFETCH(QString, shown);
        Editing e;
        QByteArray list;
        for (const char16_t *days : {u"土", u"日", u"日月火水木金土", u"月水"})
            list += "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(days) + "\r\n";
        writeBytes(e.path(u"week.txt"_s), list);
        e.prompts.answer({e.path(u"week.txt"_s)});
        e.keys(QKeySequence(u"Ctrl+O"_s));
        QTRY_COMPARE(e.list().size(), 4);
        for (int i = 0; i < presses; ++i)
            e.keys(key);
        QCOMPARE(e.label("PreviewCount")->text(), shown);
    }

    // "最近使ったファイル": the last 8 lists opened or saved, newest first,
    // kept for the user; a list that is gone is greyed, its path kept.
    void recentFiles() {
        Editing e;
        const QString recent =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            u"/kirano/recent.txt"_s;
        QFile::remove(recent);
        auto open = [&e](const QString &name) {
            writeBytes(e.path(name), "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n");
            e.prompts.answer({e.path(name)});
            e.keys(QKeySequence(u"Ctrl+O"_s));
        };
        for (int i = 1; i <= 9; ++i)
            open(u"巡回%1.txt"_s.arg(i));
        e.prompts.answer({e.path(u"保存.txt"_s)});
        e.keys(QKeySequence(u"Ctrl+Shift+S"_s));
        QFile::remove(e.path(u"巡回8.txt"_s));

        // F10, up to the last item of ファイル, into its submenu.
        e.keys(QKeySequence(Qt::Key_F10));
        QTRY_COMPARE(QApplication::activePopupWidget()->objectName(), u"File1"_s);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTRY_COMPARE(QApplication::activePopupWidget()->objectName(), u"RecentFiles"_s);
        QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QStringList shown;
        for (QAction *item : menu->actions())
            shown << (item->isEnabled() ? u""_s : u"(gone) "_s) + item->text();
        QStringList expected{u"&1 %1保存.txt"_s.arg(e.folder())};
        for (int i = 9; i >= 3; --i)
            expected << u"%1&%2 %3巡回%4.txt"_s.arg(i == 8 ? u"(gone) "_s : QString())
                            .arg(11 - i)
                            .arg(e.folder())
                            .arg(i);
        QCOMPARE(shown, expected);
        // Down to 巡回5.txt, past the one that is gone, and Enter opens it.
        for (int i = 0; i < 10 && menu->activeAction() != menu->actions().value(5); ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QCOMPARE(menu->activeAction(), menu->actions().value(5));
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_COMPARE(e.label(), u"[ファイル名： %1巡回5.txt]"_s.arg(e.folder()));
        // Written a moment later, off the window's thread.
        QTRY_COMPARE(readBytes(recent).left(readBytes(recent).indexOf("\r\n")),
                     text::bytesOf(e.path(u"巡回5.txt"_s)));
        QCOMPARE(readBytes(recent).count("\r\n"), 8);
    }
};

KIRANO_GUI_TEST_MAIN(TestEditing)
#include "test_app_editing.moc"

// Marks on the rows the night's run would fail on, through the real window:
// shown as they are found, cleared when the file on disk changes, reached
// with F8.
#include "app/mainwindow.h"
#include "app/patrollistpane.h"
#include "app/patrolmarks.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"
#include "text/files.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPaintEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>
#include <algorithm>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

QByteArray lines(const QList<QByteArray> &fields) {
    QByteArray bytes;
    for (const QByteArray &field : fields)
        bytes += field + "\r\n";
    return bytes;
}

const QByteArray kDays = sjis(u"月");

struct Marked : Fixture {
    MainWindow *w = nullptr;
    QTreeView *lsv1 = nullptr;

    // Forum F/ with rooms 1 and 2; the list reads rooms 5, 6 and 8 of it.
    Marked() {
        writeSettings("1\r\n1\r\n1\r\n", true);
        QDir().mkpath(data() + u"F"_s);
        writeBytes(data() + u"forumlist.txt"_s, lines({"Forum", "F/"}));
        writeRooms({"01  title", "02  title"});
        w = &start();
        lsv1 = w->findChild<QTreeView *>(u"lsv1"_s);
        QList<QByteArray> entries = {"mestitlea", "F/", "0", "0", "0", kDays};
        entries << QList<QByteArray>{"mesrc", "F/", "5", "7", "0", kDays};
        entries << QList<QByteArray>{"bill", "0", "0", "0", "0", kDays};
        entries << QList<QByteArray>{"mesrc", "F/", "6", "7", "0", kDays};
        entries << QList<QByteArray>{"mesrc", "F/", "8", "7", "0", kDays};
        writeBytes(folder() + u"list.txt"_s, lines(entries));
        prompts.answer({folder() + u"list.txt"_s});
        QTRY_VERIFY(w->isActiveWindow()); // the key is a shortcut of the active window
        QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);
    }
    void writeRooms(const QList<QByteArray> &rooms) {
        writeBytes(data() + u"F/mes.txt"_s, lines(rooms));
    }
    QVariant cell(int row, int role) { return lsv1->model()->index(row, 0).data(role); }
    // The tooltip of each row, "" for a row without problems.
    QStringList tips() {
        QStringList all;
        for (int row = 0; row < lsv1->model()->rowCount(); ++row)
            all << cell(row, Qt::ToolTipRole).toString();
        return all;
    }
    QList<int> selectedRows() { return selectedRowsOf(lsv1); }
    // Opens a list of these entries in place of the first, with Ctrl+O.
    void open(const QList<QByteArray> &fields) {
        writeBytes(folder() + u"other.txt"_s, lines(fields));
        prompts.answer({folder() + u"other.txt"_s});
        QTRY_VERIFY(w->isActiveWindow());
        QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(lsv1->model()->rowCount(), fields.size() / 6);
    }
};

// A mail entry sending the file.
QList<QByteArray> sending(const QString &file) {
    return {"mailuptxt", text::bytesOf(file), "0", "0", "0", kDays};
}

QString missingFile(const QString &file) {
    return u"送るファイル「%1」がありません"_s.arg(file);
}

// What a widget was asked to paint.
struct PaintSpy : QObject {
    QRegion region;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

// The note the status line shows, empty when none.
QString noteShown(const MainWindow &w) {
    const auto *label = w.findChild<QLabel *>(QStringLiteral("StatusNote"));
    return label && !label->isHidden() ? label->text() : QString();
}

QString missingRoom(int room) {
    return u"%1番会議室が F/ の会議室リストにありません"_s.arg(room);
}

} // namespace

class TestPatrolMarks : public QObject {
    Q_OBJECT
  private slots:
    void roomMissingFromTheCapturedListIsMarkedUntilTheFileHasIt() {
        Marked m;
        QTRY_COMPARE(m.tips(),
                     (QStringList{{}, missingRoom(5), {}, missingRoom(6), missingRoom(8)}));
        QCOMPARE(m.cell(1, Qt::AccessibleDescriptionRole).toString(), missingRoom(5));
        QVERIFY(m.cell(1, PatrolListModel::MarkRole).toBool());
        QVERIFY(!m.cell(0, PatrolListModel::MarkRole).toBool());

        // The autopilot captures the list again, now with room 5, replacing
        // the file: no click.
        QVERIFY(text::writeFile(m.data() + u"F/mes.txt"_s, lines({"01  t", "05  t"})));
        QTRY_COMPARE(m.tips(), (QStringList{{}, {}, {}, missingRoom(6), missingRoom(8)}));
        // Rewritten in place, with room 6 too.
        m.writeRooms({"05  title", "06  title"});
        QTRY_COMPARE(m.tips(), (QStringList{{}, {}, {}, {}, missingRoom(8)}));
    }

    // A marked row moved with Alt+Up takes what its mark rests on along: a
    // later change on disk rechecks it in its new place.
    void aMovedRowIsCheckedAgainWhereItNowIs() {
        Marked m;
        QTRY_COMPARE(m.tips().count(QString()), 2);
        clickRow(m.lsv1, 3);
        QTRY_VERIFY(m.lsv1->hasFocus());
        QTest::keySequence(m.lsv1, QKeySequence(u"Alt+Up"_s));
        QCOMPARE(m.tips(), (QStringList{{}, missingRoom(5), missingRoom(6), {}, missingRoom(8)}));
        m.writeRooms({"05  title", "06  title"});
        QTRY_COMPARE(m.tips(), (QStringList{{}, {}, {}, {}, missingRoom(8)}));
    }

    // A file to send in a folder not made yet: marked until both are there,
    // and the view hears of the mark going.
    void aFileInAFolderMadeLaterClearsItsMark() {
        Marked m;
        const QString sent = m.folder() + u"up/new/a.txt"_s;
        const QList<QByteArray> entry = {"mesup", "F/", "1", text::bytesOf(sent), "0", kDays};
        writeBytes(m.folder() + u"one.txt"_s, lines(entry));
        m.prompts.answer({m.folder() + u"one.txt"_s});
        QTRY_VERIFY(m.w->isActiveWindow());
        QTest::keyClick(m.w, Qt::Key_O, Qt::ControlModifier);
        const QString missing = u"送るファイル「%1」がありません"_s.arg(sent);
        QTRY_COMPARE(m.tips(), QStringList{missing});
        QSignalSpy shown(m.lsv1->model(), &QAbstractItemModel::dataChanged);
        QVERIFY(QDir().mkpath(m.folder() + u"up/new"_s));
        writeBytes(sent, "text\r\n");
        QTRY_COMPARE(m.tips(), QStringList{QString()});
        QVERIFY(std::any_of(shown.cbegin(), shown.cend(), [](const QList<QVariant> &change) {
            return change.at(0).toModelIndex().row() == 0 &&
                   change.at(2).value<QList<int>>().contains(Qt::ToolTipRole);
        }));
    }

    // A row checked again may rest on a file it did not look at before: once
    // its forum is listed, its room list counts, and a change of it too.
    void aForumListedLaterHasItsRoomListFollowed() {
        Marked m;
        m.open({"mesrc", "G/", "5", "7", "0", kDays});
        QTRY_COMPARE(m.tips(), QStringList{u"フォーラム「G/」が forumlist.txt にありません"_s});
        QVERIFY(QDir().mkpath(m.data() + u"G"_s));
        writeBytes(m.data() + u"forumlist.txt"_s, lines({"Forum", "F/", "Other", "G/"}));
        QTRY_COMPARE(m.tips(), QStringList{QString()});
        QTRY_VERIFY(m.w->patrolPane()->marks()->isSettled());
        writeBytes(m.data() + u"G/mes.txt"_s, lines({"01  title"}));
        QTRY_COMPARE(m.tips(), QStringList{u"5番会議室が G/ の会議室リストにありません"_s});
    }

    // Marks changing on many rows at once: the rows of them on screen are
    // painted again, down to the last one showing.
    void marksChangingOnScreenArePaintedAgain() {
        Marked m;
        QTRY_COMPARE(m.tips().count(QString()), 2);
        // Rows 0 and 1 show; the marks of rows 1 to 4 go. (No scroll bar comes
        // and takes the room of a row.)
        m.lsv1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int shown = 2 * m.lsv1->visualRect(m.lsv1->model()->index(0, 0)).height();
        m.lsv1->setFixedHeight(shown + m.lsv1->height() - m.lsv1->viewport()->height());
        QTRY_COMPARE(m.lsv1->viewport()->height(), shown);
        PaintSpy painted;
        m.lsv1->viewport()->installEventFilter(&painted);
        QTest::qWait(200); // the paint of the new size is over
        painted.region = QRegion();
        m.writeRooms({"05  title", "06  title", "08  title"});
        QTRY_COMPARE(m.tips(), (QStringList{{}, {}, {}, {}, {}}));
        const QRect row1 = m.lsv1->visualRect(m.lsv1->model()->index(1, 0));
        QTRY_VERIFY(painted.region.contains(row1));
    }

    // The status line names the selected row's problems and counts the
    // marked rows, as the marks change.
    void statusLineShowsTheSelectedRowsProblemsAndTheCount() {
        Marked m;
        auto shown = [&m](const char *label) {
            return m.w->findChild<QLabel *>(QString::fromLatin1(label))->text();
        };
        QTRY_COMPARE(shown("StatusCount"), u"問題 3 件"_s);
        QCOMPARE(shown("StatusProblems"), QString());
        clickRow(m.lsv1, 3);
        QCOMPARE(shown("StatusProblems"), missingRoom(6));
        clickRow(m.lsv1, 2);
        QCOMPARE(shown("StatusProblems"), QString());
        clickRow(m.lsv1, 4);
        m.writeRooms({"05  title", "06  title"});
        QTRY_COMPARE(shown("StatusCount"), u"問題 1 件"_s);
        QCOMPARE(shown("StatusProblems"), missingRoom(8));
        QTest::keyClick(m.lsv1, Qt::Key_Delete);
        QCOMPARE(shown("StatusCount"), u"問題 0 件"_s);
        QCOMPARE(shown("StatusProblems"), QString());
    }

    // A folder renamed or moved, at any depth above the files the rows
    // send, while Kirano is active: the rows are marked at once, and cleared
    // when it comes back. A file elsewhere keeps its row clear. A folder
    // removed and made anew (no "to") is another folder to the system, and
    // is watched anew.
    void movedFolderMarksTheRowsOfItsFiles_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("the files' folder") << u"upload/text"_s << u"upload/text.bak"_s;
        QTest::newRow("two levels up") << u"upload"_s << u"upload.bak"_s;
        QTest::newRow("moved into another") << u"upload/text"_s << u"data/text"_s;
        QTest::newRow("removed, made anew") << u"upload/text"_s << QString();
        QTest::newRow("two levels up removed, made anew") << u"upload"_s << QString();
    }
    void movedFolderMarksTheRowsOfItsFiles() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        Marked m;
        QList<QByteArray> entries;
        const QStringList files = {m.folder() + u"upload/text/a.txt"_s,
                                   m.folder() + u"upload/text/b.txt"_s,
                                   m.folder() + u"kept/c.txt"_s};
        for (const QString &file : files) {
            QVERIFY(QDir().mkpath(QFileInfo(file).path()));
            writeBytes(file, "text\r\n");
            entries << sending(file);
        }
        m.open(entries);
        QTRY_COMPARE(m.tips(), (QStringList{{}, {}, {}}));
        QVERIFY(m.w->isActiveWindow());
        if (to.isEmpty())
            QVERIFY(QDir(m.folder() + from).removeRecursively());
        else
            QVERIFY(QDir(m.folder()).rename(from, to));
        QTRY_COMPARE_WITH_TIMEOUT(
            m.tips(), (QStringList{missingFile(files[0]), missingFile(files[1]), {}}), 1000);
        if (to.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(files[0]).path()));
            writeBytes(files[0], "text\r\n");
            writeBytes(files[1], "text\r\n");
        } else {
            QVERIFY(QDir(m.folder()).rename(to, from));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m.tips(), (QStringList{{}, {}, {}}), 1000);
        // Back where it was, the folder is watched again: a file removed from
        // it now is seen too.
        QVERIFY(QFile::remove(files[1]));
        QTRY_COMPARE_WITH_TIMEOUT(m.tips(), (QStringList{{}, missingFile(files[1]), {}}), 1000);
    }

    // With fewer watches than folders, the status line says so once, and
    // the folders left unwatched are looked at in turns: every row follows
    // its file going and coming back.
    void marksFollowFilesWhenWatchesRunOut() {
        Marked m;
        QSignalSpy said(m.w->patrolPane()->marks(), &PatrolMarks::note);
        m.w->patrolPane()->marks()->setWatchLimit(2);
        QList<QByteArray> entries;
        QStringList files;
        for (int i = 0; i < 30; ++i) {
            files << m.folder() + u"up%1/f%2.txt"_s.arg(i % 3).arg(i);
            QVERIFY(QDir().mkpath(QFileInfo(files.last()).path()));
            writeBytes(files.last(), "text\r\n");
            entries << sending(files.last());
        }
        m.open(entries);
        QTRY_COMPARE(m.tips(), QStringList(30, QString()));
        const QString note = u"監視できるファイル数の上限に達しました: 表示が古い場合があります"_s;
        QTRY_COMPARE(noteShown(*m.w), note);
        QStringList missing;
        for (const QString &file : files) {
            QVERIFY(QFile::remove(file));
            missing << missingFile(file);
        }
        QTRY_COMPARE(m.tips(), missing);
        for (const QString &file : files)
            writeBytes(file, "text\r\n");
        QTRY_COMPARE(m.tips(), QStringList(30, QString()));
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().first().toString(), note);
    }

    // A forum list too large to hold is not read: the status line names it
    // and its size, no message stops the start, and the rows naming forums
    // are not blamed for it; the marks name the file too. A forum list that
    // cannot be read for another reason (a FIFO) leaves the lists empty
    // without a word, as before.
    void forumListTooLargeIsNamedInTheStatusLine_data() {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("4 GiB") << false;
        QTest::newRow("FIFO") << true;
    }
    void forumListTooLargeIsNamedInTheStatusLine() {
        QFETCH(bool, fifo);
        Fixture f;
        f.writeSettings("1\r\n1\r\n1\r\n", true);
        const QString list = f.data() + u"forumlist.txt"_s;
        if (fifo) {
            QVERIFY(makeSpecial(list, Special::Fifo));
        } else {
            writeBytes(list, QByteArray());
            QVERIFY(QFile::resize(list, qint64(1) << 32));
        }
        MainWindow &w = f.start();
        const QString note =
            fifo ? QString() : list + u" を読めません: 大きすぎます (4294967296 バイト)"_s;
        QCOMPARE(noteShown(w), note);
        QCOMPARE(f.prompts.asked, QStringList());
        QCOMPARE(w.findChild<QAbstractItemView *>(u"ListBox2"_s)->model()->rowCount(), 0);
        QSignalSpy marksSaid(w.patrolPane()->marks(), &PatrolMarks::note);
        writeBytes(f.folder() + u"one.txt"_s, lines({"mestitlea", "F/", "0", "0", "0", kDays}));
        f.prompts.answer({f.folder() + u"one.txt"_s});
        QTRY_VERIFY(w.isActiveWindow());
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        auto *lsv1 = w.findChild<QTreeView *>(u"lsv1"_s);
        QTRY_COMPARE(lsv1->model()->rowCount(), 1);
        QTRY_COMPARE(lsv1->model()->index(0, 0).data(PatrolListModel::MarkRole).toBool(), fifo);
        QTRY_COMPARE(noteShown(w), note);
        if (!fifo)
            QTRY_COMPARE(marksSaid.value(0).value(0).toString(), note);
    }

    // Each thing that can change a row's verdict checks it again: each
    // captured file gaining what the row names, the row's days changed
    // (and that change undone and redone). The settings dialog's are in
    // the dialogs' tests.
    void eachTriggerChecksTheRowAgain_data() {
        QTest::addColumn<QByteArrayList>("entry");
        QTest::addColumn<QString>("file"); // below the data folder, written as the row's
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("marked");
        const QByteArray patio = "Patio\r\nPAT0\r\npw0\r\n";
        QTest::newRow("forumlist.txt gains the forum")
            << QByteArrayList{"mestitlea", "G/", "0", "0", "0", kDays} << u"forumlist.txt"_s
            << lines({"Forum", "F/"}) << lines({"Forum", "F/", "Other", "G/"})
            << u"フォーラム「G/」が forumlist.txt にありません"_s;
        QTest::newRow("dl.txt gains the library")
            << QByteArrayList{"dltitleb", "F/", "3", "980101", "0", kDays} << u"F/dl.txt"_s
            << lines({"0001 one"}) << lines({"0001 one", "0003 three"})
            << u"3番ライブラリィが F/ のライブラリィリストにありません"_s;
        QTest::newRow("dl1.txt gains the download")
            << QByteArrayList{"dldown", "F/", "1", "5", "A.LZH", kDays} << u"F/dl1.txt"_s
            << lines({"     1 A.LZH"}) << lines({"     1 A.LZH", "     5 B.LZH"})
            << u"ダウンロード番号 5 が dl1.txt にありません"_s;
        QTest::newRow("patiolist.txt gains the patio")
            << QByteArrayList{"patiorc", "PAT1", "pw1", "0", "0", kDays} << u"patiolist.txt"_s
            << patio << patio + lines({"Patio", "PAT1", "pw1"})
            << u"パティオＩＤ「PAT1」が patiolist.txt にありません"_s;
        QTest::newRow("patiolist.txt gains the password")
            << QByteArrayList{"patiorc", "PAT1", "pw1", "0", "0", kDays} << u"patiolist.txt"_s
            << lines({"Patio", "PAT1", "old"}) << lines({"Patio", "PAT1", "pw1"})
            << u"パティオＩＤ「PAT1」のパスワードが patiolist.txt と違います"_s;
        QTest::newRow("Newtitle.txt made") << QByteArrayList{"new", "n.txt", "0", "0", "0", kDays}
                                           << u"Newtitle.txt"_s << QByteArray() << lines({"0001"})
                                           << u"読むお知らせを選んだ Newtitle.txt がありません"_s;
        QTest::newRow("曜日変更") << QByteArrayList{"bill", "0", "0", "0", "0", "x"} << QString()
                                  << QByteArray() << QByteArray()
                                  << u"曜日「x」が正しくありません"_s;
    }
    void eachTriggerChecksTheRowAgain() {
        QFETCH(QByteArrayList, entry);
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, marked);
        Marked m;
        if (!file.isEmpty() && !before.isNull())
            writeBytes(m.data() + file, before);
        if (entry[0] == "new")
            entry[1] = text::bytesOf(m.folder()) + entry[1];
        m.open(entry);
        QTRY_COMPARE(m.tips(), QStringList{marked});
        if (!file.isEmpty()) {
            writeBytes(m.data() + file, after);
        } else {
            clickRow(m.lsv1, 0);
            chooseFromMenu(m.lsv1, 0, u"N30"_s);
            QCOMPARE(m.w->patrolList()->entry(0).days, sjis(u"日月火水木金土"));
            QCOMPARE(m.tips(), QStringList{QString()});
            QCOMPARE(m.cell(0, PatrolListModel::MarkRole).toBool(), false); // the sign too
            QTest::keySequence(m.w, QKeySequence(u"Ctrl+Z"_s));
            QCOMPARE(m.tips(), QStringList{marked});
            QTest::keySequence(m.w, QKeySequence(u"Ctrl+Y"_s));
        }
        QTRY_COMPARE(m.tips(), QStringList{QString()});
        QCOMPARE(m.cell(0, PatrolListModel::MarkRole).toBool(), false);
    }

    // A row deleted before its check came round (a long list just opened,
    // checked in slices) leaves the marks to finish and watch: a file made
    // afterwards clears its row.
    void aRowDeletedBeforeItsCheckLeavesTheMarksWatching() {
        Marked m;
        QList<QByteArray> entries;
        QStringList files;
        // Each in a folder of its own, so that each check looks at the disk.
        for (int i = 0; i < 100000; ++i) {
            files << m.folder() + u"up/d%1/f.txt"_s.arg(i);
            entries << sending(files.last());
        }
        writeBytes(m.folder() + u"long.txt"_s, lines(entries));
        m.prompts.answer({m.folder() + u"long.txt"_s});
        QTRY_VERIFY(m.w->isActiveWindow());
        QTest::keyClick(m.w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m.lsv1->model()->rowCount(), 100000);
        m.lsv1->setFocus();
        QTest::keyClick(m.lsv1, Qt::Key_End);
        QTest::keyClick(m.lsv1, Qt::Key_Delete);
        QCOMPARE(m.lsv1->model()->rowCount(), 99999);
        QTRY_COMPARE_WITH_TIMEOUT(m.tips().first(), missingFile(files.first()), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(m.w->patrolPane()->marks()->isSettled(), 20000);
        QVERIFY(QDir().mkpath(m.folder() + u"up/d0"_s));
        writeBytes(files.first(), "text\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(m.tips().first(), QString(), 10000);
    }

    // More changes at once than the system keeps for the watcher (a folder
    // filled while Kirano was busy): the one that matters among them, a file
    // removed, is still shown.
    void aFloodOfChangesKeepsTheOneThatMatters() {
        Marked m;
        const QString folder = m.folder() + u"flood/"_s;
        QVERIFY(QDir().mkpath(folder));
        writeBytes(folder + u"a.txt"_s, "text\r\n");
        m.open(sending(folder + u"a.txt"_s));
        QTRY_COMPARE(m.tips(), QStringList{QString()});
        QTRY_VERIFY(m.w->patrolPane()->marks()->isSettled());
        // No event is handled meanwhile: the changes pile up unread.
        for (int i = 0; i < 20000; ++i) {
            QFile file(folder + QString::number(i));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::remove(folder + u"a.txt"_s));
        QTRY_COMPARE_WITH_TIMEOUT(m.tips(), QStringList{missingFile(folder + u"a.txt"_s)}, 10000);
    }

    // F8 and Shift+F8 from each place: nothing selected, a row before, after
    // and on a marked row, the first and the last row; and the only marked
    // row, which they keep.
    void f8FromEachStart_data() {
        QTest::addColumn<int>("start"); // -1: nothing selected
        QTest::addColumn<bool>("back");
        QTest::addColumn<bool>("onlyOne"); // rooms 5 and 6 captured: row 4 alone marked
        QTest::addColumn<int>("selected");
        QTest::newRow("none, F8") << -1 << false << false << 1;
        QTest::newRow("none, Shift+F8") << -1 << true << false << 4;
        QTest::newRow("first, F8") << 0 << false << false << 1;
        QTest::newRow("first, Shift+F8") << 0 << true << false << 4;
        QTest::newRow("between, F8") << 2 << false << false << 3;
        QTest::newRow("between, Shift+F8") << 2 << true << false << 1;
        QTest::newRow("first marked, Shift+F8") << 1 << true << false << 4;
        QTest::newRow("last, F8") << 4 << false << false << 1;
        QTest::newRow("last, Shift+F8") << 4 << true << false << 3;
        QTest::newRow("the only one, F8") << 4 << false << true << 4;
        QTest::newRow("the only one, Shift+F8") << 4 << true << true << 4;
        QTest::newRow("the only one from none") << -1 << true << true << 4;
        QTest::newRow("the only one from the first") << 0 << false << true << 4;
    }
    void f8FromEachStart() {
        QFETCH(int, start);
        QFETCH(bool, back);
        QFETCH(bool, onlyOne);
        QFETCH(int, selected);
        Marked m;
        if (onlyOne)
            m.writeRooms({"05  title", "06  title"});
        QTRY_COMPARE(m.tips().count(QString()), onlyOne ? 4 : 2);
        if (start >= 0)
            clickRow(m.lsv1, start);
        QCOMPARE(m.selectedRows(), start >= 0 ? QList<int>{start} : QList<int>());
        QTest::keySequence(m.w,
                           back ? QKeySequence(Qt::SHIFT | Qt::Key_F8) : QKeySequence(Qt::Key_F8));
        QCOMPARE(m.selectedRows(), QList<int>{selected});
    }

    void f8GoesRoundTheMarkedRows() {
        Marked m;
        QTRY_COMPARE(m.tips().count(QString()), 2);
        // From the forum list, F8 takes the keyboard to lsv1 as well: Delete
        // then deletes the row it selected.
        auto *forums = m.w->findChild<QListView *>(u"ListBox2"_s);
        forums->setFocus();
        QTRY_VERIFY(forums->hasFocus());
        QTest::keySequence(m.w, QKeySequence(Qt::SHIFT | Qt::Key_F8));
        QCOMPARE(m.selectedRows(), QList<int>{4});
        QTRY_VERIFY(m.lsv1->hasFocus());
        QTest::keySequence(m.lsv1, QKeySequence(Qt::Key_Delete));
        QCOMPARE(m.lsv1->model()->rowCount(), 4);
        QTest::keySequence(m.w, QKeySequence(u"Ctrl+Z"_s));
        forums->setFocus();
        const QList<std::pair<QKeySequence, int>> steps = {
            {QKeySequence(Qt::Key_F8), 1},
            {QKeySequence(Qt::Key_F8), 3},
            {QKeySequence(Qt::Key_F8), 4},
            {QKeySequence(Qt::Key_F8), 1},
            {QKeySequence(Qt::SHIFT | Qt::Key_F8), 4},
            {QKeySequence(Qt::SHIFT | Qt::Key_F8), 3}};
        for (const auto &[key, row] : steps) {
            QTest::keySequence(m.w, key);
            QCOMPARE(m.selectedRows(), QList<int>{row});
        }
        // Undone, the list is empty and F8 finds nothing; redone, the marks
        // come back with their rows.
        QTest::keySequence(m.w, QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(m.tips(), QStringList());
        QTest::keySequence(m.w, QKeySequence(Qt::Key_F8));
        QCOMPARE(m.selectedRows(), QList<int>());
        QTest::keySequence(m.w, QKeySequence(u"Ctrl+Y"_s));
        QTRY_COMPARE(m.tips(),
                     (QStringList{{}, missingRoom(5), {}, missingRoom(6), missingRoom(8)}));
    }
};

KIRANO_GUI_TEST_MAIN(TestPatrolMarks)
#include "test_app_marks.moc"

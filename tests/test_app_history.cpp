// The patrol list edited as in any editor: keys, undo and redo, drag to
// reorder, all through the real window.
#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "editorfixture.h"
#include "guitestsupport.h"
#include "patrol/patrolentry.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"

#include "app/patrolundo.h"
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <QtTest>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIRANO_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KIRANO_ASAN 1
#endif
#if defined(KIRANO_ASAN)
#include <sanitizer/allocator_interface.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

// Bytes the process holds on its heap now; 0 where that cannot be told.
std::size_t liveHeap() {
#if defined(KIRANO_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

QByteArray entryLines(const QByteArray &name) {
    return name + "\r\n1\r\n2\r\n3\r\n4\r\n" + sjis(u"月") + "\r\n";
}

// The drag events a window system gives `view` as `data` is dragged along
// `path` (viewport points) and dropped at its end: a drop where the last move
// was accepted, else a leave.
void dragEvents(QAbstractItemView *view, const QMimeData *data, const QList<QPoint> &path) {
    QWidget *viewport = view->viewport();
    QDragEnterEvent enter(path.first(), Qt::MoveAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    bool accepted = enter.isAccepted();
    for (const QPoint &at : path) {
        if (!viewport->rect().contains(at)) {
            accepted = false;
            break;
        }
        QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        accepted = move.isAccepted();
    }
    if (accepted) {
        QDropEvent drop(path.last(), Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
    } else {
        QDragLeaveEvent leave;
        QApplication::sendEvent(viewport, &leave);
    }
}

// The user's drag of row `from` along `path` (viewport points), dropped at
// its end. On a window system the view's own QDrag carries it: a timer moves
// the mouse and releases it inside the drag's loop. The offscreen platform
// carries no drag (QDrag::exec returns at once), so there the press and the
// move start the view's drag as the user's do, and the drop comes as the
// view's drag events with the data the view itself makes for its selection.
void dragRow(QAbstractItemView *view, int from, const QList<QPoint> &path) {
    QWidget *viewport = view->viewport();
    const QPoint start = rowPoint(view, from);
    const QPoint away = start + QPoint(QApplication::startDragDistance() + 2, 0);
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    QTest::mouseMove(viewport, start + QPoint(1, 0));
    if (QGuiApplication::platformName() != u"offscreen"_s) {
        bool released = false;
        QTimer::singleShot(20, viewport, [&] {
            for (const QPoint &at : path)
                QTest::mouseMove(viewport, at);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, path.last());
            released = true;
        });
        QTest::mouseMove(viewport, away);
        QTRY_VERIFY(released);
        return;
    }
    QTest::mouseMove(viewport, away);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, away);
    std::unique_ptr<QMimeData> data(
        view->model()->mimeData(view->selectionModel()->selectedIndexes()));
    QVERIFY(data);
    dragEvents(view, data.get(), path);
}

// A point in the upper or lower half of a row.
QPoint upperHalf(QAbstractItemView *view, int row) {
    const QRect r = view->visualRect(view->model()->index(row, 0));
    return QPoint(r.center().x(), r.top() + 2);
}
QPoint lowerHalf(QAbstractItemView *view, int row) {
    const QRect r = view->visualRect(view->model()->index(row, 0));
    return QPoint(r.center().x(), r.bottom() - 2);
}

// The editor with its history, list files opened with Ctrl+O and keys typed
// as the user types them.
struct Editor : EditorFixture {
    PatrolHistory *history = w->findChild<PatrolHistory *>(u"PatrolHistory"_s);

    // A list file of these entries, opened with Ctrl+O.
    void open(const QString &name, const QByteArray &content) {
        writeBytes(path(name), content);
        prompts.answer({path(name)});
        keys(QKeySequence(u"Ctrl+O"_s)); // once the window is active, as a user's key
        prompts.takeAsked();
    }
    void openEntries(std::initializer_list<const char *> names) {
        QByteArray content;
        for (const char *n : names)
            content += entryLines(n);
        open(u"list.txt"_s, content);
    }
    void addBill() { chooseFromMenu(w->findChild<DataListView *>(u"ListBox1"_s), 1, u"N15"_s); }
    // Keys as the user types them: into the window once it is active again
    // (a closed pop-up hands activation back through the window system), or
    // into `to` once it has the focus.
    void keys(const QKeySequence &keys, QWidget *to = nullptr) {
        QTRY_VERIFY(w->isActiveWindow());
        if (to)
            QTRY_VERIFY(to->hasFocus());
        QTest::keySequence(to ? to : w, keys);
    }
    // What the user sees: every field of every row, the selection, Label1.
    QString shown() {
        QStringList rows;
        for (int r = 0; r < list().size(); ++r) {
            QStringList fields;
            for (int f = 0; f < PatrolEntry::kFieldCount; ++f)
                fields << text::decode(list().entry(r).field(f));
            rows << fields.join(u'/');
        }
        QStringList selected;
        for (int r : selectedRows())
            selected << QString::number(r);
        return rows.join(u" | ") + u" selected:"_s + selected.join(u',') + u' ' + label();
    }
    // Every file of the folder with its bytes.
    QMap<QString, QByteArray> files() {
        QMap<QString, QByteArray> all;
        for (const QString &name : QDir(folder()).entryList(QDir::Files))
            all.insert(name, readBytes(path(name)));
        return all;
    }
};

enum Change { Appended, Inserted, Delete, Up, Down, Days, Clear, Open, OpenFails, Drag };

} // namespace

class TestPatrolHistory : public QObject {
    Q_OBJECT
  private slots:
    void fileKeys_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("rows");
        QTest::newRow("Ctrl+N") << QKeySequence(u"Ctrl+N"_s) << u"New1"_s << QStringList{} << 0;
        QTest::newRow("Ctrl+O") << QKeySequence(u"Ctrl+O"_s) << u"Open1"_s
                                << QStringList{u"open|ファイルを開く|%1|keep"_s} << 1;
        QTest::newRow("Ctrl+S") << QKeySequence(u"Ctrl+S"_s) << u"Save1"_s
                                << QStringList{u"message|保存しました"_s} << 1;
        QTest::newRow("Ctrl+Shift+S") << QKeySequence(u"Ctrl+Shift+S"_s) << u"SaveAs1"_s
                                      << QStringList{u"save|名前を付けて保存|%1"_s} << 1;
        QTest::newRow("Ctrl+Q") << QKeySequence(u"Ctrl+Q"_s) << u"Exit1"_s << QStringList{} << 1;
    }
    void fileKeys() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, item);
        QFETCH(QStringList, asked);
        QFETCH(int, rows);
        Editor e;
        e.openEntries({"a"});
        // The item shows its key beside its caption.
        QCOMPARE(e.w->findChild<QAction *>(item)->shortcut(), key);
        e.prompts.answer({std::nullopt});
        e.keys(key);
        for (QString &question : asked)
            question = question.arg(e.folder());
        QCOMPARE(e.prompts.takeAsked(), asked);
        QCOMPARE(e.list().size(), rows);
        QCOMPARE(e.w->isVisible(), item != u"Exit1"_s);
    }

    // lsv1's keys run pop4's items with their rules, and nothing while the
    // item is disabled.
    void rowKeys_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArrayList>("order");
        QTest::addColumn<QList<int>>("selection");
        QTest::addColumn<int>("refusals"); // beep and "移動できません"
        QTest::newRow("Delete") << QKeySequence(Qt::Key_Delete) << 1
                                << QByteArrayList{"0", "2", "3"} << QList<int>{} << 0;
        QTest::newRow("Alt+Up") << QKeySequence(u"Alt+Up"_s) << 2
                                << QByteArrayList{"0", "2", "1", "3"} << QList<int>{} << 0;
        QTest::newRow("Alt+Down twice") << QKeySequence(u"Alt+Down, Alt+Down"_s) << 0
                                        << QByteArrayList{"1", "2", "0", "3"} << QList<int>{2} << 0;
        QTest::newRow("Alt+Up on the first")
            << QKeySequence(u"Alt+Up"_s) << 0 << QByteArrayList{"0", "1", "2", "3"} << QList<int>{0}
            << 1;
        QTest::newRow("Alt+Down on the last")
            << QKeySequence(u"Alt+Down"_s) << 3 << QByteArrayList{"0", "1", "2", "3"}
            << QList<int>{3} << 1;
        // After "上へ" nothing is selected, so the items are disabled.
        QTest::newRow("nothing selected")
            << QKeySequence(u"Alt+Up, Alt+Up, Alt+Down, Del"_s) << 2
            << QByteArrayList{"0", "2", "1", "3"} << QList<int>{} << 0;
    }
    void rowKeys() {
        QFETCH(QKeySequence, keys);
        QFETCH(int, selected);
        QFETCH(QByteArrayList, order);
        QFETCH(QList<int>, selection);
        QFETCH(int, refusals);
        Editor e;
        e.openEntries({"0", "1", "2", "3"});
        e.select(selected);
        e.keys(keys, e.lsv1);
        QCOMPARE(e.commands(), order);
        QCOMPARE(e.selectedRows(), selection);
        QStringList refused;
        for (int i = 0; i < refusals; ++i)
            refused << u"beep"_s << u"message|移動できません"_s;
        QCOMPARE(e.prompts.takeAsked(), refused);
        // Away from lsv1 the keys do nothing to the list.
        e.select(1);
        e.tick(1);
        e.tick(1);
        e.keys(QKeySequence(u"Del, Alt+Up"_s));
        QCOMPARE(e.commands(), order);
    }

    void menuKeysOpenTheRowsPopup_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("Menu") << QKeySequence(Qt::Key_Menu);
        QTest::newRow("Shift+F10") << QKeySequence(u"Shift+F10"_s);
    }
    void menuKeysOpenTheRowsPopup() {
        QFETCH(QKeySequence, key);
        Editor e;
        e.openEntries({"a", "b", "c"});
        e.select(1);
        OpenedMenu menu = popupBy([&] { e.keys(key, e.lsv1); }, u"Delete2"_s);
        QCOMPARE(menu.name, u"pop4"_s);
        for (const QString &item : {u"N24"_s, u"N25"_s, u"Delete2"_s, u"N30"_s})
            QVERIFY2(menu.enabled.value(item), qPrintable(item));
        QCOMPARE(e.commands(), (QByteArrayList{"a", "c"}));
        QVERIFY(popupBy([&] { e.keys(key, e.lsv1); }).noneEnabled());
    }

    void f10PutsTheKeyboardOnTheMenuBar() {
        Editor e;
        e.keys(QKeySequence(Qt::Key_F10));
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), u"File1"_s);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTRY_COMPARE(QApplication::activePopupWidget()->objectName(), u"SettingsMenu"_s);
        for (int i = 0; i < 3 && QApplication::activePopupWidget(); ++i)
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

    // Each kind of change is one step: undone, the user sees what was there
    // before, selection and Label1 included; redone, what the change made.
    // No file is touched by either.
    void undoAndRedo_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("added at the end") << int(Appended);
        QTest::newRow("inserted") << int(Inserted);
        QTest::newRow("削除") << int(Delete);
        QTest::newRow("上へ") << int(Up);
        QTest::newRow("下へ") << int(Down);
        QTest::newRow("曜日変更") << int(Days);
        QTest::newRow("クリア") << int(Clear);
        QTest::newRow("開く") << int(Open);
        QTest::newRow("開く that fails") << int(OpenFails);
        QTest::newRow("drag") << int(Drag);
    }
    void undoAndRedo() {
        QFETCH(int, change);
        Editor e;
        e.openEntries({"0", "1", "2", "3", "4"});
        writeBytes(e.path(u"other.txt"_s), entryLines("x") + entryLines("y"));
        writeBytes(e.path(u"bad.txt"_s), entryLines("a") + "mesread\r\nF\r\nx\r\n/l\r\n0\r\nd\r\n");
        switch (Change(change)) {
        case Inserted:
        case Down:
            e.select(2);
            break;
        case Delete:
        case Up:
        case Days:
            e.select(3);
            break;
        case Clear:
        case Open:
        case OpenFails:
            e.select(1); // the selection comes back with the entries
            break;
        case Drag:
            e.select(0); // as the press on it does
            break;
        default:
            break;
        }
        if (Change(change) == Days) {
            e.tick(1); // "毎日" off, "月" and "土" on
            e.tick(3);
            e.tick(8);
        }
        const QString before = e.shown();
        const int steps = e.history->count();
        switch (Change(change)) {
        case Appended:
        case Inserted:
            e.addBill();
            break;
        case Delete:
            e.pop4(u"Delete2"_s);
            break;
        case Up:
            e.keys(QKeySequence(u"Alt+Up"_s), e.lsv1);
            break;
        case Down:
            e.pop4(u"N25"_s);
            break;
        case Days:
            e.pop4(u"N30"_s);
            break;
        case Clear:
            e.keys(QKeySequence(u"Ctrl+N"_s));
            break;
        case Open:
        case OpenFails:
            e.prompts.answer({e.path(change == Open ? u"other.txt"_s : u"bad.txt"_s)});
            e.keys(QKeySequence(u"Ctrl+O"_s));
            break;
        case Drag:
            dragRow(e.lsv1, 0, {lowerHalf(e.lsv1, 2)});
            break;
        }
        const QString after = e.shown();
        QVERIFY2(after != before, qPrintable(after));
        QCOMPARE(e.history->count(), steps + 1);
        const QMap<QString, QByteArray> files = e.files();

        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.shown(), before);
        e.keys(QKeySequence(u"Ctrl+Shift+Z"_s));
        QCOMPARE(e.shown(), after);
        e.keys(QKeySequence(u"Ctrl+Z, Ctrl+Y"_s));
        QCOMPARE(e.shown(), after);
        QCOMPARE(e.files(), files);
    }

    // A command that fails, or saves, or changes nothing, leaves no step:
    // Ctrl+Z then takes back the change before it, and never a save.
    void commandsThatChangeNothingLeaveNoStep_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("上へ on the first row") << u"N24"_s;
        QTest::newRow("曜日変更 without a day") << u"N30"_s;
        QTest::newRow("an entry without a day") << u"N15"_s;
        QTest::newRow("開く cancelled") << u"Open1"_s;
        QTest::newRow("上書き保存") << u"Save1"_s;
        QTest::newRow("削除 of a file") << u"Delete1"_s;
    }
    void commandsThatChangeNothingLeaveNoStep() {
        QFETCH(QString, command);
        Editor e;
        e.openEntries({"0", "1"});
        e.select(0);
        const QString beforeMove = e.shown();
        e.pop4(u"N25"_s);
        e.select(0);
        if (command == u"N30"_s || command == u"N15"_s)
            e.tick(1); // "毎日" off, no day ticked
        const int steps = e.history->count();
        if (command == u"N24"_s || command == u"N30"_s)
            e.pop4(command);
        else if (command == u"N15"_s)
            e.addBill();
        else if (command == u"Delete1"_s)
            e.prompts.answer({e.path(u"list.txt"_s), u"ok"_s});
        else if (command == u"Open1"_s)
            e.prompts.answer({std::nullopt});
        if (command.endsWith(u'1'))
            trigger(e.w, command.toLatin1().constData());
        QVERIFY(!e.prompts.takeAsked().isEmpty());
        QCOMPARE(e.history->count(), steps);
        const QMap<QString, QByteArray> files = e.files();
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.shown(), beforeMove);
        QCOMPARE(e.files(), files);
    }

    void dragMovesTheRow_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("to"); // a row's upper or lower half, or below the rows
        QTest::addColumn<QByteArrayList>("order");
        QTest::newRow("down") << 0 << u"lower 2"_s << QByteArrayList{"1", "2", "0", "3", "4"};
        QTest::newRow("up") << 3 << u"upper 1"_s << QByteArrayList{"0", "3", "1", "2", "4"};
        QTest::newRow("up to the top")
            << 4 << u"upper 0"_s << QByteArrayList{"4", "0", "1", "2", "3"};
        QTest::newRow("below every row")
            << 1 << u"below"_s << QByteArrayList{"0", "2", "3", "4", "1"};
        QTest::newRow("just below itself")
            << 2 << u"upper 3"_s << QByteArrayList{"0", "1", "2", "3", "4"};
        QTest::newRow("back onto itself")
            << 2 << u"lower 2"_s << QByteArrayList{"0", "1", "2", "3", "4"};
        QTest::newRow("outside") << 2 << u"outside"_s << QByteArrayList{"0", "1", "2", "3", "4"};
    }
    void dragMovesTheRow() {
        QFETCH(int, from);
        QFETCH(QString, to);
        QFETCH(QByteArrayList, order);
        Editor e;
        e.openEntries({"0", "1", "2", "3", "4"});
        const QByteArrayList before = e.commands();
        const PatrolEntry dragged = e.list().entry(from);
        const int steps = e.history->count();
        const QStringList where = to.split(u' ');
        const int row = where.value(1).toInt();
        const QPoint end = where[0] == u"lower"_s   ? lowerHalf(e.lsv1, row)
                           : where[0] == u"upper"_s ? upperHalf(e.lsv1, row)
                           : where[0] == u"below"_s ? belowRows(e.lsv1)
                                                    : QPoint(-30, -30);
        // Over another row first, so that a drop on itself is one that came back.
        dragRow(e.lsv1, from, {lowerHalf(e.lsv1, from == 4 ? 0 : 4), end});
        QCOMPARE(e.commands(), order);
        const bool moved = order != before;
        QCOMPARE(e.history->count(), steps + (moved ? 1 : 0));
        if (!moved)
            return;
        const int now = int(order.indexOf(dragged.command));
        QCOMPARE(e.list().entry(now), dragged); // all six fields
        QCOMPARE(e.selectedRows(), QList<int>{now});
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.commands(), before);
        QCOMPARE(e.selectedRows(), QList<int>{from});
    }

    // What another program, or another list, drags over lsv1 is refused.
    void nothingIsDroppedFromElsewhere_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("a file") << u"file"_s;
        QTest::newRow("a text") << u"text"_s;
        QTest::newRow("a row of another list") << u"list"_s;
    }
    void nothingIsDroppedFromElsewhere() {
        QFETCH(QString, from);
        Editor e;
        e.openEntries({"0", "1", "2"});
        PatrolListModel other;
        other.setEntries({e.list().entry(0), e.list().entry(1)});
        std::unique_ptr<QMimeData> data(from == u"list"_s ? other.mimeData({other.index(0, 0)})
                                                          : new QMimeData);
        if (from == u"file"_s)
            data->setUrls({QUrl::fromLocalFile(e.path(u"list.txt"_s))});
        if (from == u"text"_s)
            data->setText(u"bill"_s);
        dragEvents(e.lsv1, data.get(), {upperHalf(e.lsv1, 1), lowerHalf(e.lsv1, 2)});
        QCOMPARE(e.commands(), (QByteArrayList{"0", "1", "2"}));
        QCOMPARE(e.history->count(), 1);
    }

    // A change far from the rows on screen brings its row into view: an
    // entry added at the end of a long list, and the undo and redo of it
    // and of a deletion.
    void theChangedRowIsScrolledIntoView() {
        Editor e;
        QByteArray content;
        for (int i = 0; i < 159; ++i)
            content += entryLines(QByteArray::number(i));
        e.open(u"long.txt"_s, content);
        auto shown = [&e](int row) {
            return e.lsv1->viewport()->rect().contains(e.lsv1->visualRect(e.list().index(row, 0)));
        };
        QVERIFY(shown(0) && !shown(158));
        e.addBill();
        QCOMPARE(e.list().size(), 160);
        QVERIFY(shown(159));
        e.lsv1->scrollToTop(); // the user scrolls back up
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QVERIFY(shown(158));
        e.lsv1->scrollToTop();
        e.keys(QKeySequence(u"Ctrl+Y"_s));
        QVERIFY(shown(159));
        e.select(159);
        e.keys(QKeySequence(Qt::Key_Delete), e.lsv1);
        e.lsv1->scrollToTop();
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QVERIFY(shown(159));
        // A drag undone shows the row where the entry is back, not where it
        // had gone.
        e.lsv1->scrollToTop();
        dragRow(e.lsv1, 0, {lowerHalf(e.lsv1, 5)});
        QCOMPARE(e.commands().at(5), QByteArray("0"));
        e.lsv1->scrollToBottom();
        e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.commands().at(0), QByteArray("0"));
        QVERIFY(shown(0));
    }

    // The history keeps within its budget: the oldest steps go, the last
    // one stays, even when it alone is over the budget.
    void historyKeepsWithinItsBudget() {
        Editor e;
        e.history->setBudget(1500 * 1000);
        QByteArray content;
        for (int i = 0; i < 1000; ++i)
            content += entryLines("x" + QByteArray::number(i));
        for (int i = 0; i < 6; ++i)
            e.open(u"list%1.txt"_s.arg(i), content); // about 450 KB a list
        QVERIFY(e.history->heldBytes() <= 1500 * 1000);
        QVERIFY2(e.history->count() >= 2 && e.history->count() < 6,
                 qPrintable(QString::number(e.history->count())));
        const int kept = e.history->count();
        for (int i = 0; i < 10; ++i)
            e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.history->index(), 0);
        QCOMPARE(e.label(), u"[ファイル名： "_s + e.path(u"list%1.txt"_s.arg(5 - kept)) + u']');
        QCOMPARE(e.list().size(), 1000);

        for (int i = 0; i < 10; ++i)
            e.keys(QKeySequence(u"Ctrl+Y"_s));
        e.history->setBudget(1);
        QCOMPARE(e.history->count(), 1);
        for (int i = 0; i < 2; ++i) {
            e.keys(QKeySequence(u"Ctrl+Z"_s));
            QCOMPARE(e.label(), u"[ファイル名： "_s + e.path(u"list4.txt"_s) + u']');
        }
    }

    // 1,000 entries added to a list of 100,000: the history holds what each
    // step changed, never a copy of the list.
    void historyKeepsOnlyWhatChanged() {
        Editor e;
        constexpr int kEntries = 100000;
        QByteArray content;
        for (int i = 0; i < kEntries; ++i)
            content += "bill\r\nP" + QByteArray::number(i) + "\r\n0\r\n0\r\n0\r\n0\r\n";
        e.open(u"big.txt"_s, content);
        content.clear();
        QCOMPARE(e.list().size(), kEntries);
        QCOMPARE(e.history->count(), 1); // "開く" of 100,000 entries

        // One copy of the list is 100,000 entries of six byte arrays; the
        // list's own growth may take as much again, once.
        const std::size_t oneCopy = kEntries * sizeof(PatrolEntry);
        const std::size_t start = liveHeap();
        for (int i = 0; i < 1000; ++i) {
            trigger(e.w, "N15");
            if (liveHeap() > start + 3 * oneCopy)
                QFAIL(qPrintable(u"the list was copied by add %1"_s.arg(i + 1)));
        }
        QCOMPARE(e.list().size(), kEntries + 1000);
        QCOMPARE(e.history->count(), 1001);
        // Every entry belongs to the list alone: no step shares its bytes.
        for (int r = 0; r < kEntries; ++r) {
            if (!e.list().entry(r).param1.isDetached())
                QFAIL(qPrintable(u"entry %1 is shared"_s.arg(r)));
        }
        // Each step undoes, down to the list before "開く", and redoes.
        for (int i = 0; i <= 1000; ++i)
            e.keys(QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(e.list().size(), 0);
        QCOMPARE(e.label(), u"[ファイル名：]"_s);
        for (int i = 0; i <= 1000; ++i)
            e.keys(QKeySequence(u"Ctrl+Y"_s));
        QCOMPARE(e.list().size(), kEntries + 1000);
        QCOMPARE(e.label(), u"[ファイル名： "_s + e.path(u"big.txt"_s) + u']');

        const std::size_t withHistory = liveHeap();
        e.history->clear();
        const std::size_t held = withHistory - liveHeap();
        if (start == 0)
            QSKIP("no heap figures on this platform");
        QVERIFY2(held < 1000 * 1024, qPrintable(u"the history held %1 bytes"_s.arg(held)));
    }
};

KIRANO_GUI_TEST_MAIN(TestPatrolHistory)
#include "test_app_history.moc"

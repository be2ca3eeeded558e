// Marks on the rows the night's run would fail on, through the real window:
// shown as they are found, cleared when the file on disk changes, reached
// with F8.
#include "app/mainwindow.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"
#include "text/files.h"

#include <QDir>
#include <QTreeView>
#include <QtTest>

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
};

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

    void f8GoesRoundTheMarkedRows() {
        Marked m;
        QTRY_COMPARE(m.tips().count(QString()), 2);
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
#include "test_patrolmarks.moc"

// Nothing unsaved is lost: a Kirano killed with unsaved changes leaves a
// recovery copy that the next start offers back, and a list file that
// another program changed is not written over unseen.
#include "app/mainwindow.h"
#include "app/recoverycopy.h"
#include "browser/datalistview.h"
#include "editorfixture.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "testmain.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTreeView>
#include <QtTest>
#include <cstdio>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

QByteArray entry(const QByteArray &command, const QByteArray &param1) {
    return command + "\r\n" + param1 + "\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n";
}

const QByteArray kList = entry("bill", "A") + entry("bill", "B") + entry("bill", "C");
// kList after the child's edits: its first entry deleted, a fee entry
// ("料金情報") added at the end.
const QByteArray kEdited = entry("bill", "B") + entry("bill", "C") +
                           "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"日月火水木金土") + "\r\n";

QByteArray listBytes(const PatrolListModel &list) {
    QByteArray bytes;
    for (int row = 0; row < list.size(); ++row) {
        for (int f = 0; f < PatrolEntry::kFieldCount; ++f)
            bytes += list.entry(row).field(f) + "\r\n";
    }
    return bytes;
}

QStringList copies() {
    return QDir(RecoveryCopy::defaultFolder()).entryList({u"*.txt"_s}, QDir::Files);
}

QString statusText(MainWindow *w, const char *label) {
    return w->findChild<QLabel *>(QString::fromLatin1(label))->text();
}

// The Kirano that is killed: started on the settings in `folder`, it opens
// list.txt there with Ctrl+O, deletes the first entry with pop4 and adds a
// "料金情報" entry with pop1, as the user does, says so, and waits.
int runKilledKirano(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    KiranoApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    ScriptedPrompts prompts;
    MainWindow w(folder, prompts);
    createDialogs(w, prompts);
    showAndWait(&w);
    prompts.answer({folder + u"list.txt"_s});
    if (!QTest::qWaitFor([&w] { return w.isActiveWindow(); }))
        return 3;
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    auto *lsv1 = w.findChild<QTreeView *>(u"lsv1"_s);
    chooseFromMenu(lsv1, 0, u"Delete2"_s);
    chooseFromMenu(w.findChild<DataListView *>(u"ListBox1"_s), 1, u"N15"_s);
    std::printf("%s\n", listBytes(*w.patrolList()) == kEdited ? "edited" : "not edited");
    std::fflush(stdout);
    return app.exec();
}

// The copy a killed Kirano left in the user's data folder.
struct Killed : Fixture {
    Killed() {
        writeDefaultSettings();
        writeBytes(folder() + u"list.txt"_s, kList);
        QProcess kirano;
        kirano.start(QCoreApplication::applicationFilePath(), {u"--killed-kirano"_s, folder()});
        QVERIFY(kirano.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return kirano.canReadLine(); }, 60000));
        QCOMPARE(kirano.readLine().trimmed(), QByteArray("edited"));
        // The copy is written within a second of the last change.
        QTest::qWait(1000);
        kirano.kill(); // SIGKILL: nothing of the program runs again
        QVERIFY(kirano.waitForFinished());
        QCOMPARE(copies().size(), 1);
    }
};

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
  private slots:
    void init() { QDir(RecoveryCopy::defaultFolder()).removeRecursively(); }

    // The next start offers the list back, saying from which file; はい
    // brings it back byte for byte, still unsaved; いいえ removes the copy.
    void aKilledKiranosListIsOfferedBack_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("はい") << true;
        QTest::newRow("いいえ") << false;
    }
    void aKilledKiranosListIsOfferedBack() {
        QFETCH(bool, yes);
        Killed k;
        MainWindow &w = k.start();
        k.prompts.answer({yes ? std::optional(u"yes"_s) : std::nullopt});
        w.offerRecovery();
        const QStringList asked = k.prompts.takeAsked();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(
            asked.first().startsWith(u"yesno|保存されていない巡回リストが残っています。\r\n"_s +
                                     k.folder() + u"list.txt（3 項目、"_s),
            qPrintable(asked.first()));
        QCOMPARE(listBytes(*w.patrolList()), yes ? kEdited : QByteArray());
        QCOMPARE(w.currentPatrolFile(),
                 yes ? text::bytesOf(k.folder() + u"list.txt"_s) : QByteArray());
        QCOMPARE(statusText(&w, "StatusUnsaved"), yes ? u"未保存の変更あり"_s : QString());
        // The copy found is gone; this window keeps one while unsaved.
        QTRY_COMPARE(copies().size(), yes ? 1 : 0);
        if (!yes)
            return;
        k.prompts.answer({});
        trigger(&w, "Save1");
        QCOMPARE(k.prompts.takeAsked(), QStringList{u"message|保存しました"_s});
        QCOMPARE(readBytes(k.folder() + u"list.txt"_s), kEdited);
        QCOMPARE(copies(), QStringList());
        QCOMPARE(statusText(&w, "StatusUnsaved"), QString());
    }

    // A window that closes with unsaved changes keeps them for the next
    // start; one whose list is as saved, or was cleared, leaves nothing.
    void closingKeepsOnlyUnsavedChanges_data() {
        QTest::addColumn<QString>("last"); // what the user does last
        QTest::addColumn<int>("kept");
        QTest::newRow("an entry added") << u"N15"_s << 1;
        QTest::newRow("saved") << u"Save1"_s << 0;
        QTest::newRow("cleared") << u"New1"_s << 0;
        QTest::newRow("undone to the file") << u"Undo"_s << 0;
    }
    void closingKeepsOnlyUnsavedChanges() {
        QFETCH(QString, last);
        QFETCH(int, kept);
        EditorFixture e;
        writeBytes(e.path(u"list.txt"_s), kList);
        e.prompts.answer({e.path(u"list.txt"_s)});
        trigger(e.w, "Open1");
        chooseFromMenu(e.w->findChild<DataListView *>(u"ListBox1"_s), 1, u"N15"_s);
        if (last != u"N15"_s) {
            e.prompts.answer({});
            trigger(e.w, last.toLatin1().constData());
        }
        e.w->close();
        QCOMPARE(copies().size(), kept);
    }

    // Two Kiranos on one list: the first hears at once that the second
    // saved it, and asks before writing over that save.
    void aListSavedElsewhereIsNotWrittenOverUnseen() {
        EditorFixture first;
        const QString list = first.path(u"list.txt"_s);
        writeBytes(list, kList);
        first.prompts.answer({list});
        trigger(first.w, "Open1");
        chooseFromMenu(first.lsv1, 2, u"Delete2"_s);

        ScriptedPrompts prompts;
        MainWindow second(first.folder(), prompts);
        QVERIFY(showAndWait(&second));
        prompts.answer({list});
        trigger(&second, "Open1");
        chooseFromMenu(second.findChild<QTreeView *>(u"lsv1"_s), 0, u"Delete2"_s);
        trigger(&second, "Save1");
        QCOMPARE(readBytes(list), entry("bill", "B") + entry("bill", "C"));

        QTRY_COMPARE(statusText(first.w, "StatusNote"),
                     u"「%1」が他のプログラムに変更されました"_s.arg(list));
        const QString question =
            u"yesno|「%1」は開いた後で他のプログラムに変更されています。\r\n上書きしますか"_s.arg(
                list);
        first.prompts.takeAsked();
        first.prompts.answer({std::nullopt});
        trigger(first.w, "Save1");
        QCOMPARE(first.prompts.takeAsked(), QStringList{question});
        QCOMPARE(readBytes(list), entry("bill", "B") + entry("bill", "C"));
        first.prompts.answer({u"yes"_s});
        trigger(first.w, "Save1");
        QCOMPARE(first.prompts.takeAsked(), (QStringList{question, u"message|保存しました"_s}));
        QCOMPARE(readBytes(list), entry("bill", "A") + entry("bill", "B"));
        QCOMPARE(statusText(first.w, "StatusNote"), QString());
        // Saved by this window, the file is its own again: no question.
        trigger(first.w, "Save1");
        QCOMPARE(first.prompts.takeAsked(), QStringList{u"message|保存しました"_s});
    }
};

int main(int argc, char **argv) {
    if (argc == 3 && qstrcmp(argv[1], "--killed-kirano") == 0)
        return runKilledKirano(argc, argv);
    kirano::testing::OwnConfiguration configuration;
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    kirano::KiranoApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_app_recovery.moc"

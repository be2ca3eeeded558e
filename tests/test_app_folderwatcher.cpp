// The folder watcher the marks rest on: what each change on disk is reported
// as, and how many folders it holds under a limit.
#include "app/folderwatcher.h"
#include "app/kiranoapplication.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kirano;
using namespace Qt::StringLiterals;

namespace {

// One report of the watcher, as "what folder name".
struct Heard {
    QStringList reports;
    FolderWatcher::Handler handler() {
        return [this](const QString &folder, const QString &name, FolderWatcher::What what) {
            static const char *const whats[] = {"entry", "itself", "contents", "everything",
                                                "lost"};
            reports << u"%1 %2 %3"_s.arg(QLatin1StringView(whats[int(what)]), folder, name);
        };
    }
};

} // namespace

class TestFolderWatcher : public QObject {
    Q_OBJECT
  private slots:
    // A change in a watched folder names the folder and the entry; the
    // folder itself gone, removed or moved away, ends its watch with "lost",
    // so that whoever watched it knows to watch the path again.
    void eachChangeIsReportedAsWhatItIs_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file made") << u"make"_s << u"entry %1 new.txt"_s;
        QTest::newRow("file removed") << u"remove"_s << u"entry %1 old.txt"_s;
        QTest::newRow("folder removed") << u"remove folder"_s << u"lost %1 "_s;
        QTest::newRow("folder moved away") << u"move folder"_s << u"lost %1 "_s;
    }
    void eachChangeIsReportedAsWhatItIs() {
        QFETCH(QString, change);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"watched"_s);
        QVERIFY(QDir().mkpath(folder));
        QFile old(folder + u"/old.txt"_s);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        Heard heard;
        FolderWatcher watcher(heard.handler());
        QCOMPARE(watcher.add(folder, true), FolderWatcher::Added::Watched);
        if (change == u"make"_s) {
            QFile made(folder + u"/new.txt"_s);
            QVERIFY(made.open(QIODevice::WriteOnly));
        } else if (change == u"remove"_s) {
            QVERIFY(old.remove());
        } else if (change == u"remove folder"_s) {
            QVERIFY(QDir(folder).removeRecursively());
        } else {
            QVERIFY(QDir().rename(folder, dir.filePath(u"elsewhere"_s)));
        }
        const QString report = expected.arg(folder);
        QTRY_VERIFY2(heard.reports.contains(report), qPrintable(heard.reports.join(u" | ")));
        if (report.startsWith(u"lost"_s))
            QCOMPARE(watcher.count(), 0);
    }

    // Under a limit, the folders past it are refused and a folder already
    // held is still taken; a path that is no folder is missing, and takes
    // no place.
    void foldersPastTheLimitAreRefused() {
        QTemporaryDir dir;
        QStringList folders;
        for (int i = 0; i < 3; ++i) {
            folders << dir.filePath(QString::number(i));
            QVERIFY(QDir().mkpath(folders.last()));
        }
        Heard heard;
        FolderWatcher watcher(heard.handler());
        watcher.setLimit(2);
        QCOMPARE(watcher.add(dir.filePath(u"none"_s), false), FolderWatcher::Added::Missing);
        QCOMPARE(watcher.add(folders[0], false), FolderWatcher::Added::Watched);
        QCOMPARE(watcher.add(folders[1], true), FolderWatcher::Added::Watched);
        QCOMPARE(watcher.add(folders[2], false), FolderWatcher::Added::LimitReached);
        QCOMPARE(watcher.add(folders[0], true), FolderWatcher::Added::Watched);
        QCOMPARE(watcher.count(), 2);
    }
};

KIRANO_GUI_TEST_MAIN(TestFolderWatcher)
#include "test_app_folderwatcher.moc"

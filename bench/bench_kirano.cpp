// Times the heavy roads on generated data: opening and saving a large patrol
// list in the real main window, against the floor of just decoding the file;
// start-up with large forum lists; the stand-in autopilot, a run of a large
// list among them; the first paint of a list holding one line of megabytes.
// Prints one line per scenario: name, size, median wall time, peak memory.
// Scenarios whose peak memory is reported on its own run in a child process
// of their own.

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/patrollistpane.h"
#include "app/patrolmarks.h"
#include "app/patrolundo.h"
#include "app/program.h"
#include "autopilot/commandline.h"
#include "autopilot/demo.h"
#include "browser/datalistview.h"
#include "dialogs/chooserdialog.h"
#include "patrol/patrollistmodel.h"
#include "rules/entrycheck.h"
#include "rules/patrolcheck.h"
#include "store/datafolder.h"
#include "store/prompts.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUndoStack>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace kirano;

namespace {

// Answers every file dialog with one path and ignores messages.
class BenchPrompts : public Prompts {
  public:
    QString path;
    ChooserDialog *chooser = nullptr;
    std::optional<QString> openFile(const OpenFileRequest &) override { return path; }
    std::optional<QString> saveFile(const QString &, const QString &) override { return path; }
    void message(const QString &) override {}
    bool confirmYesNo(const QString &) override { return true; }
    bool confirmOkCancel(const QString &) override { return true; }
    QString inputBox(const QString &, const QString &, const QString &i) override { return i; }
    std::optional<QString> inputQuery(const QString &, const QString &, const QString &i) override {
        return i;
    }
    void beep() override {}
    // The real chooser, closed with "決定" as soon as it is up.
    int choose(const QList<QByteArray> &rows, const QByteArray &status, int start) override {
        if (!chooser)
            return -1;
        QTimer::singleShot(0, chooser, [this] { chooser->accept(); });
        return chooser->choose(rows, status, start);
    }
};

// The high-water mark of this process's memory. getrusage would count a
// child started by this program from the parent's size at the fork.
double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Each run starts after `prepare`, which is not timed.
double medianMs(int runs, const std::function<void()> &work,
                const std::function<void()> &prepare = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *scenario, int size, double ms) {
    std::printf("%-28s %8d %10.1f ms %8.1f MB peak\n", scenario, size, ms, peakMegabytes());
    std::fflush(stdout);
}

// A patrol list of realistic entries with Japanese paths.
QList<QByteArray> patrolLines(int entries) {
    const QByteArray days = text::bytesOf(u"月水金");
    const QByteArray logDir = text::bytesOf(u"/home/user/ログ/会議室/");
    const QByteArray upDir = text::bytesOf(u"/home/user/アップ/発言/");
    QList<QByteArray> lines;
    lines.reserve(entries * 6);
    for (int i = 0; i < entries; ++i) {
        const QByteArray forum = "FORUM" + QByteArray::number(i % 500);
        const QByteArray room = QByteArray::number(i % 20 + 1);
        switch (i % 4) {
        case 0:
            lines << "mesread" << forum << room << logDir + "F" + QByteArray::number(i) + ".TXT"
                  << "0" << days;
            break;
        case 1:
            lines << "mesup" << forum << room << upDir + "M" + QByteArray::number(i) + ".TXT"
                  << "0" << days;
            break;
        case 2:
            lines << "dldown" << forum << room << QByteArray::number(i) << "FILE.LZH" << days;
            break;
        default:
            lines << "dltitleb" << forum << room << "980101"
                  << "0" << days;
            break;
        }
    }
    return lines;
}

// Opening the window's list file, without marks and then with them until
// every row's mark is known and the window idle.
void benchOpenWithMarks(MainWindow &window, int entries, double floor, const QString &name) {
    // Opening into an empty window; emptying the previous run's list is not
    // part of it, nor is the undo history keeping the earlier runs' lists.
    const auto empty = [&] {
        window.patrolPane()->clear();
        window.patrolPane()->history()->clear();
        QCoreApplication::processEvents();
    };
    PatrolMarks *marks = window.patrolPane()->marks();
    auto *view = window.findChild<QTreeView *>(QStringLiteral("lsv1"));
    marks->setChecking(false);
    const double open = medianMs(
        5,
        [&] {
            window.patrolPane()->open();
            QCoreApplication::processEvents();
            if (view->model()->rowCount() != entries)
                std::fprintf(stderr, "open: %d rows\n", view->model()->rowCount());
        },
        empty);
    report(qPrintable(name), entries, open);
    if (floor > 0)
        std::printf("%-28s %8d %10.1f x floor\n", "open / floor", entries, open / floor);
    std::fflush(stdout);

    // The same with the marks, until every row's mark is known and the
    // window idle; each run starts with nothing known of the files.
    marks->setChecking(true);
    const double openMarked = medianMs(
        5,
        [&] {
            window.patrolPane()->open();
            QCoreApplication::processEvents();
            while (!marks->isSettled())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents();
        },
        [&] {
            empty();
            // Other folders, then the window's: the same folders again would
            // keep what was known.
            marks->setFolders(SettingsFolders());
            marks->setFolders(window.folders());
        });
    report(qPrintable(name + QStringLiteral(", marks")), entries, openMarked);
    std::printf("%-28s %8d %10.2f x without\n", "open with / without marks", entries,
                openMarked / open);
    std::fflush(stdout);
}

// Counts how long the event loop is held: a timer asks to fire every
// millisecond, and the longest gap between two of its firings is the longest
// time an input event would have waited.
class Heartbeat {
  public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { beat(); });
    }
    void start() {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    // The longest hold since start(), in milliseconds.
    double stop() {
        beat();
        timer_.stop();
        return longest_ / 1e6;
    }

  private:
    void beat() {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

void reportHold(const char *scenario, int size, double ms) {
    std::printf("%-28s %8d %10.1f ms longest hold\n", scenario, size, ms);
    std::fflush(stdout);
}

// A list naming `folders` folders, one file to send in each, all there:
// opened in the real window, then every file replaced again and again as the
// autopilot replaces what it fetched. Each stage says how long the window
// was held at most.
void benchFreeze(int folders) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/files/");
    QList<QByteArray> lines;
    QStringList files;
    const QByteArray days = text::bytesOf(u"月");
    for (int i = 0; i < folders; ++i) {
        const QString folder = root + QStringLiteral("d%1").arg(i);
        QDir().mkpath(folder);
        files << folder + QStringLiteral("/f.txt");
        text::writeFile(files.last(), "text\r\n");
        lines << "mailuptxt" << text::bytesOf(files.last()) << "0"
              << "0"
              << "0" << days;
    }
    const QString list = dir.path() + QStringLiteral("/list.txt");
    text::writeLines(list, lines);
    lines = {};

    BenchPrompts prompts;
    prompts.path = list;
    MainWindow window(dir.path() + u'/', prompts);
    createDialogs(window, prompts);
    window.show();
    QCoreApplication::processEvents();
    PatrolMarks *marks = window.patrolPane()->marks();
    const auto settle = [marks] {
        while (!marks->isSettled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    settle();

    Heartbeat heartbeat;
    QElapsedTimer open;
    open.start();
    window.patrolPane()->open();
    const double call = open.nsecsElapsed() / 1e6;
    heartbeat.start();
    settle();
    const double marked = open.nsecsElapsed() / 1e6;
    const double hold = heartbeat.stop();
    report("open, folders: the open", folders, call);
    report("open, folders: marks done", folders, marked);
    reportHold("open, folders: after it", folders, hold);
    if (window.patrolPane()->marks()->nextMarked(-1, 1) >= 0)
        std::fprintf(stderr, "freeze: a row is marked\n");

    // The settings dialog closed as it was, and the window activated: what
    // the rows named is looked at again, the window answering meanwhile.
    const auto lookAgain = [&](const char *scenario, const std::function<void()> &act) {
        heartbeat.start();
        QElapsedTimer looked;
        looked.start();
        act();
        settle();
        const double ms = looked.nsecsElapsed() / 1e6;
        const double held = heartbeat.stop();
        report(scenario, folders, ms);
        reportHold(scenario, folders, held);
    };
    lookAgain("settings closed", [&] { marks->setFolders(window.folders()); });
    lookAgain("window activated", [&] { marks->refresh(); });
    // Other folders: every row checked again, every folder watched anew.
    lookAgain("settings changed", [&] {
        SettingsFolders other = window.folders();
        other.folders[SettingsFolders::Data] += "other/";
        marks->setFolders(other);
    });
    lookAgain("settings changed back", [&] { marks->setFolders(window.folders()); });

    // 1 000 files a second replaced whole, as the autopilot replaces them,
    // for ten seconds, by another thread; the window meanwhile keeps its
    // marks.
    std::atomic<bool> done{false};
    std::atomic<int> replaced{0};
    std::vector<QByteArray> paths;
    for (const QString &file : std::as_const(files))
        paths.push_back(QFile::encodeName(file));
    std::thread writer([&] {
        auto next = std::chrono::steady_clock::now();
        for (quint32 i = 0; !done; ++i) {
            const QByteArray &path = paths[(i * 7919u) % paths.size()];
            const QByteArray temporary = path + ".new";
            const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                const QByteArray content = "text " + QByteArray::number(i) + "\r\n";
                if (::write(fd, content.constData(), size_t(content.size())) < 0)
                    std::fprintf(stderr, "freeze: write failed\n");
                ::close(fd);
                ::rename(temporary.constData(), path.constData());
                ++replaced;
            }
            next += std::chrono::microseconds(1000);
            std::this_thread::sleep_until(next);
        }
    });
    heartbeat.start();
    QElapsedTimer during;
    during.start();
    while (during.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    done = true;
    writer.join();
    settle();
    const double replacing = heartbeat.stop();
    std::printf("%-28s %8d %10d files replaced in 10 s\n", "replacing files", folders,
                replaced.load());
    reportHold("replacing files", folders, replacing);
    if (window.patrolPane()->marks()->nextMarked(-1, 1) >= 0)
        std::fprintf(stderr, "freeze: a row is marked after replacing\n");
}

// The checks alone that the marks of the generated list take, a fresh
// checker each run: what opening with marks adds to opening, per row.
void benchCheckRows(int entries) {
    QTemporaryDir dir;
    QByteArray bytes;
    for (const QByteArray &line : patrolLines(entries))
        bytes += line + "\r\n";
    const QList<PatrolEntry> list = openablePatrolList(bytes).value_or(QList<PatrolEntry>());
    const SettingsFolders folders = SettingsFolders::allSetTo(QFile::encodeName(dir.path() + u'/'));
    std::unique_ptr<rules::EntryChecker> checker;
    int marked = 0;
    const double ms = medianMs(
        5,
        [&] {
            marked = 0;
            for (const PatrolEntry &entry : list)
                marked += checker->check(entry).problems != 0 ? 1 : 0;
        },
        [&] { checker = std::make_unique<rules::EntryChecker>(folders); });
    report("check rows", entries, ms);
    std::printf("%-28s %8d %10.0f ns a row, %d marked\n", "check rows", entries,
                ms * 1e6 / qMax(1, entries), marked);
    std::fflush(stdout);
}

// The demo's list, its entries repeated to `entries`, against the data it
// left: a list as a user keeps it, whose rows name a few files and forums
// the data folder has, so the marks find next to nothing.
void benchDemoList(int entries) {
    QTemporaryDir dir;
    autopilot::DemoOptions options;
    options.kirano = QCoreApplication::applicationFilePath();
    options.now = QDateTime::currentDateTime();
    const text::Result<autopilot::Demo> demo = autopilot::makeDemo(dir.path() + u'/', options);
    if (!demo) {
        std::fprintf(stderr, "demo: %s\n", qPrintable(demo.error().text()));
        return;
    }
    const text::Result<PatrolListFile> sample = readRunnablePatrolList(demo->patrolList);
    QList<PatrolEntry> repeated;
    repeated.reserve(entries);
    while (sample && repeated.size() < entries)
        repeated.append(sample->entries.at(repeated.size() % sample->entries.size()));
    const QString file = dir.path() + QStringLiteral("/repeated.txt");
    writePatrolList(file, repeated);

    BenchPrompts prompts;
    prompts.path = file;
    MainWindow window(demo->programFolder, prompts);
    createDialogs(window, prompts);
    window.show();
    benchOpenWithMarks(window, entries, 0, QStringLiteral("open demo list"));
}

void benchPatrolList(int entries) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString file = folder + QStringLiteral("list.txt");
    text::writeLines(file, patrolLines(entries));

    BenchPrompts prompts;
    prompts.path = file;
    MainWindow window(folder, prompts);
    createDialogs(window, prompts);
    window.show();

    const double floor = medianMs(5, [&] {
        QString decoded = text::decode(text::readFile(file).value_or(QByteArray()));
        Q_UNUSED(decoded);
    });
    report("decode floor (read+decode)", entries, floor);

    benchOpenWithMarks(window, entries, floor, QStringLiteral("open patrol list"));
    // None of its forums is in a forum list, so every row is marked.
    if (window.patrolPane()->marks()->nextMarked(-1, 1) < 0)
        std::fprintf(stderr, "open: no row marked\n");

    // One entry added to the list, its check included; undone after each.
    const PatrolEntry added{"mesread", "FORUM7",
                            "3",       text::bytesOf(u"/home/user/ログ/会議室/new.TXT"),
                            "0",       text::bytesOf(u"月")};
    window.patrolPane()->deselect();
    const double add = medianMs(
        5,
        [&] {
            window.patrolPane()->addEntry(added);
            if (window.patrolList()->rowMark(entries).problems == 0)
                std::fprintf(stderr, "add: no mark\n");
        },
        [&] {
            if (window.patrolList()->size() > entries)
                window.patrolPane()->history()->undo();
            QCoreApplication::processEvents();
        });
    report("add one entry, check", entries, add);

    const double save = medianMs(5, [&] { window.patrolPane()->save(); });
    report("save patrol list", entries, save);
}

// "開く" of the same list ten times: the history keeps what each replaced
// only within its budget, so the process stops growing.
void benchHistory(int entries) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString file = folder + QStringLiteral("list.txt");
    text::writeLines(file, patrolLines(entries));
    BenchPrompts prompts;
    prompts.path = file;
    MainWindow window(folder, prompts);
    createDialogs(window, prompts);
    window.show();
    window.patrolPane()->marks()->setChecking(false);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 10; ++i)
        window.patrolPane()->open();
    const double ms = timer.nsecsElapsed() / 1e6;
    const PatrolHistory *history = window.patrolPane()->history();
    std::printf("%-28s %8d %10.1f ms %8.1f MB peak, history %.1f MB in %d steps\n",
                "open ten times, history", entries, ms, peakMegabytes(),
                history->heldBytes() / 1048576.0, history->count());
    std::fflush(stdout);
}

double decodeFloor(const QStringList &files) {
    return medianMs(5, [&] {
        for (const QString &file : files) {
            QString decoded = text::decode(text::readFile(file).value_or(QByteArray()));
            Q_UNUSED(decoded);
        }
    });
}

void reportWithFloor(const char *scenario, int size, double ms, double floor) {
    report(scenario, size, ms);
    std::printf("%-28s %8d %10.1f x floor (%.1f ms)\n", "  / decode floor", size, ms / floor,
                floor);
    std::fflush(stdout);
}

// A program folder whose data folder holds a forum list of `forums` records
// and one forum "F" with large captured files.
struct DataFolder {
    QTemporaryDir dir;
    QString folder() const { return dir.path() + u'/'; }
    QString data() const { return folder() + QStringLiteral("data/"); }

    explicit DataFolder(int forums) {
        QDir().mkpath(data() + QStringLiteral("F"));
        QList<QByteArray> settings{"1", "1", "1"};
        for (int i = 0; i < 8; ++i)
            settings << text::bytesOf(i == 1 ? data() : folder());
        text::writeLines(folder() + QStringLiteral(u"環境設定.txt"), settings);
        QList<QByteArray> list;
        const QByteArray jp = text::bytesOf(u"フォーラム");
        for (int i = 0; i < forums; ++i) {
            list << (jp + " " + QByteArray::number((i * 7919) % forums)).leftJustified(40, ' ');
            list << (i == 0 ? QByteArray("F/") : "FORUM" + QByteArray::number(i) + "/");
        }
        text::writeLines(data() + QStringLiteral("forumlist.txt"), list);
        QList<QByteArray> patios;
        for (int i = 0; i < 1000; ++i)
            patios << text::bytesOf(u"パティオ") + QByteArray::number(i)
                   << "PID" + QByteArray::number(i) << "secret";
        text::writeLines(data() + QStringLiteral("patiolist.txt"), patios);
    }
    QString file(const char *name) const { return data() + QString::fromLatin1(name); }
};

QList<QByteArray> capturedRows(int count, const char16_t *title) {
    const QByteArray titleBytes = text::bytesOf(title);
    QList<QByteArray> rows;
    rows.reserve(count + 1);
    for (int i = 1; i <= count; ++i)
        rows << QByteArray::number(i).rightJustified(4, '0') + "   12 ( 345)  98/01/01   " +
                    titleBytes + QByteArray::number(i);
    rows << text::bytesOf(u"データ取得日 98/01/01 12:00");
    return rows;
}

void benchForums() {
    const int forums = 10000;
    const int lines = 100000;
    DataFolder data(forums);
    BenchPrompts prompts;

    auto startup = [&] {
        return medianMs(5, [&] {
            MainWindow window(data.folder(), prompts);
            createDialogs(window, prompts);
            window.show();
            QCoreApplication::processEvents();
        });
    };
    const QString forumFile = data.file("forumlist.txt");
    const double forumFloor = decodeFloor({forumFile, data.file("patiolist.txt")});
    const double withForums = startup();
    reportWithFloor("start-up, forums + patios", forums, withForums, forumFloor);
    // The same start-up with an empty forum list: what the window itself
    // costs, and so the forum list's own share.
    const QByteArray list = text::readFile(forumFile).value_or(QByteArray());
    text::writeLines(forumFile, {});
    QFile::rename(data.file("patiolist.txt"), data.file("patiolist.bak"));
    const double empty = startup();
    QFile::rename(data.file("patiolist.bak"), data.file("patiolist.txt"));
    report("start-up, no forums or patios", 0, empty);
    reportWithFloor("start-up, the lists' share", forums, withForums - empty, forumFloor);
    QSaveFile restore(forumFile);
    restore.open(QIODevice::WriteOnly);
    restore.write(list);
    restore.commit();

    text::writeLines(data.file("F/mes.txt"), capturedRows(lines, u"会議室の題名"));
    text::writeLines(data.file("F/dl.txt"), capturedRows(lines, u"ライブラリィの題名"));
    text::writeLines(data.file("F/top.txt"), capturedRows(lines / 5, u"トップページの文"));
    MainWindow window(data.folder(), prompts);
    prompts.chooser = createDialogs(window, prompts).chooser;
    window.show();
    auto *forumList = window.findChild<DataListView *>(QStringLiteral("ListBox2"));
    int row = -1;
    for (int i = 0; i < window.forumList().size() && row < 0; ++i)
        row = window.forumList().code(i) == "F/" ? i : -1;
    forumList->setCurrentIndex(forumList->model()->index(row, 0));
    const double select = medianMs(5, [&] {
        window.browser()->showSelectedForum();
        QCoreApplication::processEvents();
    });
    reportWithFloor(
        "select forum (mes, dl, top)", lines, select,
        decodeFloor({data.file("F/mes.txt"), data.file("F/dl.txt"), data.file("F/top.txt")}));

    text::writeLines(data.file("F/dl1.txt"), capturedRows(lines, u"ファイルの説明"));
    auto *libraries = window.findChild<DataListView *>(QStringLiteral("ListBox5"));
    libraries->setCurrentIndex(libraries->model()->index(0, 0));
    auto *fromList = window.findChild<QAction *>(QStringLiteral("N10"));
    const double choose = medianMs(5, [&] { fromList->trigger(); });
    reportWithFloor("chooser, library file list", lines, choose,
                    decodeFloor({data.file("F/dl1.txt")}));
}

void inChild(const QStringList &arguments);

// The stand-in autopilot: a demo installation (service, patrol list, run)
// on the default service and on the large one, then a check of the large
// demo's list against the data it left.
void benchAutopilot() {
    QTemporaryDir dir;
    autopilot::DemoOptions options;
    options.kirano = QCoreApplication::applicationFilePath();
    options.now = QDateTime::currentDateTime();
    int made = 0;
    const double small = medianMs(5, [&] {
        const text::Result<autopilot::Demo> demo =
            autopilot::makeDemo(dir.path() + QStringLiteral("/demo%1").arg(made++), options);
        if (!demo)
            std::fprintf(stderr, "demo: %s\n", qPrintable(demo.error().text()));
    });
    report("demo, default service", autopilot::SimService().forumCount(), small);
    options.size = autopilot::ServiceSize::Large;
    std::optional<text::Result<autopilot::Demo>> large;
    const double big = medianMs(
        1, [&] { large = autopilot::makeDemo(dir.path() + QStringLiteral("/large"), options); });
    if (!*large) {
        std::fprintf(stderr, "demo: %s\n", qPrintable(large->error().text()));
        return;
    }
    report("demo, large service", autopilot::SimService(1, options.size).forumCount(), big);
    const SettingsFolders folders = readSettingsFolders((*large)->programFolder + kSettingsFileName)
                                        .value_or(SettingsFolders());
    const text::Result<PatrolListFile> list = readRunnablePatrolList((*large)->patrolList);
    const double check = medianMs(3, [&] {
        if (!rules::checkPatrolList(*list, folders).isEmpty())
            std::fprintf(stderr, "check: problems\n");
    });
    report("check, large demo list", int(list->entries.size()), check);

    // The autopilot's check of a million entries: the large demo's list
    // repeated, checked in a process of its own so that the peak is its own.
    QList<PatrolEntry> million;
    million.reserve(1000000);
    while (million.size() < 1000000)
        million << list->entries.value(million.size() % list->entries.size());
    const QString bigList = dir.path() + QStringLiteral("/million.txt");
    writePatrolList(bigList, million);
    million = {};
    inChild({QStringLiteral("check"), bigList, (*large)->programFolder + kSettingsFileName});
}

// `kirano-autopilot check LIST --settings SETTINGS`, timed once.
void benchCheck(const QString &list, const QString &settings) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    int status = -1;
    const double ms = medianMs(1, [&] {
        status = autopilot::runCommandLine(
            {QStringLiteral("check"), list, QStringLiteral("--settings"), settings}, {}, outStream,
            errStream);
    });
    if (status != 0)
        std::fprintf(stderr, "check: %d %s\n", status, qPrintable(err + out.left(200)));
    report("check, 1 000 000 entries", 1000000, ms);
}

// "run" of a 100 000-entry list, with an empty run record and with one of
// 50 MB: the record is only appended to, so what it holds costs nothing.
// The entries log to the record and write no other file.
void benchRunRecord() {
    QTemporaryDir dir;
    autopilot::DemoOptions options;
    options.kirano = QCoreApplication::applicationFilePath();
    options.now = QDateTime::currentDateTime();
    const text::Result<autopilot::Demo> demo =
        autopilot::makeDemo(dir.path() + QStringLiteral("/demo"), options);
    if (!demo) {
        std::fprintf(stderr, "demo: %s\n", qPrintable(demo.error().text()));
        return;
    }
    const QString settings = demo->programFolder + kSettingsFileName;
    const SettingsFolders folders = readSettingsFolders(settings).value_or(SettingsFolders());
    const autopilot::SimService service;
    const QByteArray forum = service.forumCode(0);
    const PatioRecord patio = service.patios().first();
    const QByteArray days = text::bytesOf(u"日月火水木金土");
    const int entries = 100000;
    QList<QByteArray> lines;
    lines.reserve(entries * 6);
    for (int i = 0; i < entries; ++i) {
        const QByteArray count = QByteArray::number(i % 1000);
        if (i % 2 == 0)
            lines << "mesrc" << forum << QByteArray::number(i % 20 + 1) << count << "0" << days;
        else
            lines << "patiorc" << patio.id << patio.password << count << "0" << days;
    }
    const QString list = dir.path() + QStringLiteral("/list.txt");
    text::writeLines(list, lines);
    const QString record = text::nativePath(runRecord(folders.autopilotFolder()));
    const autopilot::ProgramPlace place{demo->programFolder, QString(), QString()};
    const auto run = [&] {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        if (autopilot::runCommandLine({QStringLiteral("run"), list, QStringLiteral("--settings"),
                                       settings, QStringLiteral("--all")},
                                      place, outStream, errStream) != 0)
            std::fprintf(stderr, "run: %s\n", qPrintable(err));
    };
    // The records are put in place before each run, untimed, and synced to
    // disk, so that the run's own synced writes do not wait for the copy's
    // pages. The 50 MB one is made once, a megabyte at a time, so that the
    // peak is the run's. The two alternate, so that both meet the same load
    // of a shared machine.
    const QString none = dir.path() + QStringLiteral("/empty.txt");
    QFile(none).open(QIODevice::WriteOnly);
    const QString full = dir.path() + QStringLiteral("/full.txt");
    {
        const QByteArray line =
            text::bytesOf(u"12345番目 [FPCBEG/   3番会議室の未読  20]: 完了\r\n");
        const QByteArray megabyte = line.repeated(1000 * 1000 / line.size());
        QFile file(full);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < 50; ++i)
            file.write(megabyte);
    }
    const auto recordFrom = [&record](const QString &source) {
        QFile::remove(record);
        QFile::copy(source, record);
        QFile copy(record);
        if (copy.open(QIODevice::ReadWrite))
            ::fsync(copy.handle());
    };
    std::vector<double> emptyTimes, fullTimes;
    for (int i = 0; i < 7; ++i) {
        emptyTimes.push_back(medianMs(1, run, [&] { recordFrom(none); }));
        fullTimes.push_back(medianMs(1, run, [&] { recordFrom(full); }));
    }
    const auto median = [](std::vector<double> &times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    report("run, empty run record", entries, median(emptyTimes));
    report("run, 50 MB run record", entries, median(fullTimes));
}

// Start-up to the first idle with `forums` records in "forumlist.txt":
// named ones as the autopilot writes them, or blank ones (two empty lines).
void benchStartup(int forums, bool blank) {
    DataFolder data(0);
    // Made in one buffer: a list of two million arrays would set the peak
    // memory before Kirano reads a byte. The numbers wrap at 32 bits, as
    // they always have, so the names stay those of earlier figures.
    QByteArray file;
    file.reserve(qsizetype(forums) * (blank ? 4 : 60));
    const QByteArray jp = text::bytesOf(u"フォーラム");
    for (int i = 0; i < forums; ++i) {
        if (blank) {
            file += "\r\n\r\n";
        } else {
            file += (jp + " " + QByteArray::number(qint32(quint32(i) * 7919u) % forums))
                        .leftJustified(40, ' ');
            file += "\r\nFORUM" + QByteArray::number(i) + "/\r\n";
        }
    }
    text::writeFile(data.file("forumlist.txt"), file);
    file = QByteArray();
    BenchPrompts prompts;
    // Closing the window frees the lists; that is not part of start-up.
    std::unique_ptr<MainWindow> window;
    const double ms = medianMs(
        3,
        [&] {
            window = std::make_unique<MainWindow>(data.folder(), prompts);
            createDialogs(*window, prompts);
            window->show();
            QCoreApplication::processEvents();
        },
        [&] { window.reset(); });
    if (window->forumList().size() != forums)
        std::fprintf(stderr, "start-up: %lld forums\n",
                     static_cast<long long>(window->forumList().size()));
    report(blank ? "start-up, blank forums" : "start-up, forums", forums, ms);
}

// The first paint of a list whose one row is a line of `megabytes` MB, in
// the forum list (ListBox2) and in the conference-room list (ListBox4).
void benchHugeLine(int megabytes) {
    DataFolder data(0);
    const QByteArray line = QByteArray(megabytes * 1000 * 1000, 'x');
    text::writeLines(data.file("forumlist.txt"), {line, "F/"});
    text::writeLines(data.file("F/mes.txt"), {line});
    BenchPrompts prompts;
    MainWindow window(data.folder(), prompts);
    createDialogs(window, prompts);
    window.show();
    QCoreApplication::processEvents();
    auto *forums = window.findChild<DataListView *>(QStringLiteral("ListBox2"));
    const double paint = medianMs(5, [&] { forums->viewport()->repaint(); });
    report("paint, one 10 MB forum row", megabytes, paint);
    forums->setCurrentIndex(forums->model()->index(0, 0));
    window.browser()->showSelectedForum();
    QCoreApplication::processEvents();
    auto *rooms = window.findChild<DataListView *>(QStringLiteral("ListBox4"));
    const double roomPaint = medianMs(5, [&] { rooms->viewport()->repaint(); });
    report("paint, one 10 MB room row", megabytes, roomPaint);
}

// Keystrokes into the search box over a list of `forums` forums (as the
// start-up lines name them): each from the key to the list showing what it
// finds, and the longest the window's events waited on the way (the key's
// own handling, or one slice of the search). Typing narrows, Backspace
// widens to a search kept, Japanese comes through the input method.
void benchFilter(int forums) {
    DataFolder data(0);
    QByteArray file;
    file.reserve(qsizetype(forums) * 60);
    const QByteArray jp = text::bytesOf(u"フォーラム");
    for (int i = 0; i < forums; ++i) {
        file += (jp + " " + QByteArray::number(qint32(quint32(i) * 7919u) % forums))
                    .leftJustified(40, ' ');
        file += "\r\nFORUM" + QByteArray::number(i) + "/\r\n";
    }
    text::writeFile(data.file("forumlist.txt"), file);
    file = QByteArray();
    BenchPrompts prompts;
    MainWindow window(data.folder(), prompts);
    createDialogs(window, prompts);
    window.show();
    // After start-up the names are made ready for searching, between events.
    QElapsedTimer ready;
    ready.start();
    double readyBlock = 0;
    QCoreApplication::processEvents();
    while (window.browser()->isSearching()) {
        QElapsedTimer block;
        block.start();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        readyBlock = qMax(readyBlock, block.nsecsElapsed() / 1e6);
    }
    report("filter forums, names ready", forums, ready.nsecsElapsed() / 1e6);
    std::printf("%-28s %8d %10.1f ms longest wait of the window\n", "filter forums, names ready",
                forums, readyBlock);
    // The rest of start-up over: the forum list laid out and drawn.
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *box = window.findChild<QLineEdit *>(QStringLiteral("ListSearch"));
    auto *forumList = window.findChild<DataListView *>(QStringLiteral("ListBox2"));
    box->setFocus();
    struct Stroke {
        const char *what;
        std::function<void()> send;
    };
    auto key = [box](int code, const QString &text) {
        return [box, code, text] {
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
            QCoreApplication::sendEvent(box, &press);
            QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
            QCoreApplication::sendEvent(box, &release);
        };
    };
    auto typed = [box](const QString &text) {
        return [box, text] {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(box, &commit);
        };
    };
    const Stroke strokes[] = {
        {"9", key(Qt::Key_9, QStringLiteral("9"))},
        {"99", key(Qt::Key_9, QStringLiteral("9"))},
        {"997", key(Qt::Key_7, QStringLiteral("7"))},
        {"99", key(Qt::Key_Backspace, QString())},
        {"9", key(Qt::Key_Backspace, QString())},
        {"", key(Qt::Key_Backspace, QString())},
        {u8"ラム (IME)", typed(QStringLiteral(u"ラム"))},
        {u8"ラムx", key(Qt::Key_X, QStringLiteral("x"))},
        {"A", key(Qt::Key_A, QStringLiteral("A"))},
    };
    std::vector<double> times;
    double longestBlock = 0;
    for (const Stroke &stroke : strokes) {
        if (QByteArrayView(stroke.what) == "A")
            box->clear();
        QElapsedTimer total;
        total.start();
        QElapsedTimer block;
        block.start();
        stroke.send();
        longestBlock = qMax(longestBlock, block.nsecsElapsed() / 1e6);
        while (window.browser()->isSearching()) {
            block.restart();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            longestBlock = qMax(longestBlock, block.nsecsElapsed() / 1e6);
        }
        const double ms = total.nsecsElapsed() / 1e6;
        times.push_back(ms);
        std::printf("  %-26s %8d rows %8.1f ms\n", stroke.what, forumList->model()->rowCount(), ms);
    }
    std::sort(times.begin(), times.end());
    report("filter forums, keystroke", forums, times[times.size() / 2]);
    std::printf("%-28s %8d %10.1f ms slowest, %.1f ms longest wait of the window\n",
                "filter forums, keystroke", forums, times.back(), longestBlock);
    std::fflush(stdout);
}

// A paste of `entries` entries through the clipboard into a list of
// `entries` already there: the paste itself (one step), the same until
// every row's mark is known, and its undo.
void benchPaste(int entries) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString file = folder + QStringLiteral("list.txt");
    const QList<QByteArray> lines = patrolLines(entries);
    text::writeLines(file, lines);
    BenchPrompts prompts;
    prompts.path = file;
    MainWindow window(folder, prompts);
    createDialogs(window, prompts);
    window.show();
    auto *data = new QMimeData;
    data->setData(kEntriesMimeType, text::joinCrLf(lines));
    QGuiApplication::clipboard()->setMimeData(data);
    PatrolListPane *pane = window.patrolPane();
    pane->open();
    QCoreApplication::processEvents();
    pane->deselect();
    auto settle = [&] {
        while (!pane->marks()->isSettled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
    };
    settle();
    auto undo = [&] {
        if (pane->model()->size() > entries)
            pane->history()->undo();
        settle();
    };
    const double paste = medianMs(
        5, [&] { pane->pasteEntries(); }, undo);
    if (pane->model()->size() != 2 * entries)
        std::fprintf(stderr, "paste: %d rows\n", pane->model()->size());
    report("paste entries", entries, paste);
    const double marked = medianMs(
        5,
        [&] {
            pane->pasteEntries();
            settle();
        },
        undo);
    report("paste entries, marks", entries, marked);
    const double undone = medianMs(
        5, [&] { pane->history()->undo(); },
        [&] {
            undo();
            pane->pasteEntries();
            settle();
        });
    report("undo of the paste", entries, undone);
}

// Runs one scenario in a child process, so that its peak memory is its own.
void inChild(const QStringList &arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What Kirano keeps per user (recent files, recovery copies) goes to a
    // folder of the run's own, never the user's; its scenarios in child
    // processes share it.
    QTemporaryDir own;
    if (!qEnvironmentVariableIsSet("KIRANO_BENCH_OWN_FOLDERS")) {
        qputenv("KIRANO_BENCH_OWN_FOLDERS", "1");
        qputenv("XDG_DATA_HOME", QFile::encodeName(own.path() + QStringLiteral("/data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(own.path() + QStringLiteral("/config")));
    }
    KiranoApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 2 && arguments[0] == u"startup") {
        benchStartup(arguments[1].toInt(), false);
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"blank") {
        benchStartup(arguments[1].toInt(), true);
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"open") {
        benchPatrolList(arguments[1].toInt());
        benchDemoList(arguments[1].toInt());
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"history") {
        benchHistory(arguments[1].toInt());
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"freeze") {
        benchFreeze(arguments[1].toInt());
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"checkrows") {
        benchCheckRows(arguments[1].toInt());
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"filter") {
        benchFilter(arguments[1].toInt());
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"paste") {
        benchPaste(arguments[1].toInt());
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == u"hugeline") {
        benchHugeLine(10);
        return 0;
    }
    if (arguments.size() == 3 && arguments[0] == u"check") {
        benchCheck(arguments[1], arguments[2]);
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == u"runrecord") {
        benchRunRecord();
        return 0;
    }
    for (int entries : {10000, 100000})
        benchPatrolList(entries);
    benchCheckRows(100000);
    benchDemoList(100000);
    inChild({QStringLiteral("freeze"), QStringLiteral("50000")});
    benchForums();
    benchAutopilot();
    benchRunRecord();
    inChild({QStringLiteral("startup"), QStringLiteral("100000")});
    inChild({QStringLiteral("startup"), QStringLiteral("1000000")});
    inChild({QStringLiteral("blank"), QStringLiteral("1000000")});
    inChild({QStringLiteral("hugeline")});
    inChild({QStringLiteral("history"), QStringLiteral("100000")});
    inChild({QStringLiteral("filter"), QStringLiteral("1000000")});
    inChild({QStringLiteral("paste"), QStringLiteral("10000")});
    return 0;
}

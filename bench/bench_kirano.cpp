// Times the heavy roads on generated data: opening and saving a large patrol
// list in the real main window, against the floor of just decoding the file.
// Prints one line per scenario: name, size, median wall time, peak memory.

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "dialogs/prompts.h"
#include "patrol/patrollistmodel.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace kirano;

namespace {

// Answers every file dialog with one path and ignores messages.
class BenchPrompts : public Prompts {
  public:
    QString path;
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
    int choose(const QList<QByteArray> &, const QByteArray &) override { return -1; }
};

double peakMegabytes() {
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

void benchPatrolList(int entries) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString file = folder + QStringLiteral("list.txt");
    text::writeLines(file, patrolLines(entries));

    BenchPrompts prompts;
    prompts.path = file;
    TForm1 window(folder, prompts);
    createDialogs(window);
    window.show();
    auto *view = window.findChild<QTreeView *>(QStringLiteral("lsv1"));

    const double floor = medianMs(5, [&] {
        QString decoded = text::decode(text::readFile(file).value_or(QByteArray()));
        Q_UNUSED(decoded);
    });
    report("decode floor (read+decode)", entries, floor);

    // Opening into an empty window; emptying the previous run's list is not
    // part of it.
    const auto empty = [&] {
        window.New1Click();
        QCoreApplication::processEvents();
    };
    const double open = medianMs(
        5,
        [&] {
            window.Open1Click();
            QCoreApplication::processEvents();
            if (view->model()->rowCount() != entries)
                std::fprintf(stderr, "open: %d rows\n", view->model()->rowCount());
        },
        empty);
    report("open patrol list", entries, open);
    std::printf("%-28s %8d %10.1f x floor\n", "open / floor", entries, open / floor);

    const double save = medianMs(5, [&] { window.Save1Click(); });
    report("save patrol list", entries, save);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KiranoApplication app(argc, argv);
    for (int entries : {10000, 100000})
        benchPatrolList(entries);
    return 0;
}

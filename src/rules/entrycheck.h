#pragma once
// What the night's run would fail on, one entry at a time: the autopilot's
// check goes through a whole list with it, Kirano marks its rows with it.
// Every file and folder an entry names is looked at once and remembered by
// its path, so a list of a million entries naming the same forum reads that
// forum's lists once; refresh() forgets what changed on disk.

#include "patrol/patrolentry.h"
#include "store/settingsfile.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace kirano::autopilot {

// Each check an entry can fail, one bit each; an entry's problems are the
// bits of the checks it failed. Their words are made from the entry only
// when shown: a list naming thousands of missing files is rarely read whole.
// The bits go in the order check prints the problems.
enum Problem : quint32 {
    FieldProblems = 1u << 0, // fieldProblems() has words for it
    UnlistedForum = 1u << 1,
    UnlistedRoom = 1u << 2,
    UnlistedLibrary = 1u << 3,
    UnlistedDownload = 1u << 4,
    UnlistedPatio = 1u << 5,
    WrongPatioPassword = 1u << 6,
    MissingSendFile = 1u << 7,
    UnwritableLogFolder = 1u << 8,
    UnwritableDownloadFolder = 1u << 9,
    NoNoticeSelection = 1u << 10,
    BadDays = 1u << 11,
};

// What the check of one entry found: its problems, and the ids of the paths
// the answer rests on.
struct Findings {
    static constexpr int kMaxConsulted = 8;
    quint32 problems = 0;
    std::array<int, kMaxConsulted> consulted{};
    int consultedCount = 0;
};

class EntryChecker {
  public:
    explicit EntryChecker(const SettingsFolders &folders);
    ~EntryChecker();
    EntryChecker(const EntryChecker &) = delete;
    EntryChecker &operator=(const EntryChecker &) = delete;

    // A room, library or download number is looked up only when its
    // captured list is there.
    Findings check(const PatrolEntry &entry);
    // The words of the problems found in the entry, one line each, as check
    // prints them after the entry's label.
    QStringList words(const PatrolEntry &entry, quint32 problems);
    // The words of what check() finds; empty for a sound entry. The ids of
    // the paths the answer rests on are added to `consulted` when given.
    QStringList problems(const PatrolEntry &entry, QList<int> *consulted = nullptr);

    // What to watch for changes of the paths consulted so far: each path's
    // folder, or its nearest existing ancestor while it is missing (a file
    // made, replaced or deleted), and each file that is there (a file
    // rewritten in place).
    QStringList watchPaths() const;
    // Looks again at the paths consulted that `watched` (a path of
    // watchPaths(); every path, when empty) stands for, forgets what it knew
    // of each that changed and returns their ids.
    QList<int> refresh(const QString &watched = QString());
    // Looks again at every path, a part at a time, so that a list naming
    // thousands of files never holds the window: the folders and the paths
    // from `from` on, until `deadline`. Adds the ids of those that changed
    // to `changed`; returns where to go on, pathCount() once all were seen.
    qsizetype refreshFrom(qsizetype from, const QDeadlineTimer &deadline, QList<int> *changed);
    // How many paths were consulted so far.
    qsizetype pathCount() const;

  private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace kirano::autopilot

#pragma once
// What the night's run would fail on, one entry at a time: the autopilot's
// check goes through a whole list with it, Kirano marks its rows with it.
// Every file and folder an entry names is looked at once and remembered by
// its path, so a list of a million entries naming the same forum reads that
// forum's lists once; refresh() forgets what changed on disk.

#include "patrol/patrolentry.h"
#include "store/settingsfile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace kirano::autopilot {

class EntryChecker {
  public:
    explicit EntryChecker(const SettingsFolders &folders);
    ~EntryChecker();
    EntryChecker(const EntryChecker &) = delete;
    EntryChecker &operator=(const EntryChecker &) = delete;

    // The problems of one entry, each in the words check prints after the
    // entry's label; empty for a sound entry. A room, library or download
    // number is looked up only when its captured list is there. The ids of
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
    // How many paths were consulted so far.
    qsizetype pathCount() const;

  private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace kirano::autopilot

#pragma once
// What the night's run would fail on, one entry at a time: the autopilot's
// check goes through a whole list with it, Kirano marks its rows with it.
// Every file and folder an entry names is looked at once and remembered by
// its path (rules/filestates.h), so a list of a million entries naming the
// same forum reads that forum's lists once; refresh() forgets what changed on
// disk.

#include "patrol/patrolentry.h"
#include "patrol/rowmark.h"
#include "rules/filestates.h"
#include "store/settingsfile.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace kirano::rules {

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
    // A file it writes (a captured file, its log or its download) is there
    // as something other than a regular file.
    UnwritableFile = 1u << 10,
    NoNoticeSelection = 1u << 11,
    BadDays = 1u << 12,
};

// What the check of one entry found: its problems, and the ids of the paths
// the answer rests on.
struct Findings {
    // As many as a row's mark keeps.
    static constexpr int kMaxConsulted = RowMark::kMaxConsulted;
    quint32 problems = 0;
    RowMark::Consulted consulted{};
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
    // The files the checks could not read at all, one line each naming the
    // file and why ("… を読めません: 大きすぎます (N バイト)"): a list too
    // large to hold is not read, and the entries that rest on it are not
    // blamed for what it would have said.
    QStringList unreadableFiles() const;

    // Watching. Every folder on the way to a consulted path is watched while
    // it is there: a change then names the entry of the folder that changed,
    // which a hash lookup turns into the few paths it concerns. A folder
    // renamed or removed at any depth above a file is a change of an entry
    // of its parent, which is watched too.
    using WatchRequest = FileStates::WatchRequest;
    // Folders to watch that were not handed out yet, parents first; at most
    // `most` of them.
    QList<WatchRequest> foldersToWatch(qsizetype most);
    // The folder's watch is gone (the folder was removed or moved away, or
    // could not be watched): it is looked at again and handed out anew when
    // there. A folder `refused` for want of watches is not: noteRefused()
    // looks at it instead.
    void unwatched(const QString &folder, bool refused);
    // Notes what a change in the watched `folder` may concern, to be looked
    // at by lookAgain(): its entry `name` (a file, or a folder with what it
    // holds), or the folder itself when `name` is empty. False when it
    // concerns none.
    bool noteChange(const QString &folder, const QString &name);
    // Notes everything directly in the folder: its files and its folders.
    void noteContents(const QString &folder);
    // Notes every path.
    void noteAll();
    // Notes what lies in the folders that could not be watched.
    void noteRefused();
    // Whether any folder could not be watched.
    bool anyRefused() const;
    // Looks again at what was noted, a part at a time, so that a list naming
    // thousands of files never holds the window: until `deadline`, or until
    // nothing noted is left (true). Forgets what it knew of each path that
    // changed and adds its id to `changed`.
    bool lookAgain(const QDeadlineTimer &deadline, QList<int> *changed);
    // Looks again at every path at once; the ids of those that changed.
    QList<int> refresh();
    // How many paths were consulted so far; their ids are below it.
    qsizetype pathCount() const;

  private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace kirano::rules

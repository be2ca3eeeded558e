#pragma once
// What the night's run would fail on, one entry at a time: the autopilot's
// check goes through a whole list with it, Kirano marks its rows with it.
// Every file and folder an entry names is looked at once and remembered by
// its path, so a list of a million entries naming the same forum reads that
// forum's lists once; refresh() forgets what changed on disk.

#include "patrol/patrolentry.h"
#include "store/settingsfile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace kirano::autopilot {

// The problems found, each kept once and worded only when first shown: a
// list naming thousands of missing files is rarely read whole. A mark
// stands for the problems of one entry, 0 for none. The book outlives the
// checkers that fill it, so a row keeps its words while it waits for a new
// check, and the same problems found again make the same mark.
class ProblemBook {
  public:
    enum class Kind : quint8 {
        Words,            // `words` as given
        UnlistedForum,    // `bytes` (a code) not in the forum list at `where`
        UnlistedRoom,     // room `number` not in forum `bytes`'s captured rooms
        UnlistedLibrary,  // library `number` likewise
        UnlistedDownload, // download `number` not in the library's list at `where`
        MissingFile,      // the file to send at `bytes` is not there
    };
    struct Problem {
        Kind kind = Kind::Words;
        QByteArray bytes;
        QByteArray where;
        qint32 number = 0;
        QString words; // given for Words, else made when first asked for
        bool operator==(const Problem &o) const {
            return kind == o.kind && number == o.number && bytes == o.bytes && where == o.where &&
                   (kind != Kind::Words || words == o.words);
        }
    };

    int add(Problem problem);
    static Problem words(QString text) { return {Kind::Words, {}, {}, 0, std::move(text)}; }
    // The mark of an entry with these problems, in the order found.
    int markOf(const int *problems, int count);
    // One line per problem of the mark.
    QStringList words(int mark);
    QString text(int mark) { return words(mark).join(u'\n'); }

    // An entry has six problems at the most.
    static constexpr int kMaxProblems = 8;

  private:
    struct Set {
        std::array<int, kMaxProblems> ids{};
        bool operator==(const Set &o) const { return ids == o.ids; }
        friend size_t qHash(const Set &set, size_t seed = 0) {
            return qHashRange(set.ids.begin(), set.ids.end(), seed);
        }
    };
    const QString &wordsOf(int problem);

    QList<Problem> problems_;
    QHash<Problem, int> ids_;
    QList<Set> sets_; // the marks of two problems or more
    QHash<Set, int> setIds_;
};

// What the check of one entry found: its mark in the book, and the ids of
// the paths the answer rests on.
struct Findings {
    static constexpr int kMaxConsulted = 8;
    int mark = 0;
    std::array<int, kMaxConsulted> consulted{};
    int consultedCount = 0;
};

class EntryChecker {
  public:
    // Problems go into `book`, or into a book of its own when none is given.
    explicit EntryChecker(const SettingsFolders &folders,
                          std::shared_ptr<ProblemBook> book = nullptr);
    ~EntryChecker();
    EntryChecker(const EntryChecker &) = delete;
    EntryChecker &operator=(const EntryChecker &) = delete;

    // A room, library or download number is looked up only when its
    // captured list is there.
    Findings check(const PatrolEntry &entry);
    // The problems of one entry, each in the words check prints after the
    // entry's label; empty for a sound entry. The ids of the paths the
    // answer rests on are added to `consulted` when given.
    QStringList problems(const PatrolEntry &entry, QList<int> *consulted = nullptr);
    ProblemBook &book();

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

size_t qHash(const ProblemBook::Problem &problem, size_t seed = 0);

} // namespace kirano::autopilot

Q_DECLARE_TYPEINFO(kirano::autopilot::ProblemBook::Problem, Q_RELOCATABLE_TYPE);

#pragma once
#include "store/settingsfile.h"

#include "rules/entrycheck.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <limits>
#include <memory>
#include <vector>

class QTimer;

namespace kirano {

class FolderWatcher;
class PatrolListModel;

// Keeps every row's mark of the patrol list (the problems the night's run
// would meet, by the same rules as the autopilot's check) up to date: a row
// is checked when it enters the list or its days change, every row when the
// list is replaced or the folders change, and the rows that consulted a file
// or folder when it changes on disk (watched) or when refresh() finds it
// changed. Large lists are checked, watched and looked at again in slices
// between events, so the window never waits on them.
class PatrolMarks : public QObject {
    Q_OBJECT
  public:
    explicit PatrolMarks(PatrolListModel *model, QObject *parent = nullptr);
    ~PatrolMarks() override;

    // The folders the checks go by; every row is checked again. The same
    // folders again only look again at what the rows named.
    void setFolders(const SettingsFolders &folders);
    // Looks again at every file and folder the rows named, and checks again
    // the rows naming one that changed; a slice at a time, as checking.
    void refresh();
    // While off, rows wait unchecked (for measuring the list without marks).
    void setChecking(bool on);
    // At most `limit` folders are watched, as if the system allowed no more
    // (for tests); the others are looked at in turns.
    void setWatchLimit(qsizetype limit);
    // Every row's mark is known and every folder that can be is watched.
    bool isSettled() const;
    // The next marked row after `from` (-1: before the first) going `step`
    // (1 or -1), round the end; -1 when no row is marked.
    int nextMarked(int from, int step) const;

  signals:
    void settled();
    // Something the user should know that no row shows, said once: the
    // system refused more watches, a file was too large to read.
    void note(const QString &text);

  private:
    struct Row {
        quint32 key = 0; // stays with the row as rows come, go and move
        // What its mark rests on: the ids of the checker's paths.
        std::array<int, rules::Findings::kMaxConsulted> consulted{};
        quint8 consultedCount = 0;
        bool pending = true;
        bool consults(int id) const;
    };
    void insertRows(int first, int last);
    void checkRow(int row);
    void setPending(int row);
    void checkSlice();
    void lookSlice();
    void watchSlice();
    void maybeSettled();
    // One dataChanged for the rows whose marks changed since the last.
    void showChangedMarks();
    void recheckConsulting(const QList<int> &changed);
    void watched(const QString &folder, const QString &name, int what);
    void newWatcher();
    // The rows that consulted each path: (path id, row key) pairs chained
    // from each path's latest, some left over from rows rechecked or gone;
    // made from the rows when a path first changes, and again when those
    // left over are too many.
    void consultedBy(int id, quint32 key);
    void rebuildConsulters();
    int rowOfKey(quint32 key);

    PatrolListModel *model_;
    std::unique_ptr<rules::EntryChecker> checker_;
    SettingsFolders folders_;
    QList<Row> rows_; // parallel to the model's rows
    quint32 nextKey_ = 0;
    int pending_ = 0;
    int cursor_ = 0; // no pending row before it
    int changedFirst_ = std::numeric_limits<int>::max();
    int changedLast_ = -1;
    bool checking_ = true;
    QTimer *slice_;
    QTimer *settle_;   // gathers a burst of changes on disk
    QTimer *looking_;  // looks again at what changed, in slices
    QTimer *watching_; // hands folders to the watcher, in slices
    QTimer *polling_;  // looks in turns at the folders that could not be watched
    bool lookingDone_ = true;
    FolderWatcher *watcher_ = nullptr;
    qsizetype watchLimit_ = -1;
    bool limitSaid_ = false;
    QStringList said_; // the unreadable files named so far

    struct Consulter {
        quint32 key;
        int next; // the entry of the same path before it, or -1
    };
    // Plain vectors: every row checked adds to them, and a shared list's
    // checks on each access cost as much as the check of a row.
    std::vector<int> consultersOf_; // by path id: the latest entry, or -1
    std::vector<Consulter> consulters_;
    qsizetype liveConsulters_ = 0; // what the rows consult now
    bool consultersKnown_ = false; // made from the rows when first needed
    QHash<quint32, int> rowOfKey_; // made when needed, after rows moved
    bool rowOfKeyKnown_ = false;
};

// Draws a marked row's sign in its first column; other rows as always, all
// as high as the font needs. While a day is previewed, the rows that do not
// run on it are drawn greyed.
class MarkDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // 0 = 日 to 6 = 土; -1 for none.
    void setPreviewDay(int day) { previewDay_ = day; }

  protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

  private:
    int previewDay_ = -1;
};

} // namespace kirano

#pragma once
#include "patrol/patrollistmodel.h"
#include "rules/entrycheck.h"
#include "store/settingsfile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <memory>
#include <vector>

class QTimer;

namespace kirano {

class FolderWatcher;

// Keeps every row's mark of the patrol list (the problems the night's run
// would meet, by the same rules as the autopilot's check) up to date, in
// the model beside its entry: a row is checked when it enters the list or
// its entry or days change, every row when the folders change, and the rows
// that consulted a file or folder when it changes on disk (watched) or when
// refresh() finds it changed. Large lists are checked, watched and looked at
// again in slices between events, so the window never waits on them.
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
    // The row's problems, one per line, as the autopilot's check words them;
    // empty for a row without any.
    QString words(int row) const;

  signals:
    void settled();
    // Something the user should know that no row shows, said once: the
    // system refused more watches, a file was too large to read.
    void note(const QString &text);

  private:
    void rowsEntered(int first, int last);
    void checkRow(int row);
    void checkSlice();
    void lookSlice();
    void watchSlice();
    void maybeSettled();
    void recheckConsulting(const QList<int> &changed);
    void watched(const QString &folder, const QString &name, int what);
    void newWatcher();
    // The rows that consulted each path: (path id, row key) pairs chained
    // from each path's latest, some left over from rows rechecked or gone;
    // made from the rows when a path first changes, and again when those
    // left over are too many.
    void consultedBy(int id, quint32 key);
    void rebuildConsulters();

    PatrolListModel *model_;
    std::unique_ptr<rules::EntryChecker> checker_;
    SettingsFolders folders_;
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
    bool consultersKnown_ = false; // made from the rows when first needed
};

// The patrol list as the window shows it: a marked row's problems in words,
// as its tooltip and accessible description, made only when asked for (a
// list naming thousands of missing files is rarely read whole). It keeps the
// marks that find them.
class MarkedPatrolList : public PatrolListModel {
    Q_OBJECT
  public:
    explicit MarkedPatrolList(QObject *parent = nullptr);
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    PatrolMarks *marks() const { return marks_; }

  private:
    PatrolMarks *marks_;
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

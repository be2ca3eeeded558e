#pragma once
#include "store/settingsfile.h"

#include "rules/entrycheck.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStyledItemDelegate>
#include <limits>
#include <memory>

class QFileSystemWatcher;
class QTimer;

namespace kirano {

class PatrolListModel;

// Keeps every row's mark of the patrol list (the problems the night's run
// would meet, by the same rules as the autopilot's check) up to date: a row
// is checked when it enters the list or its days change, every row when the
// list is replaced or the folders change, and the rows naming a file or
// folder when it changes on disk (watched) or when refresh() finds it
// changed. Large lists are checked in slices between events, so the window
// never waits on them.
class PatrolMarks : public QObject {
    Q_OBJECT
  public:
    explicit PatrolMarks(PatrolListModel *model, QObject *parent = nullptr);
    ~PatrolMarks() override;

    // The folders the checks go by; every row is checked again.
    void setFolders(const SettingsFolders &folders);
    // Looks again at every file and folder the rows named, and checks again
    // the rows naming one that changed; a slice at a time, as checking.
    void refresh();
    // While off, rows wait unchecked (for measuring the list without marks).
    void setChecking(bool on);
    // Every row's mark is known.
    bool isSettled() const { return pending_ == 0 && refreshed_ < 0; }
    // The next marked row after `from` (-1: before the first) going `step`
    // (1 or -1), round the end; -1 when no row is marked.
    int nextMarked(int from, int step) const;

  signals:
    void settled();

  private:
    struct Row {
        // What its mark rests on: the ids of the checker's paths.
        std::array<int, autopilot::Findings::kMaxConsulted> consulted{};
        quint8 consultedCount = 0;
        bool pending = true;
    };
    void checkRow(int row);
    void setPending(int row);
    void checkSlice();
    void refreshSlice();
    // One dataChanged for the rows whose marks changed since the last.
    void showChangedMarks();
    void recheckConsulting(const QList<int> &changed);
    void watchNewFolders();
    // A watched folder or file changed.
    void folderChanged(const QString &path);
    void takeChangedFolders();

    PatrolListModel *model_;
    std::unique_ptr<autopilot::EntryChecker> checker_;
    QList<Row> rows_; // parallel to the model's rows
    int pending_ = 0;
    int cursor_ = 0; // no pending row before it
    int changedFirst_ = std::numeric_limits<int>::max();
    int changedLast_ = -1;
    bool checking_ = true;
    QTimer *slice_;
    QTimer *settle_; // gathers a burst of changes on disk
    // A refresh looks at the paths in slices too: the next path's id, or -1.
    QTimer *refreshing_;
    qsizetype refreshed_ = -1;
    QFileSystemWatcher *watcher_ = nullptr;
    QSet<QString> watched_;
    qsizetype pathsWatched_ = 0;   // paths of the checker whose folders are watched
    QSet<QString> changedFolders_; // and files
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

#pragma once
#include "app/patrolundo.h"

#include <QByteArray>
#include <QList>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTimer;
class QTreeView;

namespace kirano {

class ListFileWatch;
class MarkDelegate;
class PatrolListModel;
class PatrolMarks;
struct PatrolEntry;
class Prompts;

// The patrol list pane ("PatrolPane"): lsv1 above the weekday strip, the
// commands of pop4 and of the file menu, and the file being edited. It asks
// the user only through Prompts and touches nothing outside itself. Every
// change to the list is one step of its history, so it can be undone.
class PatrolListPane : public QWidget {
    Q_OBJECT
  public:
    // patrolListFolder: where the file dialogs start, read at each use.
    PatrolListPane(Prompts &prompts, std::function<QByteArray()> patrolListFolder,
                   QWidget *parent = nullptr);

    PatrolListModel *model() const { return model_; }
    QTreeView *view() const { return view_; }
    bool hasSelectedEntry() const { return selectedRow() >= 0; }
    // The one selected row of lsv1, or -1.
    int selectedRow() const;
    void deselect();
    // Undo and redo of every change to the list; never of a file on disk.
    PatrolHistory *history() const { return history_; }
    // The list differs from the file it was last opened from or saved to
    // (a new list: from the empty one).
    bool hasUnsavedChanges() const;
    // A list brought back from a recovery copy: the list as it was, named
    // after its file, one step, with its changes still unsaved.
    void restoreList(QList<PatrolEntry> entries, const QByteArray &path);
    // The rows' marks: what the night's run would fail on.
    PatrolMarks *marks() const { return marks_; }
    // Selects the next marked row going `step` (1 or -1), round the end, and
    // shows it; nothing without a marked row.
    void selectNextMarked(int step);

    // AddEntry: one entry before the one selected row, or at the end. False,
    // and nothing added, when its display row cannot be built.
    bool addEntry(const PatrolEntry &entry);
    // ReadDays: the strip's days; hasNoDays() (noDaysFlag) is true, after saying so, when no
    // day is chosen, and every caller then stops.
    QByteArray readDays();
    bool hasNoDays() const { return hasNoDays_; }

    // pop4: N24 "上へ", N25 "下へ", Delete2 "削除", N30 "曜日変更".
    void moveSelectedEntryUp();
    void moveSelectedEntryDown();
    void deleteSelectedEntry();
    void changeSelectedEntryDays();

    // File1: New1 "クリア", Open1 "開く", Save1 "上書き保存",
    // SaveAs1 "名前を付けて保存", Delete1 "削除".
    void clear();
    void open();
    void save();
    void saveAs();
    void deleteFile();
    const QByteArray &currentFile() const { return currentFile_; }
    // "開く" of a file chosen elsewhere (a recent file): the same checks and
    // the same message when it fails.
    void openFile(const QString &path);

    // "編集...": the entry at `row` gets new fields in place, one step; the
    // row stays where it is, with its days and its selection.
    void replaceEntry(int row, const PatrolEntry &entry);

    // The clipboard: the selected entry as its six lines, as the patrol list
    // file holds them; a paste goes where a built entry would, as one step
    // however many entries it holds.
    void copySelectedEntry();
    void cutSelectedEntry();
    void pasteEntries();
    // Ctrl+D: a copy of the selected entry below it, selected.
    void duplicateSelectedEntry();
    // The clipboard holds something a paste could take. Known from the
    // clipboard's last change: asking it each time the selection moves
    // would wait on the program that owns it.
    bool clipboardHasEntries() const { return clipboardHasEntries_; }

    // The night's preview: the rows that do not run on `day` (0 = 日 to
    // 6 = 土) are greyed, and how many do is shown; -1 shows the list as
    // always. No entry and no selection changes.
    void setPreviewDay(int day);
    int previewDay() const { return previewDay_; }
    // How many entries run on the day.
    int entriesRunningOn(int day) const;
    // The preview's choice as it reads: "すべて" (-1) or the day's name.
    static QString previewDayName(int day);
    // The day's choice and its count, for the status line: made once.
    QWidget *createPreviewChoice();

  signals:
    // Label1's text for the file being edited.
    void fileCaptionChanged(const QString &caption);
    // A row of lsv1 became selected or none is: pop4's items follow.
    void selectionChanged();
    // The list came to differ from its file, or no longer does.
    void unsavedChanged(bool unsaved);
    // Another program changed the list's file since it was opened or saved
    // here; an empty path when that is over (the list was saved or another
    // opened).
    void fileChangedElsewhere(const QString &path);
    // A list file was opened or saved, by its path as stored.
    void fileUsed(const QByteArray &path);
    // Enter, F2 or a double-click on a row of lsv1: "編集...".
    void editRequested();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QWidget *createWeekdayStrip();
    // FormResize: the strip and lsv1's last column follow the width.
    void fitWeekdayStrip();
    void moveEntry(int a, int b, const QString &step);
    // A row dragged in lsv1 and dropped before row `before` (rows as they
    // were before the drop).
    void dropRow(int from, int before);
    // "クリア" and "開く" as one step; no step when nothing would change.
    void replaceList(const QString &step, QList<PatrolEntry> entries, const QByteArray &path);
    void selectRow(int row);
    void showRow(int row);
    void setCurrentFile(const QByteArray &path);
    // The list is as the file at `path` holds it (none: a new, empty list).
    void fileIsAsSaved(const QString &path);
    // The entries before the selected row, or at the end.
    void insertEntries(QList<PatrolEntry> entries);
    // The preview's count, once the list's changes of an event are in.
    void countRunning();

    Prompts &prompts_;
    std::function<QByteArray()> patrolListFolder_;
    PatrolListModel *model_ = nullptr;
    QByteArray currentFile_;
    bool hasNoDays_ = false; // noDaysFlag
    PatrolHistory *history_ = nullptr;
    PatrolMarks *marks_ = nullptr;
    PatrolEditTarget editTarget_;
    ListFileWatch *listFile_ = nullptr;
    MarkDelegate *delegate_ = nullptr;
    int previewDay_ = -1;
    QComboBox *previewChoice_ = nullptr;
    QLabel *previewCount_ = nullptr;
    QTimer *recount_ = nullptr;
    bool clipboardHasEntries_ = false;

    QTreeView *view_ = nullptr;                 // lsv1
    QWidget *daysPanel_ = nullptr;              // Panel6
    QCheckBox *everyDayBox_ = nullptr;          // CheckBox1, "毎日"
    QGroupBox *weekdayGroup_ = nullptr;         // GroupBox1
    std::array<QCheckBox *, 7> weekdayBoxes_{}; // CheckBox2 .. CheckBox8
};

} // namespace kirano

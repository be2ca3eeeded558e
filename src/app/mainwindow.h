#pragma once
#include "app/patrollistpane.h"
#include "browser/databrowser.h"
#include "store/settingsfile.h"

#include <QByteArray>
#include <QHash>
#include <QMainWindow>
#include <functional>
#include <optional>
#include <vector>

class QAbstractItemView;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace kirano {

struct BuildContext;
class ChooserDialog;
class PatioEditor;
class Prompts;
class RecentFiles;
class RecoveryCopy;
class SettingsDialog;
class StatusLine;

// The main window ("TForm1"): it lays out its parts, the data browser (lists
// on the left, tabs at the lower right) and the patrol list pane (upper
// right), owns the menus, the tool bar and the dialogs, and connects them:
// the pop-up commands build entries from the browser's selection into the
// pane.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // programFolder is the executable's folder with a trailing separator.
    MainWindow(const QString &programFolder, Prompts &prompts, QWidget *parent = nullptr);
    ~MainWindow() override;

    void attachDialogs(ChooserDialog *chooser, PatioEditor *patioEditor,
                       SettingsDialog *settingsDialog);

    const QByteArray &programFolder() const { return programFolder_; }
    const QString &settingsFilePath() const { return settingsFilePath_; }
    const SettingsFolders &folders() const { return folders_; }
    PatrolListPane *patrolPane() const { return patrolPane_; }
    PatrolListModel *patrolList() const { return patrolPane_->model(); }
    bool addEntry(const PatrolEntry &entry) { return patrolPane_->addEntry(entry); }
    bool hasNoDays() const { return patrolPane_->hasNoDays(); } // noDaysFlag
    const QByteArray &currentPatrolFile() const { return patrolPane_->currentFile(); }

    DataBrowser *browser() const { return browser_; }
    void setViewMode(ViewMode mode) { browser_->setViewMode(mode); }
    const ForumList &forumList() const { return browser_->forumList(); }
    const QByteArray &patioListPath() const { return browser_->patioListPath(); }
    const QList<PatioRecord> &patioList() const { return browser_->patioList(); }

    // At start, once the window shows: a list left unsaved by a Kirano that
    // is gone is offered back, newest first, saying from which file and when.
    void offerRecovery();

  protected:
    void changeEvent(QEvent *event) override;
    // A list with unsaved changes is kept in its recovery copy.
    void closeEvent(QCloseEvent *event) override;

  private:
    // The menu items' commands; the menu tables name each item.
    void editPatios();
    void editSettings();
    // "編集...": the selected entry's builder asks its questions again.
    void editSelectedEntry();
    // A list of "最近使ったファイル".
    void openRecent(const QByteArray &path);
    void fillRecentMenu(QMenu *menu);

    // One row of a menu table: the item as the form names it, what it runs,
    // and when it is enabled (checked as the menu opens; none: always).
    struct MenuRow {
        const char *name; // nullptr: a separator
        QString caption;
        std::function<void()> run;
        bool (MainWindow::*enabledWhen)() const = nullptr;
    };
    QMenu *menuFrom(const char *name, const QString &title, const std::vector<MenuRow> &rows);
    // An item's enabled state by its menu row's rule.
    void refreshEnabled(QAction *item);
    QHash<QAction *, bool (MainWindow::*)() const> enabledWhen_;
    std::function<void()> runs(void (MainWindow::*handler)());
    std::function<void()> adds(std::optional<PatrolEntry> (*builder)(BuildContext &));
    // What a pop-up's items need selected.
    bool forumSelected() const;
    bool patioSelected() const;
    bool roomViewRowSelected() const;
    bool noticeSelected() const;
    bool librarySelected() const;
    bool entrySelected() const;
    bool entryEditable() const;
    bool clipboardHasEntries() const;

    void createWindow();
    void createMainMenu();
    void createToolBar();
    QWidget *createRightPanel();
    void createPopupMenus();
    // 編集, after the required menus: undo, "編集...", the clipboard, the
    // search box and the night's preview. Its row items join pop4 too.
    void createEditMenu();
    // The list's pop-up, opened by a right-click or from the keyboard.
    void attachPopup(QAbstractItemView *list, std::function<QMenu *()> menu);
    // Keys: of the menu items, of lsv1's pop-up, of undo and redo.
    void createKeys();

    void createStatusLine();
    // The selected entry's problems and the number of marked entries.
    void showMarks();

    bool readSettingsFolders();
    BuildContext buildContext();
    void addBuilt(std::optional<PatrolEntry> (*builder)(BuildContext &));

    Prompts &prompts_;
    PatrolListPane *patrolPane_ = nullptr;
    DataBrowser *browser_ = nullptr;
    ChooserDialog *chooser_ = nullptr;
    PatioEditor *patioEditor_ = nullptr;
    SettingsDialog *settingsDialog_ = nullptr;
    StatusLine *status_ = nullptr;
    RecoveryCopy *recovery_ = nullptr;
    QString changedElsewhere_; // the note of the list's file, while shown
    RecentFiles *recent_ = nullptr;

    // State of the run.
    QByteArray programFolder_;
    QString settingsFilePath_;
    SettingsFolders folders_;

    // Controls; each carries the form's name as its object name.
    QToolBar *toolBar_ = nullptr; // ToolBar1
    QLabel *fileLabel_ = nullptr; // Label1
    // Between the lists on the left and the rest.
    QSplitter *listsSplitter_ = nullptr; // Splitter1
    // Between the patrol list and the data tabs below it.
    QSplitter *patrolTabsSplitter_ = nullptr; // Splitter3
};

} // namespace kirano

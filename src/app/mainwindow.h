#pragma once
#include "app/patrollistpane.h"
#include "browser/forumlist.h"
#include "browser/recordlistmodel.h"
#include "dialogs/patiofile.h"
#include "dialogs/settingsfile.h"

#include <QByteArray>
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeView;

namespace kirano {

class ByteListModel;
struct BuildContext;
class ChooserDialog;
class DataListView;
class PatioEditor;
class PatrolListModel;
struct PatrolEntry;
class Prompts;
class SettingsDialog;
class TextPane;

enum class ViewMode { Forum, Notices, Fees, Bbs, Warnings };
// What a captured file is shown as: the rooms, notices and libraries in a
// data list, the top page, fees and warnings in the text pane.
enum class Captured { Rooms, Libraries, TopPage, Notices, Fees, Warnings };

// The main window: the data browser on the left and at the lower right, the
// patrol list editor at the upper right. It owns all state shared by the
// commands for the whole run.
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
    int noDaysFlag() const { return patrolPane_->noDaysFlag(); }
    const QByteArray &currentPatrolFile() const { return patrolPane_->currentFile(); }

    void setViewMode(ViewMode mode);
    // ListBox2's click: the forum's rooms, libraries and top page.
    void showSelectedForum();
    const QList<ForumRecord> &forumList() const { return forumModel_->records(); }
    const QByteArray &patioListPath() const { return patioListPath_; }
    const QList<PatioRecord> &patioList() const { return patioModel_->records(); }

  private:
    // The menu items' commands; the menu tables name each item.
    void editPatios();
    void editSettings();
    void loadForumList();
    void loadPatioList();
    // ListBox1's click: notices, fees, BBS categories or warnings.
    void showSelectedService();

    // One row of a menu table: the item as the form names it, what it runs,
    // and when it is enabled (checked as the menu opens; none: always).
    struct MenuRow {
        const char *name; // nullptr: a separator
        QString caption;
        std::function<void()> run;
        bool (MainWindow::*enabledWhen)() const = nullptr;
    };
    QMenu *menuFrom(const char *name, const QString &title, const std::vector<MenuRow> &rows);
    std::function<void()> runs(void (MainWindow::*handler)());
    std::function<void()> adds(std::optional<PatrolEntry> (*builder)(BuildContext &));
    // What a pop-up's items need selected.
    bool forumSelected() const;
    bool patioSelected() const;
    bool listBox4RowSelected() const;
    bool noticeSelected() const;
    bool librarySelected() const;
    bool entrySelected() const;

    void createWindow();
    void createMainMenu();
    void createToolBar();
    QWidget *createLeftPanel();
    QWidget *createRightPanel();
    QTabWidget *createDataTabs();
    void createPopupMenus();
    void attachPopup(QWidget *list, std::function<QMenu *()> menu);

    bool readSettingsFolders();
    void showCaptured(Captured what, const QByteArray &path);
    BuildContext buildContext();
    void addBuilt(std::optional<PatrolEntry> (*builder)(BuildContext &));
    static std::optional<QByteArray> selectedRowOf(const DataListView *list,
                                                   const ByteListModel *model);

    Prompts &prompts_;
    PatrolListPane *patrolPane_ = nullptr;
    ChooserDialog *chooser_ = nullptr;
    PatioEditor *patioEditor_ = nullptr;
    SettingsDialog *settingsDialog_ = nullptr;

    // State of the run.
    QByteArray programFolder_;
    QString settingsFilePath_;
    SettingsFolders folders_;
    // The patio list file; set on every load.
    QByteArray patioListPath_;

    // Models behind the lists.
    ByteListModel *serviceModel_ = nullptr;
    // The forum records sorted, the patio records in file order.
    RecordListModel<ForumRecord> *forumModel_ = nullptr;
    RecordListModel<PatioRecord> *patioModel_ = nullptr;
    ByteListModel *listBox4Model_ = nullptr;
    ByteListModel *listBox5Model_ = nullptr;

    // Controls, named as on the form.
    QToolBar *ToolBar1 = nullptr;
    QLabel *Label1 = nullptr;
    DataListView *ListBox1 = nullptr;
    DataListView *ListBox2 = nullptr;
    DataListView *ListBox3 = nullptr;
    DataListView *ListBox4 = nullptr;
    DataListView *ListBox5 = nullptr;
    QSplitter *Splitter1 = nullptr;
    QSplitter *Splitter2 = nullptr;
    QSplitter *Splitter3 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *TabSheet3 = nullptr;
    QLabel *Panel3 = nullptr;
    QLabel *Panel4 = nullptr;
    QLabel *Panel5 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    TextPane *Label2 = nullptr;

    // What ListBox4 shows last: rooms, notices or BBS categories; its
    // pop-up follows.
    ViewMode listBox4Shows_ = ViewMode::Forum;
};

} // namespace kirano

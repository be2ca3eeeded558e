#pragma once
#include "store/forumlistmodel.h"
#include "store/patiofile.h"
#include "store/recordlistmodel.h"
#include "store/selection.h"
#include "text/result.h"

#include <QByteArray>
#include <QObject>
#include <array>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QWidget;

namespace kirano {

class ByteListModel;
class DataListView;
class FilteredListModel;
class ListFilter;
class Prompts;
class TextPane;

enum class ViewMode { Forum, Notices, Fees, Bbs, Warnings };
// What a captured file is shown as: the rooms, notices and libraries in a
// data list, the top page, fees and warnings in the text pane.
enum class Captured { Rooms, Libraries, TopPage, Notices, Fees, Warnings };

// The data browser: the service, forum and patio lists (ListBox1-3) and the
// tabs of captured data (ListBox4, ListBox5, Label2 and their date panels),
// with the view modes. The form puts the lists on the left and the tabs at
// the lower right with the patrol list between, so the browser makes two
// widgets for the window to lay out. It reads only the data folder.
class DataBrowser : public QObject {
    Q_OBJECT
  public:
    DataBrowser(Prompts &prompts, std::function<QByteArray()> dataFolder,
                QObject *parent = nullptr);

    // Panel1 with ListBox1 above Splitter2 (ListBox2, ListBox3); then
    // PageControl1. Made once each, in this order.
    QWidget *createListsPanel();
    QTabWidget *createTabs();
    // The five lists, by what they show.
    DataListView *serviceView() const { return serviceView_; } // ListBox1
    DataListView *forumView() const { return forumView_; }     // ListBox2
    DataListView *patioView() const { return patioView_; }     // ListBox3
    // ListBox4: the forum's rooms, the notices or the BBS categories.
    DataListView *roomView() const { return roomView_; }
    DataListView *libraryView() const { return libraryView_; } // ListBox5

    void setViewMode(ViewMode mode);
    // ListBox2's click: the forum's rooms, libraries and top page.
    void showSelectedForum();
    ViewMode roomViewShows() const { return roomViewShows_; }
    // ListBox4 holds notices read from their file, not the placeholder row
    // that stands for a missing file.
    bool noticesShown() const { return roomViewShows_ == ViewMode::Notices && noticesRead_; }
    void loadForumList();
    void loadPatioList();
    // The forum, patio and data rows the command builders read.
    BrowserSelection selection() const;
    // Nothing shown: after a load that failed.
    void clearRecords();

    const ForumList &forumList() const { return forumModel_->forums(); }

    // The search box above the forum list ("ListSearch"): it narrows the
    // forum list, or the conference-room or library list when one of them
    // had the keyboard last. Each list keeps its own text; the rooms' and
    // libraries' go when their rows are replaced (another forum).
    QLineEdit *searchBox() const { return searchBox_; }
    // Ctrl+F: the keyboard to the search box, its text selected.
    void focusSearch();
    // The list the search box narrows: the forum, room or library view.
    DataListView *searchedView() const;
    // Still looking at rows for the text typed.
    bool isSearching() const;
    const QByteArray &patioListPath() const { return patioListPath_; }
    const QList<PatioRecord> &patioList() const { return patioModel_->records(); }

  signals:
    // Any data list clicked: the next command is appended, not inserted.
    void listClicked();
    // A data file too large to read was not read: what names it and its
    // size, for the status line (the lists stay empty without a message).
    void note(const QString &text);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // A list the search box narrows, and the row of its whole list last
    // chosen in it: chosen again whenever the search shows it.
    struct Searched {
        DataListView *list = nullptr;
        FilteredListModel *model = nullptr;
        ListFilter *filter = nullptr;
        QString placeholder;
        int chosen = -1;
    };
    void createSearch();
    void searchIn(Searched *searched);
    void searchShown(Searched &searched);
    // ListBox1's click: notices, fees, BBS categories or warnings.
    void showSelectedService();
    void showCaptured(Captured what, const QByteArray &path);
    template <typename T> void noteTooLarge(const QString &path, const text::Result<T> &read);
    static std::optional<QByteArray> selectedRowOf(const DataListView *list,
                                                   const ByteListModel *model);

    Prompts &prompts_;
    std::function<QByteArray()> dataFolder_;
    QByteArray patioListPath_; // set on every load
    // What ListBox4 shows last: rooms, notices or BBS categories.
    ViewMode roomViewShows_ = ViewMode::Forum;
    bool noticesRead_ = false;

    ByteListModel *serviceModel_ = nullptr;
    // The forum records sorted, the patio records in file order.
    ForumListModel *forumModel_ = nullptr;
    RecordListModel<PatioRecord> *patioModel_ = nullptr;
    ByteListModel *roomModel_ = nullptr;
    ByteListModel *libraryModel_ = nullptr;

    // Controls; each carries the form's name as its object name.
    std::array<DataListView *, 5> lists_{};
    DataListView *serviceView_ = nullptr;     // ListBox1
    DataListView *forumView_ = nullptr;       // ListBox2
    DataListView *patioView_ = nullptr;       // ListBox3
    DataListView *roomView_ = nullptr;        // ListBox4
    DataListView *libraryView_ = nullptr;     // ListBox5
    QSplitter *forumPatioSplitter_ = nullptr; // Splitter2
    QTabWidget *dataTabs_ = nullptr;          // PageControl1
    // The tabs: the room view's, the library view's and the text pane's.
    QWidget *roomTab_ = nullptr;    // TabSheet1
    QWidget *libraryTab_ = nullptr; // TabSheet2
    QWidget *textTab_ = nullptr;    // TabSheet3
    // Each tab's date panel: the date line of the file it shows.
    QLabel *roomDatePanel_ = nullptr;    // Panel3
    QLabel *libraryDatePanel_ = nullptr; // Panel4
    QLabel *textDatePanel_ = nullptr;    // Panel5
    QScrollArea *textScroll_ = nullptr;  // ScrollBox1
    TextPane *textPane_ = nullptr;       // Label2

    QLineEdit *searchBox_ = nullptr;     // ListSearch
    std::array<Searched, 3> searched_{}; // forums, rooms, libraries
    Searched *searchTarget_ = nullptr;
    // The forum chosen is hidden by the search, and so are its views.
    bool forumViewsHidden_ = false;
};

} // namespace kirano

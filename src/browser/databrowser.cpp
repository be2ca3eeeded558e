#include "browser/databrowser.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "store/bbscategories.h"
#include "store/bytelistmodel.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/listfilter.h"
#include "store/patiofile.h"
#include "store/prompts.h"
#include "text/files.h"
#include "text/sjis.h"
#include "widgets/actions.h"
#include "widgets/fonts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>

namespace kirano {

namespace {

QLabel *makeDatePanel(const char *name, QWidget *parent) {
    auto *panel = new QLabel(QStringLiteral(u"     データ取得日-------------"), parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFixedHeight(25);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return panel;
}

// A tab page holding a view above its date panel.
QWidget *makeTabSheet(const char *name, QWidget *view, QLabel *datePanel) {
    QWidget *sheet = makePanel(name);
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view, 1);
    layout->addWidget(datePanel);
    return sheet;
}

} // namespace

DataBrowser::DataBrowser(Prompts &prompts, std::function<QByteArray()> dataFolder, QObject *parent)
    : QObject(parent), prompts_(prompts), dataFolder_(std::move(dataFolder)) {}

QWidget *DataBrowser::createListsPanel() {
    QWidget *panel = makePanel("Panel1");
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    serviceModel_ = new ByteListModel(this);
    serviceModel_->setRows({text::bytesOf(u"お知らせ"), text::bytesOf(u"料金情報"),
                            text::bytesOf(u"掲示板"), text::bytesOf(u"警告")});
    serviceView_ = new DataListView(QStringLiteral("ListBox1"), panel);
    serviceView_->setModel(serviceModel_);
    serviceView_->setFixedHeight(52);

    forumModel_ = new ForumListModel(this);
    forumView_ = new DataListView(QStringLiteral("ListBox2"));
    forumView_->setModel(forumModel_);

    patioModel_ = new RecordListModel<PatioRecord>(this);
    patioView_ = new DataListView(QStringLiteral("ListBox3"));
    patioView_->setModel(patioModel_);

    for (DataListView *list : {serviceView_, forumView_})
        list->setFont(fixedFont());

    // The search box sits on top of the forum list, which it narrows most.
    ListSearch = new QLineEdit;
    ListSearch->setObjectName(QStringLiteral("ListSearch"));
    ListSearch->setClearButtonEnabled(true);
    QWidget *forums = makePanel("ForumPanel");
    auto *forumLayout = new QVBoxLayout(forums);
    forumLayout->setContentsMargins(0, 0, 0, 0);
    forumLayout->setSpacing(0);
    forumLayout->addWidget(ListSearch);
    forumLayout->addWidget(forumView_, 1);

    // Splitter2 drags the border between the forums and the patios; growth
    // goes to the patios.
    Splitter2 = new QSplitter(Qt::Vertical, panel);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(2);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(forums);
    Splitter2->addWidget(patioView_);
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({424, 100});

    layout->addWidget(serviceView_);
    layout->addWidget(Splitter2, 1);
    connect(serviceView_, &DataListView::rowClicked, this, &DataBrowser::showSelectedService);
    connect(forumView_, &DataListView::rowClicked, this, &DataBrowser::showSelectedForum);
    return panel;
}

QTabWidget *DataBrowser::createTabs() {
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    roomModel_ = new ByteListModel(this);
    roomView_ = new DataListView(QStringLiteral("ListBox4"));
    roomView_->setModel(roomModel_);
    Panel3 = makeDatePanel("Panel3", nullptr);
    TabSheet1 = makeTabSheet("TabSheet1", roomView_, Panel3);

    libraryModel_ = new ByteListModel(this);
    libraryView_ = new DataListView(QStringLiteral("ListBox5"));
    libraryView_->setModel(libraryModel_);
    Panel4 = makeDatePanel("Panel4", nullptr);
    TabSheet2 = makeTabSheet("TabSheet2", libraryView_, Panel4);

    for (DataListView *list : {roomView_, libraryView_})
        list->setFont(fixedFont());

    ScrollBox1 = new QScrollArea;
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Base);
    Label2 = new TextPane(QStringLiteral("Label2"));
    Label2->setFont(fixedFont());
    Label2->setLines({text::bytesOf(u"データ無し")});
    ScrollBox1->setWidget(Label2);
    ScrollBox1->setWidgetResizable(false);
    Panel5 = makeDatePanel("Panel5", nullptr);
    TabSheet3 = makeTabSheet("TabSheet3", ScrollBox1, Panel5);

    PageControl1->addTab(TabSheet1, QStringLiteral(u"会議室"));
    PageControl1->addTab(TabSheet2, QStringLiteral(u"ライブラリィ"));
    PageControl1->addTab(TabSheet3, QStringLiteral(u"トップ"));
    lists_ = {serviceView_, forumView_, patioView_, roomView_, libraryView_};
    for (DataListView *list : lists_)
        connect(list, &DataListView::rowClicked, this, &DataBrowser::listClicked);
    createSearch();
    return PageControl1;
}

void DataBrowser::createSearch() {
    searched_ = {
        Searched{forumView_, forumModel_, nullptr, QStringLiteral(u"フォーラムを検索 (Ctrl+F)")},
        Searched{roomView_, roomModel_, nullptr, QStringLiteral(u"会議室を検索 (Ctrl+F)")},
        Searched{libraryView_, libraryModel_, nullptr,
                 QStringLiteral(u"ライブラリィを検索 (Ctrl+F)")}};
    for (Searched &searched : searched_) {
        Searched *s = &searched;
        // What the user chooses is kept, to be chosen again when a search
        // shows it; rows replaced hold it no more. Both are known before the
        // search hears of the new rows, so connected first.
        connect(s->list, &DataListView::rowClicked, this, [this, s] {
            s->chosen = s->model->wholeRow(s->list->selectedRow());
            if (s->list == forumView_)
                forumViewsHidden_ = false; // the click showed them
        });
        connect(s->model, &FilteredListModel::rowsReplaced, this, [this, s] {
            s->chosen = -1;
            if (s->list == forumView_)
                forumViewsHidden_ = false;
        });
        // A forum list is read anew with the same text; rooms and libraries
        // are another forum's, whose rows the text was not meant for.
        s->filter = new ListFilter(s->model, s->list == forumView_, this);
        connect(s->filter, &ListFilter::shown, this, [this, s] { searchShown(*s); });
        connect(s->filter, &ListFilter::textDropped, this, [this, s] {
            if (searchTarget_ == s) {
                const QSignalBlocker quiet(ListSearch);
                ListSearch->clear();
            }
        });
    }
    // A click in the service or patio list takes the forum's choice away.
    for (DataListView *other : {serviceView_, patioView_}) {
        connect(other, &DataListView::rowClicked, this, [this] {
            searched_[0].chosen = -1;
            forumViewsHidden_ = false;
        });
    }
    connect(ListSearch, &QLineEdit::textChanged, this,
            [this](const QString &text) { searchTarget_->filter->setText(text); });
    ListSearch->installEventFilter(this);
    // The box narrows the list that had the keyboard last.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now == forumView_ || (now == roomView_ && roomViewShows_ != ViewMode::Forum))
            searchIn(&searched_[0]);
        else if (now == roomView_)
            searchIn(&searched_[1]);
        else if (now == libraryView_)
            searchIn(&searched_[2]);
    });
    searchIn(&searched_[0]);
}

void DataBrowser::searchIn(Searched *searched) {
    if (searchTarget_ == searched)
        return;
    searchTarget_ = searched;
    if (ListSearch->hasFocus())
        searched->filter->prepare();
    const QSignalBlocker quiet(ListSearch);
    ListSearch->setText(searched->filter->text());
    ListSearch->setPlaceholderText(searched->placeholder);
    ListSearch->setToolTip(searched->placeholder);
}

int DataBrowser::searchedList() const {
    return searchTarget_ == &searched_[1] ? 4 : searchTarget_ == &searched_[2] ? 5 : 2;
}

bool DataBrowser::isSearching() const {
    return std::any_of(searched_.cbegin(), searched_.cend(), [](const Searched &s) {
        return s.filter && (s.filter->isSearching() || s.filter->isPreparing());
    });
}

void DataBrowser::focusSearch() {
    ListSearch->setFocus(Qt::ShortcutFocusReason);
    ListSearch->selectAll();
}

void DataBrowser::searchShown(Searched &searched) {
    // The row last chosen is chosen again while the search shows it; a
    // choice made by the program reports nothing, so no view is read anew.
    const int row = searched.model->shownRow(searched.chosen);
    if (row >= 0) {
        const QModelIndex index = searched.model->index(row, 0);
        searched.list->selectionModel()->setCurrentIndex(index,
                                                         QItemSelectionModel::ClearAndSelect);
        searched.list->scrollTo(index);
    }
    if (searched.list != forumView_ || searched.chosen < 0)
        return;
    // The forum's views go while the search hides the forum, and come back
    // with it, so that the rooms and libraries shown are always the chosen
    // forum's.
    if (row < 0 && !forumViewsHidden_ && roomViewShows_ == ViewMode::Forum) {
        setViewMode(ViewMode::Forum);
        forumViewsHidden_ = true;
    } else if (row >= 0 && forumViewsHidden_) {
        forumViewsHidden_ = false;
        showSelectedForum();
    }
}

bool DataBrowser::eventFilter(QObject *watched, QEvent *event) {
    // The box about to be used: its list's texts are made ready for it.
    if (watched == ListSearch && event->type() == QEvent::FocusIn)
        searchTarget_->filter->prepare();
    if (watched == ListSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Esc empties the box, and once empty gives the keyboard back to the
        // list; Down and Enter go to the list at once.
        if (key == Qt::Key_Escape && !ListSearch->text().isEmpty()) {
            ListSearch->clear();
            return true;
        }
        if (key == Qt::Key_Escape || key == Qt::Key_Down || key == Qt::Key_Return ||
            key == Qt::Key_Enter) {
            searchTarget_->list->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void DataBrowser::setViewMode(ViewMode mode) {
    // Notices and BBS categories are not searched: the box goes back to the
    // forums.
    if (mode != ViewMode::Forum && searchTarget_ == &searched_[1])
        searchIn(&searched_[0]);
    auto showOnly = [this](QWidget *sheet) {
        for (QWidget *page : {TabSheet1, TabSheet2, TabSheet3})
            PageControl1->setTabVisible(PageControl1->indexOf(page), page == sheet);
        PageControl1->setCurrentWidget(sheet);
    };
    auto emptyText = [this] { Label2->clear(); };
    switch (mode) {
    case ViewMode::Forum:
        roomModel_->clear();
        libraryModel_->clear();
        emptyText();
        roomView_->setSelectionMode(QAbstractItemView::SingleSelection);
        PageControl1->setTabText(PageControl1->indexOf(TabSheet1), QStringLiteral(u"会議室"));
        PageControl1->setTabText(PageControl1->indexOf(TabSheet2), QStringLiteral(u"ライブラリィ"));
        PageControl1->setTabText(PageControl1->indexOf(TabSheet3), QStringLiteral(u"トップ"));
        for (QWidget *page : {TabSheet1, TabSheet2, TabSheet3})
            PageControl1->setTabVisible(PageControl1->indexOf(page), true);
        PageControl1->setCurrentWidget(TabSheet1);
        Label2->setAccessibleName(PageControl1->tabText(PageControl1->indexOf(TabSheet3)));
        roomViewShows_ = mode;
        return;
    case ViewMode::Notices:
    case ViewMode::Bbs: {
        const bool notices = mode == ViewMode::Notices;
        roomModel_->clear();
        roomView_->setSelectionMode(notices ? QAbstractItemView::MultiSelection
                                            : QAbstractItemView::SingleSelection);
        PageControl1->setTabText(PageControl1->indexOf(TabSheet1),
                                 notices ? QStringLiteral(u"お知らせ") : QStringLiteral(u"掲示板"));
        showOnly(TabSheet1);
        roomViewShows_ = mode;
        return;
    }
    case ViewMode::Fees:
    case ViewMode::Warnings:
        emptyText();
        PageControl1->setTabText(PageControl1->indexOf(TabSheet3), mode == ViewMode::Fees
                                                                       ? QStringLiteral(u"料金情報")
                                                                       : QStringLiteral(u"警告"));
        Label2->setAccessibleName(PageControl1->tabText(PageControl1->indexOf(TabSheet3)));
        showOnly(TabSheet3);
        return;
    }
    prompts_.message(QStringLiteral(u"エラー"));
}

void DataBrowser::loadForumList() {
    forumModel_->clear();
    setViewMode(ViewMode::Forum);
    const QString path = text::nativePath(DataFolder(dataFolder_()).forumList());
    text::Result<ForumList> forums = text::fileExists(path) ? tryReadForumList(path) : ForumList();
    noteTooLarge(path, forums);
    forumModel_->setForums(std::move(forums).value_or(ForumList()));
}

template <typename T>
void DataBrowser::noteTooLarge(const QString &path, const text::Result<T> &read) {
    if (!read && read.error().code() == EFBIG)
        emit note(text::cannotReadText(path, read.error()));
}

void DataBrowser::showSelectedForum() {
    setViewMode(ViewMode::Forum);
    serviceView_->clearSelectedRows();
    patioView_->clearSelectedRows();
    const std::optional<ForumRecord> forum = forumModel_->record(forumView_->selectedRow());
    if (!forum)
        return;
    const DataFolder data(dataFolder_());
    showCaptured(Captured::Rooms, data.rooms(forum->code));
    showCaptured(Captured::Libraries, data.libraries(forum->code));
    showCaptured(Captured::TopPage, data.topPage(forum->code));
}

// A captured file into its view and its date panel in one step; without the
// file, the view's placeholder rows and the blank date.
void DataBrowser::showCaptured(Captured what, const QByteArray &path) {
    const bool rooms = what == Captured::Rooms;
    const bool libraries = what == Captured::Libraries;
    const bool inRoomView = rooms || what == Captured::Notices;
    ByteListModel *list = inRoomView ? roomModel_ : libraries ? libraryModel_ : nullptr;
    QLabel *datePanel = inRoomView ? Panel3 : libraries ? Panel4 : Panel5;
    QList<QByteArray> placeholder = rooms ? placeholderRooms()
                                    : libraries
                                        ? placeholderLibraries()
                                        : QList<QByteArray>{text::bytesOf(u"ファイルがありません")};
    QList<QByteArray> rows;
    QString date;
    const QString native = text::nativePath(path);
    const bool found = text::fileExists(native);
    if (found) {
        const text::Result<CapturedRows> read = readCapturedRows(native);
        noteTooLarge(native, read);
        CapturedRows captured = read.value_or(CapturedRows{{}, placeholderPanel()});
        rows = std::move(captured.rows);
        date = text::shownText(captured.datePanel);
    } else {
        rows = std::move(placeholder);
        date = text::decode(placeholderPanel());
    }
    if (what == Captured::Notices)
        noticesRead_ = found;
    if (list) // otherwise the text pane
        list->setRows(std::move(rows));
    else
        Label2->setLines(std::move(rows));
    datePanel->setText(date);
}

void DataBrowser::showSelectedService() {
    forumView_->clearSelectedRows();
    patioView_->clearSelectedRows();
    const DataFolder data(dataFolder_());
    switch (serviceView_->selectedRow()) {
    case 0:
        setViewMode(ViewMode::Notices);
        showCaptured(Captured::Notices, data.notices());
        return;
    case 1:
        setViewMode(ViewMode::Fees);
        showCaptured(Captured::Fees, data.fees());
        return;
    case 2:
        setViewMode(ViewMode::Bbs);
        roomModel_->setRows(bbsCategoryRows());
        Panel3->setText(text::decode(placeholderPanel()));
        return;
    case 3:
        setViewMode(ViewMode::Warnings);
        showCaptured(Captured::Warnings, data.warnings());
        return;
    default:
        return;
    }
}

void DataBrowser::loadPatioList() {
    patioListPath_ = DataFolder(dataFolder_()).patioList();
    const QString path = text::nativePath(patioListPath_);
    const text::Result<QList<PatioRecord>> read =
        text::fileExists(path) ? readPatioList(path) : QList<PatioRecord>();
    noteTooLarge(path, read);
    patioModel_->setRecords(read.value_or(QList<PatioRecord>()));
}

std::optional<QByteArray> DataBrowser::selectedRowOf(const DataListView *list,
                                                     const ByteListModel *model) {
    // The row of the whole list, however the search narrows it.
    const QByteArray *row = model->shownRowBytes(list->selectedRow());
    if (!row)
        return std::nullopt;
    return *row;
}

void DataBrowser::clearRecords() {
    forumModel_->clear();
    patioModel_->clear();
}

BrowserSelection DataBrowser::selection() const {
    BrowserSelection selection;
    if (const std::optional<ForumRecord> forum = forumModel_->record(forumView_->selectedRow()))
        selection.forumCode = forum->code;
    selection.roomRow = selectedRowOf(roomView_, roomModel_);
    selection.libraryRow = selectedRowOf(libraryView_, libraryModel_);
    QList<int> notices;
    if (noticesShown()) {
        for (const QModelIndex &index : roomView_->selectionModel()->selectedRows())
            notices.append(index.row());
    }
    std::sort(notices.begin(), notices.end()); // in list order, not selection order
    for (int row : notices) {
        if (const QByteArray *notice = roomModel_->shownRowBytes(row))
            selection.selectedNotices.append(*notice);
    }
    selection.bbsRow = roomView_->selectedRow();
    if (const PatioRecord *patio = patioModel_->record(patioView_->selectedRow())) {
        selection.patioId = patio->id;
        selection.patioPassword = patio->password;
    }
    return selection;
}

} // namespace kirano

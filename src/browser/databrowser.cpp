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
QWidget *makeTabPage(const char *name, QWidget *view, QLabel *datePanel) {
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
    searchBox_ = new QLineEdit;
    searchBox_->setObjectName(QStringLiteral("ListSearch"));
    searchBox_->setClearButtonEnabled(true);
    QWidget *forums = makePanel("ForumPanel");
    auto *forumLayout = new QVBoxLayout(forums);
    forumLayout->setContentsMargins(0, 0, 0, 0);
    forumLayout->setSpacing(0);
    forumLayout->addWidget(searchBox_);
    forumLayout->addWidget(forumView_, 1);

    // The splitter drags the border between the forums and the patios; growth
    // goes to the patios.
    forumPatioSplitter_ = new QSplitter(Qt::Vertical, panel);
    forumPatioSplitter_->setObjectName(QStringLiteral("Splitter2"));
    forumPatioSplitter_->setHandleWidth(2);
    forumPatioSplitter_->setChildrenCollapsible(false);
    forumPatioSplitter_->addWidget(forums);
    forumPatioSplitter_->addWidget(patioView_);
    forumPatioSplitter_->setStretchFactor(0, 0);
    forumPatioSplitter_->setStretchFactor(1, 1);
    forumPatioSplitter_->setSizes({424, 100});

    layout->addWidget(serviceView_);
    layout->addWidget(forumPatioSplitter_, 1);
    connect(serviceView_, &DataListView::rowClicked, this, &DataBrowser::showSelectedService);
    connect(forumView_, &DataListView::rowClicked, this, &DataBrowser::showSelectedForum);
    return panel;
}

QTabWidget *DataBrowser::createTabs() {
    dataTabs_ = new QTabWidget;
    dataTabs_->setObjectName(QStringLiteral("PageControl1"));

    roomModel_ = new ByteListModel(this);
    roomView_ = new DataListView(QStringLiteral("ListBox4"));
    roomView_->setModel(roomModel_);
    roomDatePanel_ = makeDatePanel("Panel3", nullptr);
    roomTab_ = makeTabPage("TabSheet1", roomView_, roomDatePanel_);

    libraryModel_ = new ByteListModel(this);
    libraryView_ = new DataListView(QStringLiteral("ListBox5"));
    libraryView_->setModel(libraryModel_);
    libraryDatePanel_ = makeDatePanel("Panel4", nullptr);
    libraryTab_ = makeTabPage("TabSheet2", libraryView_, libraryDatePanel_);

    for (DataListView *list : {roomView_, libraryView_})
        list->setFont(fixedFont());

    textScroll_ = new QScrollArea;
    textScroll_->setObjectName(QStringLiteral("ScrollBox1"));
    textScroll_->setBackgroundRole(QPalette::Base);
    textPane_ = new TextPane(QStringLiteral("Label2"));
    textPane_->setFont(fixedFont());
    textPane_->setLines({text::bytesOf(u"データ無し")});
    textScroll_->setWidget(textPane_);
    textScroll_->setWidgetResizable(false);
    textDatePanel_ = makeDatePanel("Panel5", nullptr);
    textTab_ = makeTabPage("TabSheet3", textScroll_, textDatePanel_);

    dataTabs_->addTab(roomTab_, QStringLiteral(u"会議室"));
    dataTabs_->addTab(libraryTab_, QStringLiteral(u"ライブラリィ"));
    dataTabs_->addTab(textTab_, QStringLiteral(u"トップ"));
    lists_ = {serviceView_, forumView_, patioView_, roomView_, libraryView_};
    for (DataListView *list : lists_)
        connect(list, &DataListView::rowClicked, this, &DataBrowser::listClicked);
    createSearch();
    return dataTabs_;
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
                const QSignalBlocker quiet(searchBox_);
                searchBox_->clear();
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
    connect(searchBox_, &QLineEdit::textChanged, this,
            [this](const QString &text) { searchTarget_->filter->setText(text); });
    searchBox_->installEventFilter(this);
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
    if (searchBox_->hasFocus())
        searched->filter->prepare();
    const QSignalBlocker quiet(searchBox_);
    searchBox_->setText(searched->filter->text());
    searchBox_->setPlaceholderText(searched->placeholder);
    searchBox_->setToolTip(searched->placeholder);
}

DataListView *DataBrowser::searchedView() const {
    return searchTarget_ ? searchTarget_->list : forumView_;
}

bool DataBrowser::isSearching() const {
    return std::any_of(searched_.cbegin(), searched_.cend(), [](const Searched &s) {
        return s.filter && (s.filter->isSearching() || s.filter->isPreparing());
    });
}

void DataBrowser::focusSearch() {
    searchBox_->setFocus(Qt::ShortcutFocusReason);
    searchBox_->selectAll();
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
    if (watched == searchBox_ && event->type() == QEvent::FocusIn)
        searchTarget_->filter->prepare();
    if (watched == searchBox_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Esc empties the box, and once empty gives the keyboard back to the
        // list; Down and Enter go to the list at once.
        if (key == Qt::Key_Escape && !searchBox_->text().isEmpty()) {
            searchBox_->clear();
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
        for (QWidget *page : {roomTab_, libraryTab_, textTab_})
            dataTabs_->setTabVisible(dataTabs_->indexOf(page), page == sheet);
        dataTabs_->setCurrentWidget(sheet);
    };
    auto emptyText = [this] { textPane_->clear(); };
    switch (mode) {
    case ViewMode::Forum:
        roomModel_->clear();
        libraryModel_->clear();
        emptyText();
        roomView_->setSelectionMode(QAbstractItemView::SingleSelection);
        dataTabs_->setTabText(dataTabs_->indexOf(roomTab_), QStringLiteral(u"会議室"));
        dataTabs_->setTabText(dataTabs_->indexOf(libraryTab_), QStringLiteral(u"ライブラリィ"));
        dataTabs_->setTabText(dataTabs_->indexOf(textTab_), QStringLiteral(u"トップ"));
        for (QWidget *page : {roomTab_, libraryTab_, textTab_})
            dataTabs_->setTabVisible(dataTabs_->indexOf(page), true);
        dataTabs_->setCurrentWidget(roomTab_);
        textPane_->setAccessibleName(dataTabs_->tabText(dataTabs_->indexOf(textTab_)));
        roomViewShows_ = mode;
        return;
    case ViewMode::Notices:
    case ViewMode::Bbs: {
        const bool notices = mode == ViewMode::Notices;
        roomModel_->clear();
        roomView_->setSelectionMode(notices ? QAbstractItemView::MultiSelection
                                            : QAbstractItemView::SingleSelection);
        dataTabs_->setTabText(dataTabs_->indexOf(roomTab_),
                              notices ? QStringLiteral(u"お知らせ") : QStringLiteral(u"掲示板"));
        showOnly(roomTab_);
        roomViewShows_ = mode;
        return;
    }
    case ViewMode::Fees:
    case ViewMode::Warnings:
        emptyText();
        dataTabs_->setTabText(dataTabs_->indexOf(textTab_), mode == ViewMode::Fees
                                                                ? QStringLiteral(u"料金情報")
                                                                : QStringLiteral(u"警告"));
        textPane_->setAccessibleName(dataTabs_->tabText(dataTabs_->indexOf(textTab_)));
        showOnly(textTab_);
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
    QLabel *datePanel = inRoomView  ? roomDatePanel_
                        : libraries ? libraryDatePanel_
                                    : textDatePanel_;
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
        textPane_->setLines(std::move(rows));
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
        roomDatePanel_->setText(text::decode(placeholderPanel()));
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

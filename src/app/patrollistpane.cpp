#include "app/patrollistpane.h"
#include "app/listfilewatch.h"
#include "app/patrollistview.h"
#include "app/patrolmarks.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "patrol/weekdays.h"
#include "store/prompts.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"
#include "widgets/celltips.h"
#include "widgets/fonts.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace kirano {

namespace {

const QString kNoData = QStringLiteral(u"データがありません");
const QString kOpenStep = QStringLiteral(u"開く");

// What a paste could take: Kirano's own entries, or any text.
bool pastable(const QMimeData *data) {
    return data && (data->hasFormat(kEntriesMimeType) || data->hasText());
}

} // namespace

PatrolListPane::PatrolListPane(Prompts &prompts, std::function<QByteArray()> patrolListFolder,
                               QWidget *parent)
    : QWidget(parent), prompts_(prompts), patrolListFolder_(std::move(patrolListFolder)) {
    setObjectName(QStringLiteral("PatrolPane"));
    auto *list = new MarkedPatrolList(this);
    model_ = list;
    marks_ = list->marks();
    history_ = new PatrolHistory(this);
    history_->setObjectName(QStringLiteral("PatrolHistory"));
    editTarget_ = {model_, [this](int row) { selectRow(row); }, [this] { return currentFile_; },
                   [this](const QByteArray &path) { setCurrentFile(path); },
                   [this](int row) { showRow(row); }};
    connect(history_, &PatrolHistory::cleanChanged, this,
            [this](bool clean) { emit unsavedChanged(!clean); });
    listFile_ = new ListFileWatch(this);
    connect(listFile_, &ListFileWatch::changed, this, &PatrolListPane::fileChangedElsewhere);
    auto *view = new PatrolListView;
    view->rowDropped = [this](int from, int before) { dropRow(from, before); };
    view_ = view;
    view_->setObjectName(QStringLiteral("lsv1"));
    view_->setModel(model_);
    delegate_ = new MarkDelegate(view_);
    view_->setItemDelegate(delegate_);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setItemsExpandable(false);
    view_->setSortingEnabled(false);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setDragDropMode(QAbstractItemView::DragDrop);
    view_->setDefaultDropAction(Qt::MoveAction);
    view_->setDragDropOverwriteMode(false);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setFont(fixedFont());
    view_->header()->setStretchLastSection(false);
    view_->header()->setSectionsMovable(false);
    const int widths[] = {130, 180, 100, 120};
    for (int column = 0; column < 4; ++column)
        view_->setColumnWidth(column, widths[column]);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(createWeekdayStrip());
    // A reset drops the selection without a word from the selection model.
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PatrolListPane::selectionChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &PatrolListPane::selectionChanged);
    connect(view_, &QAbstractItemView::doubleClicked, this, &PatrolListPane::editRequested);
    auto clipboardChanged = [this] {
        clipboardHasEntries_ = pastable(QGuiApplication::clipboard()->mimeData());
    };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();
    // The preview's count follows every change of the list, counted once
    // the changes of an event are in.
    recount_ = new QTimer(this);
    recount_->setSingleShot(true);
    recount_->setInterval(0);
    connect(recount_, &QTimer::timeout, this, &PatrolListPane::countRunning);
    for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model_, change, recount_, qOverload<>(&QTimer::start));
    connect(model_, &QAbstractItemModel::modelReset, recount_, qOverload<>(&QTimer::start));
    // A mark's own change is no change of days.
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    recount_->start();
            });
    connect(everyDayBox_, &QCheckBox::clicked, this, [this] {
        // The day boxes count only when "毎日" is not ticked.
        for (QCheckBox *box : weekdayBoxes_)
            box->setEnabled(!everyDayBox_->isChecked());
    });
}

QWidget *PatrolListPane::createWeekdayStrip() {
    daysPanel_ = new QWidget;
    daysPanel_->setObjectName(QStringLiteral("Panel6"));
    daysPanel_->setFixedHeight(50);
    everyDayBox_ = new QCheckBox(QStringLiteral(u"毎日"), daysPanel_);
    everyDayBox_->setObjectName(QStringLiteral("CheckBox1"));
    everyDayBox_->setChecked(true);
    everyDayBox_->move(16, 17);

    // The day group keeps to the right edge; fitWeekdayStrip sets its width.
    weekdayGroup_ = new QGroupBox(QStringLiteral(u"曜日選択"), daysPanel_);
    weekdayGroup_->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(weekdayGroup_);
    row->setContentsMargins(8, 0, 8, 2);
    const char16_t *days[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    for (int i = 0; i < 7; ++i) {
        auto *box = new QCheckBox(QString::fromUtf16(days[i]), weekdayGroup_);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 2));
        box->setEnabled(false);
        row->addWidget(box);
        weekdayBoxes_[i] = box;
    }
    daysPanel_->installEventFilter(this);
    view_->verticalScrollBar()->installEventFilter(this);
    return daysPanel_;
}

void PatrolListPane::fitWeekdayStrip() {
    // Width rules of the weekday strip; a strip narrower than the "毎日" box
    // leaves the group box and the last column at zero width.
    const int width = daysPanel_->width();
    const int groupWidth = qMax(0, width - 72);
    weekdayGroup_->setGeometry(width - groupWidth, 2, groupWidth, daysPanel_->height() - 4);
    // The last column ends where the view's scroll bar begins, when there
    // is one, so that no needless horizontal one appears.
    const QScrollBar *bar = view_->verticalScrollBar();
    const int used = view_->columnWidth(0) + view_->columnWidth(1) + view_->columnWidth(2) +
                     (bar->isVisible() ? bar->width() : 0);
    view_->setColumnWidth(3, qMax(0, width - used - 4));
}

bool PatrolListPane::eventFilter(QObject *watched, QEvent *event) {
    // The strip is resized exactly when the window is or Splitter1 moves;
    // lsv1's scroll bar comes and goes with its rows.
    if ((watched == daysPanel_ && event->type() == QEvent::Resize) ||
        (watched == view_->verticalScrollBar() &&
         (event->type() == QEvent::Show || event->type() == QEvent::Hide)))
        fitWeekdayStrip();
    return QWidget::eventFilter(watched, event);
}

void PatrolListPane::deselect() {
    view_->selectionModel()->clearSelection();
}

int PatrolListPane::selectedRow() const {
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

void PatrolListPane::selectRow(int row) {
    QItemSelectionModel *selection = view_->selectionModel();
    if (row < 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
}

void PatrolListPane::showRow(int row) {
    const int rows = model_->size();
    if (rows > 0)
        view_->scrollTo(model_->index(qBound(0, row, rows - 1), 0));
}

bool PatrolListPane::hasUnsavedChanges() const {
    return !history_->isClean();
}

void PatrolListPane::selectNextMarked(int step) {
    // The keys that act on the row (Delete, Alt+Up, the Menu key) work at
    // once.
    view_->setFocus(Qt::ShortcutFocusReason);
    const int row = marks_->nextMarked(selectedRow(), step);
    if (row >= 0)
        selectRow(row);
}

bool PatrolListPane::addEntry(const PatrolEntry &entry) {
    if (!hasDisplayRow(entry))
        return false;
    // Inserting before the selected row moves its selection down with it.
    const int selected = selectedRow();
    const int position = selected >= 0 ? selected : model_->size();
    history_->push(std::make_unique<InsertEntryStep>(editTarget_, position, entry, selected,
                                                     selected >= 0 ? selected + 1 : -1));
    return true;
}

void PatrolListPane::moveEntry(int a, int b, const QString &step) {
    if (a < 0 || b >= model_->size()) {
        prompts_.beep();
        prompts_.message(QStringLiteral(u"移動できません"));
        return;
    }
    // The row that moved up counts as made anew: it is never selected, so
    // after "上へ" nothing is, and after "下へ" the moved row keeps its selection.
    const int s = selectedRow();
    history_->push(std::make_unique<MoveEntryStep>(editTarget_, step, b, a, s, s == a ? b : -1));
}

void PatrolListPane::moveSelectedEntryUp() {
    const int s = selectedRow();
    if (s >= 0)
        moveEntry(s - 1, s, QStringLiteral(u"上へ"));
}

void PatrolListPane::moveSelectedEntryDown() {
    const int s = selectedRow();
    if (s >= 0)
        moveEntry(s, s + 1, QStringLiteral(u"下へ"));
}

void PatrolListPane::dropRow(int from, int before) {
    const int to = before > from ? before - 1 : before;
    if (from < 0 || from >= model_->size() || to < 0 || to >= model_->size() || to == from)
        return;
    history_->push(std::make_unique<MoveEntryStep>(editTarget_, QStringLiteral(u"移動"), from, to,
                                                   selectedRow(), to));
}

void PatrolListPane::deleteSelectedEntry() {
    const int s = selectedRow();
    if (s >= 0)
        history_->push(std::make_unique<RemoveEntryStep>(editTarget_, s, s));
}

void PatrolListPane::changeSelectedEntryDays() {
    const QByteArray days = readDays();
    if (hasNoDays_)
        return;
    const int s = selectedRow();
    if (s >= 0 && model_->entry(s).days != days)
        history_->push(std::make_unique<ChangeDaysStep>(editTarget_, s, days, s));
}

QByteArray PatrolListPane::readDays() {
    hasNoDays_ = false;
    std::array<bool, 7> ticked{};
    for (int day = 0; day < 7; ++day)
        ticked[day] = weekdayBoxes_[day]->isChecked();
    QByteArray days = daysText(everyDayBox_->isChecked(), ticked);
    if (days.isEmpty()) {
        prompts_.message(QStringLiteral(u"曜日が選択されていません"));
        hasNoDays_ = true;
    }
    return days;
}

void PatrolListPane::setCurrentFile(const QByteArray &path) {
    currentFile_ = path;
    emit fileCaptionChanged(path.isEmpty()
                                ? QStringLiteral(u"[ファイル名：]")
                                : QStringLiteral(u"[ファイル名： ") + text::decode(path) + u']');
}

void PatrolListPane::replaceList(const QString &step, QList<PatrolEntry> entries,
                                 const QByteArray &path) {
    if (entries.isEmpty() && model_->size() == 0 && path == currentFile_)
        return;
    history_->push(std::make_unique<ReplaceListStep>(editTarget_, step, std::move(entries), path,
                                                     selectedRow()));
}

void PatrolListPane::fileIsAsSaved(const QString &path) {
    history_->setClean();
    if (path.isEmpty())
        listFile_->forget();
    else
        listFile_->remember(path);
    emit fileChangedElsewhere(QString());
}

void PatrolListPane::restoreList(QList<PatrolEntry> entries, const QByteArray &path) {
    history_->push(std::make_unique<ReplaceListStep>(editTarget_, QStringLiteral(u"復元"),
                                                     std::move(entries), path, selectedRow()));
}

void PatrolListPane::clear() {
    replaceList(QStringLiteral(u"クリア"), {}, QByteArray());
    fileIsAsSaved(QString());
}

void PatrolListPane::open() {
    std::optional<QString> chosen = prompts_.openFile(
        {QStringLiteral(u"ファイルを開く"), text::decode(patrolListFolder_()), false});
    if (chosen && text::fileExists(*chosen))
        openFile(*chosen);
}

void PatrolListPane::openFile(const QString &file) {
    std::optional<QByteArray> path = encodeAnswer(prompts_, file);
    if (!path)
        return;
    // Every entry is checked before any is shown, then all come in one step,
    // which is one step of the history too.
    text::Result<QByteArray> content = text::readFile(file);
    std::optional<QList<PatrolEntry>> entries =
        content ? openablePatrolList(*content) : std::nullopt;
    if (!entries) {
        // A file that fails still empties the list and forgets the file; that
        // is a step too, so that the entries it dropped can be brought back.
        replaceList(kOpenStep, {}, QByteArray());
        fileIsAsSaved(QString());
        prompts_.message(QStringLiteral(u"読み込みに失敗しました"));
        return;
    }
    replaceList(kOpenStep, std::move(*entries), *path);
    fileIsAsSaved(file);
    emit fileUsed(*path);
}

void PatrolListPane::save() {
    if (model_->size() == 0) {
        prompts_.message(kNoData);
        return;
    }
    if (currentFile_.isEmpty()) {
        saveAs();
        return;
    }
    const QString file = text::nativePath(currentFile_);
    if (listFile_->changedElsewhere(file) &&
        !prompts_.confirmYesNo(
            QStringLiteral(u"「%1」は開いた後で他のプログラムに変更されています。"
                           u"\r\n上書きしますか")
                .arg(file)))
        return;
    if (auto written = writePatrolList(file, model_->entries()); !written) {
        prompts_.message(written.error().text());
        return;
    }
    fileIsAsSaved(file);
    emit fileUsed(currentFile_);
    prompts_.message(QStringLiteral(u"保存しました"));
}

void PatrolListPane::saveAs() {
    if (model_->size() == 0) {
        prompts_.message(kNoData);
        return;
    }
    std::optional<QString> chosen =
        prompts_.saveFile(QStringLiteral(u"名前を付けて保存"), text::decode(patrolListFolder_()));
    if (!chosen)
        return;
    std::optional<QByteArray> path = encodeAnswer(prompts_, *chosen);
    if (!path)
        return;
    // The file chosen here is replaced without a question, changed or not.
    listFile_->forget();
    setCurrentFile(*path);
    save();
}

void PatrolListPane::replaceEntry(int row, const PatrolEntry &entry) {
    if (row < 0 || row >= model_->size() || model_->entry(row) == entry || !hasDisplayRow(entry))
        return;
    history_->push(std::make_unique<ReplaceEntryStep>(editTarget_, row, entry, selectedRow()));
}

void PatrolListPane::copySelectedEntry() {
    const int s = selectedRow();
    if (s < 0)
        return;
    const QByteArray bytes = text::joinCrLf(patrolListLines({model_->entry(s)}));
    auto *data = new QMimeData;
    data->setData(kEntriesMimeType, bytes);
    data->setText(text::decode(bytes));
    QGuiApplication::clipboard()->setMimeData(data);
}

void PatrolListPane::cutSelectedEntry() {
    if (selectedRow() < 0)
        return;
    copySelectedEntry();
    deleteSelectedEntry();
}

void PatrolListPane::pasteEntries() {
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!pastable(data))
        return;
    // Kirano's own bytes first; another program's text only when it is
    // Shift_JIS through and through.
    text::Result<QList<PatrolEntry>> entries =
        data->hasFormat(kEntriesMimeType) ? pastedPatrolEntries(data->data(kEntriesMimeType))
                                          : pastedPatrolEntries(data->text());
    if (!entries) {
        prompts_.message(entries.error().text());
        return;
    }
    insertEntries(std::move(*entries));
}

void PatrolListPane::insertEntries(QList<PatrolEntry> entries) {
    // As AddEntry inserts: before the selected row, which stays selected.
    const int selected = selectedRow();
    const int position = selected >= 0 ? selected : model_->size();
    const int count = int(entries.size());
    history_->push(std::make_unique<InsertEntriesStep>(editTarget_, position, std::move(entries),
                                                       selected,
                                                       selected >= 0 ? selected + count : -1));
}

void PatrolListPane::duplicateSelectedEntry() {
    const int s = selectedRow();
    if (s < 0)
        return;
    history_->push(
        std::make_unique<InsertEntryStep>(editTarget_, s + 1, model_->entry(s), s, s + 1));
}

void PatrolListPane::setPreviewDay(int day) {
    previewDay_ = day >= 0 && day < 7 ? day : -1;
    delegate_->setPreviewDay(previewDay_);
    view_->viewport()->update();
    if (previewChoice_) {
        const QSignalBlocker quiet(previewChoice_);
        previewChoice_->setCurrentIndex(previewDay_ + 1);
    }
    countRunning();
}

int PatrolListPane::entriesRunningOn(int day) const {
    // A list holds a handful of days texts, most often the same one row
    // after row: each is read once.
    int count = 0;
    QByteArray last;
    bool lastRuns = false;
    bool seen = false;
    for (const PatrolEntry &entry : model_->entries()) {
        if (!seen || entry.days != last) {
            seen = true;
            last = entry.days;
            lastRuns = runsOn(last, day);
        }
        count += lastRuns ? 1 : 0;
    }
    return count;
}

void PatrolListPane::countRunning() {
    recount_->stop();
    if (!previewCount_)
        return;
    if (previewDay_ < 0) {
        previewCount_->clear();
        previewCount_->hide();
        return;
    }
    previewCount_->setText(QStringLiteral(u"%1: %2 項目")
                               .arg(weekdayName(previewDay_))
                               .arg(entriesRunningOn(previewDay_)));
    previewCount_->show();
}

QString PatrolListPane::previewDayName(int day) {
    return day < 0 ? QStringLiteral(u"すべて") : weekdayName(day);
}

QWidget *PatrolListPane::createPreviewChoice() {
    QWidget *panel = new QWidget;
    panel->setObjectName(QStringLiteral("PreviewPanel"));
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral(u"実行日"), panel);
    previewChoice_ = new QComboBox(panel);
    previewChoice_->setObjectName(QStringLiteral("PreviewDay"));
    for (int day = -1; day < 7; ++day)
        previewChoice_->addItem(previewDayName(day));
    previewChoice_->setToolTip(
        QStringLiteral(u"この曜日に実行されない項目を灰色で示します (F7, Shift+F7)"));
    caption->setBuddy(previewChoice_);
    previewCount_ = new QLabel(panel);
    previewCount_->setObjectName(QStringLiteral("PreviewCount"));
    row->addWidget(caption);
    row->addWidget(previewChoice_);
    row->addWidget(previewCount_);
    connect(previewChoice_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setPreviewDay(index - 1); });
    setPreviewDay(previewDay_);
    return panel;
}

void PatrolListPane::deleteFile() {
    std::optional<QString> chosen = prompts_.openFile(
        {QStringLiteral(u"削除するファイル"), text::decode(patrolListFolder_()), true});
    if (!chosen || !text::fileExists(*chosen))
        return;
    if (!prompts_.confirmOkCancel(*chosen + QStringLiteral(u"\r\n削除しますか")))
        return;
    prompts_.message(text::removeFile(*chosen) ? QStringLiteral(u"削除しました")
                                               : QStringLiteral(u"削除に失敗しました"));
}

} // namespace kirano

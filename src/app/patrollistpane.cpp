#include "app/patrollistpane.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "patrol/weekdays.h"
#include "store/prompts.h"
#include "text/files.h"
#include "text/sjis.h"
#include "widgets/fonts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

namespace kirano {

namespace {

const QString kNoData = QStringLiteral(u"データがありません");

} // namespace

PatrolListPane::PatrolListPane(Prompts &prompts, std::function<QByteArray()> patrolListFolder,
                               QWidget *parent)
    : QWidget(parent), prompts_(prompts), patrolListFolder_(std::move(patrolListFolder)) {
    setObjectName(QStringLiteral("PatrolPane"));
    model_ = new PatrolListModel(this);
    lsv1 = new QTreeView;
    lsv1->setObjectName(QStringLiteral("lsv1"));
    lsv1->setModel(model_);
    lsv1->setRootIsDecorated(false);
    lsv1->setUniformRowHeights(true);
    lsv1->setItemsExpandable(false);
    lsv1->setSortingEnabled(false);
    lsv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsv1->setSelectionMode(QAbstractItemView::SingleSelection);
    lsv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    lsv1->setContextMenuPolicy(Qt::CustomContextMenu);
    lsv1->setFont(fixedFont());
    lsv1->header()->setStretchLastSection(false);
    lsv1->header()->setSectionsMovable(false);
    const int widths[] = {130, 180, 100, 120};
    for (int column = 0; column < 4; ++column)
        lsv1->setColumnWidth(column, widths[column]);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lsv1, 1);
    layout->addWidget(createWeekdayStrip());
    connect(CheckBox1, &QCheckBox::clicked, this, [this] {
        // The day boxes count only when "毎日" is not ticked.
        for (QCheckBox *box : weekdayBoxes_)
            box->setEnabled(!CheckBox1->isChecked());
    });
}

QWidget *PatrolListPane::createWeekdayStrip() {
    Panel6 = new QWidget;
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel6->setFixedHeight(50);
    CheckBox1 = new QCheckBox(QStringLiteral(u"毎日"), Panel6);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox1->move(16, 17);

    // GroupBox1 keeps to the right edge; fitWeekdayStrip sets its width.
    GroupBox1 = new QGroupBox(QStringLiteral(u"曜日選択"), Panel6);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(GroupBox1);
    row->setContentsMargins(8, 0, 8, 2);
    const char16_t *days[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    for (int i = 0; i < 7; ++i) {
        auto *box = new QCheckBox(QString::fromUtf16(days[i]), GroupBox1);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 2));
        box->setEnabled(false);
        row->addWidget(box);
        weekdayBoxes_[i] = box;
    }
    Panel6->installEventFilter(this);
    return Panel6;
}

void PatrolListPane::fitWeekdayStrip() {
    // Width rules of the weekday strip; a strip narrower than the "毎日" box
    // leaves the group box and the last column at zero width.
    const int width = Panel6->width();
    const int groupWidth = qMax(0, width - 72);
    GroupBox1->setGeometry(width - groupWidth, 2, groupWidth, Panel6->height() - 4);
    const int used = lsv1->columnWidth(0) + lsv1->columnWidth(1) + lsv1->columnWidth(2);
    lsv1->setColumnWidth(3, qMax(0, width - used - 4));
}

bool PatrolListPane::eventFilter(QObject *watched, QEvent *event) {
    // The strip is resized exactly when the window is or Splitter1 moves.
    if (watched == Panel6 && event->type() == QEvent::Resize)
        fitWeekdayStrip();
    return QWidget::eventFilter(watched, event);
}

void PatrolListPane::deselect() {
    lsv1->selectionModel()->clearSelection();
}

int PatrolListPane::selectedRow() const {
    const QModelIndexList rows = lsv1->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

bool PatrolListPane::addEntry(const PatrolEntry &entry) {
    if (!hasDisplayRow(entry))
        return false;
    // Inserting before the selected row moves its selection down with it.
    const int selected = selectedRow();
    const int position = selected >= 0 ? selected : model_->size();
    model_->insertEntry(position, entry);
    return true;
}

void PatrolListPane::moveEntry(int a, int b) {
    if (a < 0 || b >= model_->size()) {
        prompts_.beep();
        prompts_.message(QStringLiteral(u"移動できません"));
        return;
    }
    model_->moveUp(b);
    // The row that moved up counts as made anew: it is never selected, so
    // after "上へ" nothing is, and after "下へ" the moved row keeps its selection.
    lsv1->selectionModel()->select(model_->index(a, 0),
                                   QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void PatrolListPane::moveSelectedEntryUp() {
    const int s = selectedRow();
    moveEntry(s - 1, s);
}

void PatrolListPane::moveSelectedEntryDown() {
    const int s = selectedRow();
    moveEntry(s, s + 1);
}

void PatrolListPane::deleteSelectedEntry() {
    const int s = selectedRow();
    if (s < 0)
        return;
    model_->removeEntry(s);
    lsv1->selectionModel()->clearSelection();
}

void PatrolListPane::changeSelectedEntryDays() {
    const QByteArray days = readDays();
    if (noDaysFlag_ == 1)
        return;
    const int s = selectedRow();
    if (s >= 0)
        model_->setDays(s, days);
}

QByteArray PatrolListPane::readDays() {
    noDaysFlag_ = 0;
    std::array<bool, 7> ticked{};
    for (int day = 0; day < 7; ++day)
        ticked[day] = weekdayBoxes_[day]->isChecked();
    QByteArray days = daysText(CheckBox1->isChecked(), ticked);
    if (days.isEmpty()) {
        prompts_.message(QStringLiteral(u"曜日が選択されていません"));
        noDaysFlag_ = 1;
    }
    return days;
}

void PatrolListPane::setCurrentFile(const QByteArray &path) {
    currentFile_ = path;
    emit fileCaptionChanged(path.isEmpty()
                                ? QStringLiteral(u"[ファイル名：]")
                                : QStringLiteral(u"[ファイル名： ") + text::decode(path) + u']');
}

void PatrolListPane::clear() {
    model_->clear();
    setCurrentFile(QByteArray());
}

void PatrolListPane::open() {
    std::optional<QString> chosen = prompts_.openFile(
        {QStringLiteral(u"ファイルを開く"), text::decode(patrolListFolder_()), false});
    if (!chosen || !text::fileExists(*chosen))
        return;
    std::optional<QByteArray> path = encodeAnswer(prompts_, *chosen);
    if (!path)
        return;
    clear();
    setCurrentFile(*path);
    // Every entry is checked before any is shown, then all come in one step.
    text::Result<QByteArray> content = text::readFile(*chosen);
    std::optional<QList<PatrolEntry>> entries =
        content ? openablePatrolList(*content) : std::nullopt;
    if (!entries) {
        prompts_.message(QStringLiteral(u"読み込みに失敗しました"));
        clear();
        return;
    }
    model_->setEntries(std::move(*entries));
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
    if (auto written = writePatrolList(text::nativePath(currentFile_), model_->entries());
        !written) {
        prompts_.message(written.error().text());
        return;
    }
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
    setCurrentFile(*path);
    save();
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

#include "browser/datalistview.h"

#include "widgets/celltips.h"
#include "widgets/fonts.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <utility>

namespace kirano {

namespace {

// Rows as high as the list's font needs.
class RowHeightDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(rowHeight(option.font));
        return size;
    }
};

} // namespace

DataListView::DataListView(const QString &name, QWidget *parent) : QListView(parent) {
    setObjectName(name);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new RowHeightDelegate(this));
    // A million rows are laid out a hundred thousand at a time between
    // events, not in one pass that holds the window; shorter lists in one
    // pass as ever.
    setLayoutMode(QListView::Batched);
    setBatchSize(100000);
    // A click on the row already selected changes nothing, yet is a click.
    connect(this, &QAbstractItemView::clicked, this, [this] { changedByUser_ = true; });
}

void DataListView::setModel(QAbstractItemModel *model) {
    QListView::setModel(model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (inUserInput_ > 0)
            changedByUser_ = true;
    });
}

void DataListView::scrollTo(const QModelIndex &index, ScrollHint hint) {
    QListView::scrollTo(index, hint);
    if (!index.isValid() || visualRect(index).isValid()) {
        pendingScroll_ = QPersistentModelIndex();
        return;
    }
    // Tried again after the next batch; a newer row to show takes its place.
    const bool waiting = pendingScroll_.isValid();
    pendingScroll_ = index;
    if (!waiting) {
        QTimer::singleShot(0, this, [this, hint] {
            const QModelIndex row = std::exchange(pendingScroll_, QPersistentModelIndex());
            if (row.isValid())
                scrollTo(row, hint);
        });
    }
}

int DataListView::selectedRow() const {
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int DataListView::selectedCount() const {
    return selectionModel() ? static_cast<int>(selectionModel()->selectedRows().size()) : 0;
}

void DataListView::clearSelectedRows() {
    if (selectionModel())
        selectionModel()->clearSelection();
}

template <typename Handle> void DataListView::userInput(Handle handle, bool ends) {
    ++inUserInput_;
    handle();
    --inUserInput_;
    if (ends && changedByUser_) {
        changedByUser_ = false;
        emit rowClicked();
    }
}

void DataListView::mousePressEvent(QMouseEvent *event) {
    // A right click brings the context menu, and a click below the rows hits
    // nothing: either way the selection stays.
    if (event->button() == Qt::RightButton || !indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    userInput([&] { QListView::mousePressEvent(event); }, false);
}

void DataListView::mouseMoveEvent(QMouseEvent *event) {
    userInput([&] { QListView::mouseMoveEvent(event); }, false);
}

void DataListView::mouseReleaseEvent(QMouseEvent *event) {
    userInput([&] { QListView::mouseReleaseEvent(event); }, true);
}

void DataListView::mouseDoubleClickEvent(QMouseEvent *event) {
    userInput([&] { QListView::mouseDoubleClickEvent(event); }, false);
}

bool DataListView::event(QEvent *event) {
    // The Menu key opens the list's menu through its own key; the
    // context-menu event some platforms send for it as well would open it a
    // second time.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        return true;
    }
    return QListView::event(event);
}

bool DataListView::viewportEvent(QEvent *event) {
    if (event->type() == QEvent::ToolTip &&
        showWholeCellText(this, static_cast<QHelpEvent *>(event)))
        return true;
    return QListView::viewportEvent(event);
}

void DataListView::keyPressEvent(QKeyEvent *event) {
    userInput([&] { QListView::keyPressEvent(event); }, true);
}

} // namespace kirano

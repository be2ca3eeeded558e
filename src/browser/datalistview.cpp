#include "browser/datalistview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace kirano {

namespace {

class RowHeightDelegate : public QStyledItemDelegate {
  public:
    RowHeightDelegate(int height, QObject *parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(height_);
        return size;
    }

  private:
    int height_;
};

} // namespace

DataListView::DataListView(const QString &name, QWidget *parent) : QListView(parent) {
    setObjectName(name);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
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

void DataListView::setRowHeight(int pixels) {
    setItemDelegate(new RowHeightDelegate(pixels, this));
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

void DataListView::keyPressEvent(QKeyEvent *event) {
    userInput([&] { QListView::keyPressEvent(event); }, true);
}

} // namespace kirano

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
    connect(this, &QAbstractItemView::clicked, this, &DataListView::rowClicked);
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

void DataListView::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        event->accept(); // the context menu follows; the selection stays
        return;
    }
    QListView::mousePressEvent(event);
}

void DataListView::keyPressEvent(QKeyEvent *event) {
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit rowClicked();
}

} // namespace kirano

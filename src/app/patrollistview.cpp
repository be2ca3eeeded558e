#include "app/patrollistview.h"
#include "patrol/patrollistmodel.h"
#include "widgets/celltips.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace kirano {

// The marks of a whole list arrive in a few steps of tens of thousands
// of rows: only the rows on screen are painted again (the others are
// drawn as they are when scrolled to), instead of the view measuring
// every row of the step. Assistive technology still hears of them all.
void PatrolListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                 const QList<int> &roles) {
    if (topLeft.row() == bottomRight.row() || QAccessible::isActive())
        return QTreeView::dataChanged(topLeft, bottomRight, roles);
    const QModelIndex top = indexAt(QPoint(0, 0));
    if (!top.isValid())
        return QTreeView::dataChanged(topLeft, bottomRight, roles);
    const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
    const int first = qMax(topLeft.row(), top.row());
    const int last = bottom.isValid() ? qMin(bottomRight.row(), bottom.row()) : bottomRight.row();
    if (first <= last)
        QTreeView::dataChanged(topLeft.siblingAtRow(first), bottomRight.siblingAtRow(last), roles);
}

bool PatrolListView::viewportEvent(QEvent *event) {
    if (event->type() == QEvent::ToolTip &&
        showWholeCellText(this, static_cast<QHelpEvent *>(event)))
        return true;
    return QTreeView::viewportEvent(event);
}

bool PatrolListView::event(QEvent *event) {
    // The Menu key opens pop4 through its own key; the context-menu event
    // some platforms send for it as well would open it a second time.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void PatrolListView::keyPressEvent(QKeyEvent *event) {
    // Alt+Up and Alt+Down are "上へ" and "下へ": while those are disabled
    // the keys do nothing, rather than move to another row.
    if ((event->modifiers() & Qt::AltModifier) &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        event->ignore();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void PatrolListView::startDrag(Qt::DropActions) {
    // Not the base class's drag: after a move it removes the dragged row
    // itself, which the drop has already moved.
    const QModelIndexList rows = selectionModel()->selectedRows();
    QMimeData *data = rows.size() == 1 ? model()->mimeData(rows) : nullptr;
    if (!data)
        return;
    const QRect cell = visualRect(rows.first());
    const QRect row(0, cell.top(), viewport()->width(), cell.height());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(viewport()->grab(row));
    drag->setHotSpot(QPoint(cell.height(), cell.height() / 2));
    drag->exec(Qt::MoveAction);
}

void PatrolListView::dropEvent(QDropEvent *event) {
    const auto *list = static_cast<const PatrolListModel *>(model());
    const int from = list->draggedRow(event->mimeData());
    if (from >= 0) {
        // Before the row under the drop, or after it in its lower half.
        const QPoint at = event->position().toPoint();
        const QModelIndex target = indexAt(at);
        const int before = !target.isValid()                          ? list->size()
                           : at.y() < visualRect(target).center().y() ? target.row()
                                                                      : target.row() + 1;
        event->setDropAction(Qt::MoveAction);
        event->accept();
        if (rowDropped)
            rowDropped(from, before);
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

} // namespace kirano

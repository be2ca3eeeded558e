#include "widgets/celltips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyleOptionViewItem>
#include <QToolTip>

namespace kirano {

bool showWholeCellText(QAbstractItemView *view, QHelpEvent *event) {
    const QModelIndex index = view->indexAt(event->pos());
    if (!index.isValid())
        return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect cell = view->visualRect(index);
    // What the cell's delegate would need to draw it whole: the text, its
    // margins and any sign before it.
    QStyleOptionViewItem option;
    option.initFrom(view->viewport());
    option.font = view->font();
    option.fontMetrics = view->fontMetrics();
    option.rect = cell;
    const int needed = view->itemDelegateForIndex(index)->sizeHint(option, index).width();
    if (text.isEmpty() || needed <= cell.width())
        return false;
    QString tip = text;
    const QString own = index.data(Qt::ToolTipRole).toString();
    if (!own.isEmpty())
        tip += QStringLiteral("\n\n") + own;
    QToolTip::showText(event->globalPos(), tip, view->viewport(), cell);
    return true;
}

} // namespace kirano

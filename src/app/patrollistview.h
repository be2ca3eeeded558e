#pragma once
// The patrol list's view, lsv1.

#include <QTreeView>
#include <functional>

namespace kirano {

// lsv1: a row is reordered by dragging it within the view; the model accepts
// only its own rows, so nothing comes in from elsewhere. The drop moves
// nothing itself: it tells the pane, which makes the move one step of the
// history.
class PatrolListView : public QTreeView {
  public:
    using QTreeView::QTreeView;

    std::function<void(int from, int before)> rowDropped;

  protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles) override;
    bool viewportEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace kirano

#pragma once
#include <QListView>

namespace kirano {

// A list box of the data browser: rows as high as its font needs, and a row
// cut short by the list's width shown whole in its tooltip. Every
// mouse or keyboard action of the user that changes the selection, or clicks
// a row, reports itself once as "clicked" when it ends; a right click opens
// the context menu without selecting the row under it. Selections made by the
// program report nothing.
class DataListView : public QListView {
    Q_OBJECT
  public:
    explicit DataListView(const QString &name, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // A row not yet laid out (a long list is laid out in batches between
    // events) is scrolled to once it is.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // The one selected row of a single-selection list, or -1.
    int selectedRow() const;
    int selectedCount() const;
    void clearSelectedRows();

  signals:
    void rowClicked();

  protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    // Runs one piece of the user's input; reports once the input has ended
    // (the button released, the key handled) if it changed the selection.
    template <typename Handle> void userInput(Handle handle, bool ends);

    int inUserInput_ = 0;
    bool changedByUser_ = false;
    QPersistentModelIndex pendingScroll_;
};

} // namespace kirano

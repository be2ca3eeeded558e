#pragma once
#include <QListView>

namespace kirano {

// A list box of the data browser: fixed-pitch rows of a set height, a click
// or a keyboard move reports itself as one "clicked" signal, and a right
// click opens the context menu without selecting the row under it.
class DataListView : public QListView {
    Q_OBJECT
  public:
    explicit DataListView(const QString &name, QWidget *parent = nullptr);

    void setRowHeight(int pixels);
    // The one selected row of a single-selection list, or -1.
    int selectedRow() const;
    int selectedCount() const;
    void clearSelectedRows();

  signals:
    void rowClicked();

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace kirano

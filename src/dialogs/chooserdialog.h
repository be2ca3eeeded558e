#pragma once
#include <QDialog>

class QLabel;

namespace kirano {

class ByteListModel;
class DataListView;

// TForm2: shows lines and lets the user pick one. It knows nothing of what
// the lines mean.
class ChooserDialog : public QDialog {
    Q_OBJECT
  public:
    ChooserDialog(const QString &caption, QWidget *parent = nullptr);

    // Replaces the rows (leaving none selected, or `start` selected and in
    // sight), sets the status text, shows the dialog modally and returns the
    // selected row, or -1.
    int choose(const QList<QByteArray> &rows, const QByteArray &status, int start = -1);

    // "キャンセル" (Button2) and Esc: no row is chosen. "決定" (Button1),
    // Enter and a double click on a row (ListBox1) accept the selection.
    void cancelChoice();

  protected:
    // Esc is "キャンセル" and Enter "決定", as in every dialog.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    ByteListModel *model_;
    DataListView *view_;  // ListBox1: the rows to choose from
    QLabel *statusPanel_; // Panel1: the status text and the buttons
};

} // namespace kirano

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

    // Replaces the rows (leaving none selected), sets the status text, shows
    // the dialog modally and returns the selected row, or -1.
    int choose(const QList<QByteArray> &rows, const QByteArray &status);

    // Button2Click: no row is chosen.
    void Button2Click();
    void ListBox1DblClick();

  protected:
    // Esc is "キャンセル" and Enter "決定", as in every dialog.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    ByteListModel *model_;
    DataListView *ListBox1;
    QLabel *Panel1;
};

} // namespace kirano

#pragma once
#include <QDialog>

class QLineEdit;

namespace kirano {

// The input box and input query: a caption, a prompt, one line of at most
// 255 Shift_JIS bytes, and "OK" / "ｷｬﾝｾﾙ".
class InputDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxBytes = 255;

    InputDialog(const QString &caption, const QString &prompt, const QString &initial,
                QWidget *parent = nullptr);
    QString text() const;

  private:
    QLineEdit *edit_;
};

} // namespace kirano

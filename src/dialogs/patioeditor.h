#pragma once
#include <QDialog>
#include <functional>

namespace kirano {

// TForm3: the patio editor. It takes the main window's caption each time it
// is shown.
class PatioEditor : public QDialog {
    Q_OBJECT
  public:
    explicit PatioEditor(std::function<QString()> mainCaption, QWidget *parent = nullptr);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    std::function<QString()> mainCaption_;
};

} // namespace kirano

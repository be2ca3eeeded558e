#pragma once
#include <QDialog>

namespace kirano {

// TForm4: the settings dialog. Its caption is the main window's, copied once
// when it is created.
class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SettingsDialog(const QString &caption, QWidget *parent = nullptr);
};

} // namespace kirano

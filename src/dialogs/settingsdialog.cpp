#include "dialogs/settingsdialog.h"
#include "app/fonts.h"

namespace kirano {

SettingsDialog::SettingsDialog(const QString &caption, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(caption);
    setFont(windowFont());
    setFixedSize(713, 491);
}

} // namespace kirano

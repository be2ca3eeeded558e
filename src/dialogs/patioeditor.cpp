#include "dialogs/patioeditor.h"
#include "app/fonts.h"

namespace kirano {

PatioEditor::PatioEditor(std::function<QString()> mainCaption, QWidget *parent)
    : QDialog(parent, Qt::Tool), mainCaption_(std::move(mainCaption)) {
    setObjectName(QStringLiteral("TForm3"));
    setFont(windowFont());
    setFixedSize(455, 280);
}

void PatioEditor::showEvent(QShowEvent *event) {
    setWindowTitle(mainCaption_());
    QDialog::showEvent(event);
}

} // namespace kirano

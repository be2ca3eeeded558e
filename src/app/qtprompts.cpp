#include "app/qtprompts.h"
#include "app/inputdialog.h"
#include "app/kiranoapplication.h"
#include "dialogs/chooserdialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace kirano {

namespace {

// One entry that lists every file, names without a dot included.
const QString kAllFilesFilter = QStringLiteral(u"すべてのファイル(*.*) (*)");

std::unique_ptr<QFileDialog> makeFileDialog(const QString &name, QFileDialog::AcceptMode mode) {
    auto dialog = std::make_unique<QFileDialog>();
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    return dialog;
}

std::optional<QString> runFileDialog(QFileDialog *dialog) {
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().first();
}

bool confirm(QWidget *window, const QString &text, const QString &yes, const QString &no) {
    QMessageBox box(QMessageBox::Question, QStringLiteral(u"確認"), text, QMessageBox::NoButton,
                    window);
    QPushButton *yesButton = box.addButton(yes, QMessageBox::YesRole);
    box.addButton(no, QMessageBox::NoRole);
    box.setDefaultButton(yesButton);
    box.exec();
    return box.clickedButton() == yesButton;
}

} // namespace

QtPrompts::QtPrompts()
    : opend_(makeFileDialog(QStringLiteral("opend"), QFileDialog::AcceptOpen)),
      saved_(makeFileDialog(QStringLiteral("saved"), QFileDialog::AcceptSave)) {
    opend_->setNameFilter(kAllFilesFilter);
    opend_->setOption(QFileDialog::HideNameFilterDetails);
    opend_->setOption(QFileDialog::DontConfirmOverwrite);
    saved_->setOption(QFileDialog::DontConfirmOverwrite);
}

QtPrompts::~QtPrompts() = default;

std::optional<QString> QtPrompts::openFile(const OpenFileRequest &request) {
    // The name field keeps the name last chosen here unless the caller clears
    // it; a cleared name stays cleared when that use is cancelled.
    if (request.clearFileName)
        lastOpenedName_.clear();
    const QString shownName = lastOpenedName_;
    opend_->setNameFilter(kAllFilesFilter);
    opend_->setDirectory(request.folder);
    opend_->selectFile(shownName);
    // Selecting an empty name leaves the old one in Qt's name field.
    if (shownName.isEmpty()) {
        if (auto *nameEdit = opend_->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameEdit->clear();
    }
    opend_->setWindowTitle(request.title);
    std::optional<QString> chosen = runFileDialog(opend_.get());
    if (chosen)
        lastOpenedName_ = QFileInfo(*chosen).fileName();
    return chosen;
}

std::optional<QString> QtPrompts::saveFile(const QString &title, const QString &folder) {
    saved_->setDirectory(folder);
    saved_->setWindowTitle(title);
    return runFileDialog(saved_.get());
}

void QtPrompts::message(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, window_);
    box.exec();
}

bool QtPrompts::confirmYesNo(const QString &text) {
    return confirm(window_, text, QStringLiteral(u"はい(&Y)"), QStringLiteral(u"いいえ(&N)"));
}

bool QtPrompts::confirmOkCancel(const QString &text) {
    return confirm(window_, text, QStringLiteral("OK"), QStringLiteral(u"ｷｬﾝｾﾙ"));
}

QString QtPrompts::inputBox(const QString &caption, const QString &prompt, const QString &initial) {
    return inputQuery(caption, prompt, initial).value_or(initial);
}

std::optional<QString> QtPrompts::inputQuery(const QString &caption, const QString &prompt,
                                             const QString &initial) {
    InputDialog dialog(caption, prompt, initial, window_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.text();
}

void QtPrompts::beep() {
    QApplication::beep();
}

int QtPrompts::choose(const QList<QByteArray> &rows, const QByteArray &status) {
    return chooser_ ? chooser_->choose(rows, status) : -1;
}

} // namespace kirano

#include "app/qtprompts.h"
#include "app/inputdialog.h"
#include "app/kiranoapplication.h"
#include "dialogs/chooserdialog.h"
#include "widgets/fileicons.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace kirano {

namespace {

// One entry that lists every file, names without a dot included.
const QString kAllFilesFilter = QStringLiteral(u"すべてのファイル(*.*) (*)");

// A file dialog for one use, in `folder`: given before the dialog lists
// anything, it is where the dialog starts instead of the folder Qt's shared
// settings remember. File types come from names only.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget *parent, const char *name, const QString &title,
                                            const QString &folder, QFileDialog::AcceptMode mode) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, folder);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(nameOnlyIcons());
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

std::optional<QString> runFileDialog(QFileDialog &dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
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

std::optional<QString> QtPrompts::openFile(const OpenFileRequest &request) {
    // The name field keeps the name last chosen here unless the caller clears
    // it; a cleared name stays cleared when that use is cancelled.
    if (request.clearFileName)
        lastOpenedName_.clear();
    std::unique_ptr<QFileDialog> opend =
        makeFileDialog(window_, "opend", request.title, request.folder, QFileDialog::AcceptOpen);
    opend->setNameFilter(kAllFilesFilter);
    opend->setOption(QFileDialog::HideNameFilterDetails);
    // The name field, not a file of the folder: selectFile would pick the
    // folder's own name for an empty one.
    if (auto *nameEdit = opend->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        nameEdit->setText(lastOpenedName_);
    std::optional<QString> chosen = runFileDialog(*opend);
    if (chosen)
        lastOpenedName_ = QFileInfo(*chosen).fileName();
    return chosen;
}

std::optional<QString> QtPrompts::saveFile(const QString &title, const QString &folder) {
    std::unique_ptr<QFileDialog> saved =
        makeFileDialog(window_, "saved", title, folder, QFileDialog::AcceptSave);
    return runFileDialog(*saved);
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

#include "app/qtprompts.h"
#include "app/inputdialog.h"
#include "app/kiranoapplication.h"
#include "dialogs/chooserdialog.h"
#include "widgets/fileicons.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <memory>

namespace kirano {

namespace {

// One entry that lists every file, names without a dot included.
const QString kAllFilesFilter = QStringLiteral(u"すべてのファイル(*.*) (*)");

// Qt's file dialog writes sizes and dates in the system's locale; Kirano's
// words are Japanese whatever the locale, so the dialog's columns are too.
class JapaneseFileColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        if (index.column() == 1)
            return info.isDir() ? QString() : japanese.formattedDataSize(info.size());
        return japanese.toString(info.lastModified(), QStringLiteral("yyyy/MM/dd HH:mm"));
    }
};

// A file dialog for one use, in `folder`: given before the dialog lists
// anything, it is where the dialog starts instead of the folder Qt's shared
// settings remember. File types come from names only. It opens large enough
// for the name, size, type and date of a file side by side.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget *parent, const char *name, const QString &title,
                                            const QString &folder, QFileDialog::AcceptMode mode) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, folder);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(nameOnlyIcons());
    dialog->setProxyModel(new JapaneseFileColumns(dialog.get()));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->resize(860, 520);
    // Name, size, type, date: each wide enough for what it shows.
    if (auto *details = dialog->findChild<QTreeView *>(QStringLiteral("treeView"))) {
        const int widths[] = {300, 80, 190, 130};
        for (int column = 0; column < 4; ++column)
            details->header()->resizeSection(column, widths[column]);
    }
    return dialog;
}

// A message box as wide as its title needs beside the window manager's
// buttons, and never narrower than a short sentence.
void widen(QMessageBox &box) {
    const int title = box.fontMetrics().horizontalAdvance(box.windowTitle());
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(
            new QSpacerItem(qMax(260, title + 180), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
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
    widen(box);
    box.exec();
    return box.clickedButton() == yesButton;
}

} // namespace

std::optional<QString> QtPrompts::openFile(const OpenFileRequest &request) {
    // "開く" starts from the name last chosen in it; every other use, from
    // the name it gives (an entry's file, or none), and what it chooses is
    // never offered to "開く".
    const QString name = request.clearFileName ? request.fileName : lastOpenedName_;
    std::unique_ptr<QFileDialog> dialog =
        makeFileDialog(window_, "opend", request.title, request.folder, QFileDialog::AcceptOpen);
    dialog->setNameFilter(kAllFilesFilter);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    // The name field, not a file of the folder: selectFile would pick the
    // folder's own name for an empty one.
    if (auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        nameEdit->setText(name);
    std::optional<QString> chosen = runFileDialog(*dialog);
    if (chosen && !request.clearFileName)
        lastOpenedName_ = QFileInfo(*chosen).fileName();
    return chosen;
}

std::optional<QString> QtPrompts::saveFile(const QString &title, const QString &folder) {
    std::unique_ptr<QFileDialog> dialog =
        makeFileDialog(window_, "saved", title, folder, QFileDialog::AcceptSave);
    return runFileDialog(*dialog);
}

void QtPrompts::message(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, window_);
    widen(box);
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

int QtPrompts::choose(const QList<QByteArray> &rows, const QByteArray &status, int start) {
    return chooser_ ? chooser_->choose(rows, status, start) : -1;
}

} // namespace kirano

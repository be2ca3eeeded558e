#include "dialogs/settingsdialog.h"
#include "store/prompts.h"
#include "text/sjis.h"
#include "widgets/fileicons.h"
#include "widgets/fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>

namespace kirano {

namespace {

struct FolderRow {
    const char16_t *title;
    const char *titleName;
    const char *shapeName;
    const char *valueName;
    const char *buttonName;
    int top;
};

// The eight rows in file order, each with its "決定" button, whose command is
// pickFolder(row).
const FolderRow kRows[SettingsFolders::Count] = {
    {u"ログ保存フォルダ", "Label1", "Shape1", "Label4", "Button2", 40},
    {u"データ保存フォルダ", "Label2", "Shape2", "Label5", "Button3", 96},
    {u"巡回リスト保存フォルダ", "Label3", "Shape3", "Label6", "Button4", 153},
    {u"オートパイロット保存フォルダ", "Label7", "Shape4", "Label8", "Button5", 208},
    {u"テキストアップフォルダ", "Label9", "Shape5", "Label10", "Button6", 264},
    {u"バイナリアップフォルダ", "Label11", "Shape6", "Label12", "Button7", 320},
    {u"テキストダウンフォルダ", "Label13", "Shape7", "Label14", "Button8", 376},
    {u"バイナリダウンフォルダ", "Label15", "Shape8", "Label16", "Button9", 432},
};

// The dialog's size as first shown, which the layout below places; growth
// goes to the folder tree and the folder rows.
constexpr int kWidth = 713;
constexpr int kHeight = 491;

QString name(const char *n) {
    return QString::fromLatin1(n);
}

// The mounted volume holding a folder.
QString volumeOf(const QString &folder) {
    return QStorageInfo(folder).rootPath();
}

} // namespace

SettingsDialog::SettingsDialog(Prompts &prompts, const QString &caption,
                               std::function<QString()> settingsFilePath,
                               std::function<SettingsFolders()> mainFolders, QWidget *parent)
    : QDialog(parent), prompts_(prompts), settingsFilePath_(std::move(settingsFilePath)),
      mainFolders_(std::move(mainFolders)) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(caption);
    setFont(windowFont());
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    setSizeGripEnabled(true);
    // Where the main window opens too; a moved dialog is not centred on its
    // parent, and keeps the place the user drags it to between showings.
    move(200, 107);

    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(16, 16, 177, 113);
    const char16_t *flagTexts[] = {u"巡回後ログアウトする", u"受信メール保存する",
                                   u"バイナリメール受信する"};
    const int flagTops[] = {16, 50, 82};
    for (int i = 0; i < 3; ++i) {
        flagBoxes_[i] = new QCheckBox(QString::fromUtf16(flagTexts[i]), group);
        flagBoxes_[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        flagBoxes_[i]->move(16, flagTops[i]);
    }

    driveBox_ = new QComboBox(this);
    driveBox_->setObjectName(QStringLiteral("DriveComboBox1"));

    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            driveBox_->addItem(volume.rootPath());
    }

    folderTree_ = new QTreeView(this);
    folderTree_->setObjectName(QStringLiteral("dul1"));
    QFont treeFont = windowFont();
    treeFont.setPixelSize(15);
    folderTree_->setFont(treeFont);
    folderTree_->setHeaderHidden(true);
    // A folder deep down shows its whole name; the tree scrolls sideways.
    folderTree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    folderTree_->header()->setStretchLastSection(false);

    closeButton_ = new QPushButton(QStringLiteral(u"閉じる"), this);
    closeButton_->setObjectName(QStringLiteral("Button1"));
    closeButton_->setAutoDefault(false);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);

    for (int row = 0; row < SettingsFolders::Count; ++row) {
        const FolderRow &r = kRows[row];
        auto *title = new QLabel(QString::fromUtf16(r.title), this);
        title->setObjectName(name(r.titleName));
        QFont titleFont = windowFont();
        titleFont.setPixelSize(13);
        titleFont.setUnderline(true);
        title->setFont(titleFont);
        titles_[row] = title;
        auto *shape = new QFrame(this);
        shape->setObjectName(name(r.shapeName));
        shape->setStyleSheet(QStringLiteral("QFrame#%1 { border: 1px solid gray; border-radius: "
                                            "6px; }")
                                 .arg(name(r.shapeName)));
        shapes_[row] = shape;
        valueLabels_[row] = new QLabel(shape);
        valueLabels_[row]->setObjectName(name(r.valueName));
        valueLabels_[row]->setTextFormat(Qt::PlainText);
        pickButtons_[row] = new QPushButton(QStringLiteral(u"決定"), this);
        pickButtons_[row]->setObjectName(name(r.buttonName));
        pickButtons_[row]->setAutoDefault(false);
        connect(pickButtons_[row], &QPushButton::clicked, this, [this, row] { pickFolder(row); });
    }
    placeControls();

    QWidget *order[] = {group,           driveBox_,       closeButton_,    pickButtons_[0],
                        pickButtons_[1], pickButtons_[2], folderTree_,     pickButtons_[3],
                        pickButtons_[4], pickButtons_[5], pickButtons_[6], pickButtons_[7]};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The tree starts at the process's current folder, on its drive. Names
    // keep their case: file names are case-sensitive here.
    treeFolder_ = QDir::currentPath();
    driveRoot_ = volumeOf(treeFolder_);
    driveBox_->setCurrentIndex(driveBox_->findText(driveRoot_));
    connect(driveBox_, &QComboBox::activated, this, &SettingsDialog::changeDrive);
    for (QWidget *part : {static_cast<QWidget *>(folderTree_), folderTree_->viewport(),
                          static_cast<QWidget *>(folderTree_->verticalScrollBar())})
        part->installEventFilter(this);
}

void SettingsDialog::placeControls() {
    // At the first size, the form's places; the tree takes half of any
    // width beyond it and all of the height, the folder rows the other half.
    const int wider = qMax(0, width() - kWidth);
    const int taller = qMax(0, height() - kHeight);
    const int treeWider = wider / 2;
    driveBox_->setGeometry(16, 160, 179 + treeWider, 22);
    folderTree_->setGeometry(16, 184, 177 + treeWider, 249 + taller);
    closeButton_->setGeometry(88, 448 + taller, 89, 33);
    const int rowWider = wider - treeWider;
    for (int row = 0; row < SettingsFolders::Count; ++row) {
        const int top = kRows[row].top;
        titles_[row]->move(239 + treeWider, top - 18);
        shapes_[row]->setGeometry(239 + treeWider, top, 449 + rowWider, 25);
        valueLabels_[row]->setGeometry(6, 1, 437 + rowWider, 23);
        pickButtons_[row]->setGeometry(206 + treeWider, top + 1, 33, 23);
    }
}

void SettingsDialog::resizeEvent(QResizeEvent *event) {
    placeControls();
    QDialog::resizeEvent(event);
}

void SettingsDialog::showEvent(QShowEvent *event) {
    loadSettings();
    openTree();
    QDialog::showEvent(event);
    revealCurrentFolder();
}

void SettingsDialog::hideEvent(QHideEvent *event) {
    if (!event->spontaneous()) // closed, not minimized
        closeTree();
    QDialog::hideEvent(event);
}

// The folders are listed, and watched for changes, only while the dialog is
// shown; a hidden dialog reads nothing. Icons come from names alone, so no
// file of a listed folder is ever opened.
void SettingsDialog::openTree() {
    if (treeModel_)
        return;
    treeModel_ = new QFileSystemModel(this);
    treeModel_->setIconProvider(nameOnlyIcons());
    treeModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    QItemSelectionModel *unused = folderTree_->selectionModel();
    folderTree_->setModel(treeModel_);
    delete unused;
    folderTree_->setSortingEnabled(true);
    folderTree_->sortByColumn(0, Qt::AscendingOrder);
    for (int column = 1; column < treeModel_->columnCount(); ++column)
        folderTree_->hideColumn(column);
    connect(treeModel_, &QFileSystemModel::directoryLoaded, this,
            &SettingsDialog::revealCurrentFolder);
    connect(treeModel_, &QAbstractItemModel::layoutChanged, this,
            &SettingsDialog::revealCurrentFolder);
    treeModel_->setRootPath(driveRoot_);
    folderTree_->setRootIndex(treeModel_->index(driveRoot_));
    if (!treeFolder_.isEmpty())
        folderTree_->setCurrentIndex(treeModel_->index(treeFolder_));
    revealCurrent_ = true;
}

// The drive and the current folder carry over to the next opening.
void SettingsDialog::closeTree() {
    if (!treeModel_)
        return;
    const QModelIndex current = folderTree_->currentIndex();
    treeFolder_ = current.isValid() ? treeModel_->filePath(current) : QString();
    QItemSelectionModel *unused = folderTree_->selectionModel();
    folderTree_->setModel(nullptr);
    delete unused;
    delete treeModel_;
    treeModel_ = nullptr;
}

void SettingsDialog::revealCurrentFolder() {
    if (revealCurrent_ && folderTree_->currentIndex().isValid())
        folderTree_->scrollTo(folderTree_->currentIndex());
}

bool SettingsDialog::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        revealCurrent_ = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsDialog::loadSettings() {
    SettingsFlags flags;
    const QString path = settingsFilePath_();
    if (QFileInfo::exists(path)) {
        if (const text::Result<SettingsFlags> read = readSettingsFlags(path))
            flags = *read;
        else
            prompts_.message(read.error().text());
    }
    flagBoxes_[0]->setChecked(flags.logoutAfterPatrol);
    flagBoxes_[1]->setChecked(flags.saveReceivedMail);
    flagBoxes_[2]->setChecked(flags.receiveBinaryMail);
    const SettingsFolders folders = mainFolders_();
    for (int row = 0; row < SettingsFolders::Count; ++row)
        setFolder(row, folders.folders[row]);
}

void SettingsDialog::setFolder(int row, const QByteArray &folder) {
    folders_.folders[row] = folder;
    valueLabels_[row]->setText(text::decode(folder));
}

void SettingsDialog::showDrive(const QString &root) {
    driveRoot_ = root;
    treeFolder_.clear();
    if (!treeModel_)
        return;
    treeModel_->setRootPath(root);
    folderTree_->setRootIndex(treeModel_->index(root));
    folderTree_->setCurrentIndex(QModelIndex());
}

void SettingsDialog::changeDrive() {
    const QString root = driveBox_->currentText();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !QStorageInfo(root).isReady()) {
        prompts_.message(QStringLiteral(u"ドライブの準備ができていません"));
        return;
    }
    showDrive(root);
}

QString SettingsDialog::treeFolder() const {
    const QModelIndex current = treeModel_ ? folderTree_->currentIndex() : QModelIndex();
    if (current.isValid())
        return treeModel_->filePath(current);
    return treeModel_ || treeFolder_.isEmpty() ? driveRoot_ : treeFolder_;
}

void SettingsDialog::pickFolder(int row) {
    QString folder = QDir::toNativeSeparators(treeFolder());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    // The folder already set, chosen again, keeps its bytes.
    if (folder == text::decode(folders_.folders[row]))
        return;
    if (std::optional<QByteArray> bytes = encodeAnswer(prompts_, folder))
        setFolder(row, *bytes);
}

void SettingsDialog::done(int result) {
    const SettingsFlags flags{flagBoxes_[0]->isChecked(), flagBoxes_[1]->isChecked(),
                              flagBoxes_[2]->isChecked()};
    if (const text::Result<> written = writeSettings(settingsFilePath_(), flags, folders_);
        !written) {
        prompts_.message(written.error().text());
        return;
    }
    QDialog::done(result);
}

} // namespace kirano

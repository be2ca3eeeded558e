#include "app/mainwindow.h"
#include "app/kiranoapplication.h"
#include "app/patrolmarks.h"
#include "app/recentfiles.h"
#include "app/recoverycopy.h"
#include "app/statusline.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "builders/buildcontext.h"
#include "builders/editentry.h"
#include "dialogs/patioeditor.h"
#include "dialogs/settingsdialog.h"
#include "patrol/patrollistmodel.h"
#include "store/bytelistmodel.h"
#include "store/prompts.h"
#include "text/files.h"
#include "text/sjis.h"
#include "version.h"
#include "widgets/fonts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>

namespace kirano {

namespace {

const QString kCaption = QStringLiteral("Kirano  Ver." KIRANO_VERSION);

} // namespace

MainWindow::MainWindow(const QString &programFolder, Prompts &prompts, QWidget *parent)
    : QMainWindow(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("TForm1")); // the form's name
    // Folders are bytes like every stored path; a folder the code page cannot
    // name keeps what it can, and the settings file is still found natively.
    programFolder_ = text::encode(programFolder).value_or(programFolder.toLocal8Bit());
    settingsFilePath_ = kirano::settingsFilePath(programFolder);
    createWindow();
}

MainWindow::~MainWindow() {
    // The recovery copy asks the patrol pane whether anything is unsaved as
    // it goes; it must go while the pane is still there.
    delete recovery_;
}

void MainWindow::createWindow() {
    setWindowTitle(kCaption);
    setFont(windowFont());
    resize(803, 616);
    move(200, 107);

    createMainMenu();
    createToolBar();
    browser_ = new DataBrowser(
        prompts_, [this] { return folders_.dataFolder(); }, this);
    listsSplitter_ = new QSplitter(Qt::Horizontal, this);
    listsSplitter_->setObjectName(QStringLiteral("Splitter1"));
    listsSplitter_->setHandleWidth(4);
    listsSplitter_->setChildrenCollapsible(false);
    listsSplitter_->addWidget(browser_->createListsPanel());
    listsSplitter_->addWidget(createRightPanel());
    listsSplitter_->setStretchFactor(0, 0);
    listsSplitter_->setStretchFactor(1, 1);
    listsSplitter_->setSizes({254, 545});
    setCentralWidget(listsSplitter_);
    createPopupMenus();
    createEditMenu();
    createKeys();
    createStatusLine();

    // A click in a data list: the next command is appended, not inserted.
    connect(browser_, &DataBrowser::listClicked, patrolPane_, &PatrolListPane::deselect);

    browser_->setViewMode(ViewMode::Forum);

    folders_ = SettingsFolders::allSetTo(programFolder_);
    // An error thrown while loading goes to the general error report and the
    // window still opens, like one thrown in an event handler.
    try {
        if (text::fileExists(settingsFilePath_)) {
            if (readSettingsFolders()) {
                browser_->loadForumList();
                browser_->loadPatioList();
            }
        } else {
            prompts_.message(kSettingsFileName + QStringLiteral(u"がありません"));
        }
    } catch (...) {
        browser_->clearRecords();
        KiranoApplication::reportCurrentError();
    }
    patrolPane_->marks()->setFolders(folders_);
}

void MainWindow::attachDialogs(ChooserDialog *chooser, PatioEditor *patioEditor,
                               SettingsDialog *settingsDialog) {
    chooser_ = chooser;
    patioEditor_ = patioEditor;
    settingsDialog_ = settingsDialog;
}

bool MainWindow::readSettingsFolders() {
    text::Result<SettingsFolders> read = kirano::readSettingsFolders(settingsFilePath_);
    if (!read) {
        prompts_.message(read.error().text());
        return false;
    }
    folders_ = *read;
    return true;
}

void MainWindow::editPatios() {
    if (patioEditor_)
        patioEditor_->exec();
    browser_->loadPatioList();
    patrolPane_->marks()->refresh();
}

void MainWindow::editSettings() {
    if (settingsDialog_)
        settingsDialog_->exec();
    const bool read = !text::fileExists(settingsFilePath_) || readSettingsFolders();
    patrolPane_->marks()->setFolders(folders_);
    if (!read)
        return;
    browser_->loadForumList();
    browser_->loadPatioList();
}

void MainWindow::editSelectedEntry() {
    const int row = patrolPane_->selectedRow();
    if (row < 0 || !canEditInPlace(patrolList()->entry(row)))
        return;
    const PatrolEntry entry = patrolList()->entry(row);
    BuildContext context = buildContext();
    context.editing = entry;
    const std::optional<PatrolEntry> changed = editInPlace(context);
    // The questions are modal, so the row is the one they were asked for.
    if (changed && patrolPane_->selectedRow() == row && patrolList()->entry(row) == entry)
        patrolPane_->replaceEntry(row, *changed);
}

void MainWindow::openRecent(const QByteArray &path) {
    // Gone since the menu opened: as "開く" of a file that is not there.
    const QString file = text::nativePath(path);
    if (text::fileExists(file))
        patrolPane_->openFile(file);
}

void MainWindow::createStatusLine() {
    status_ = new StatusLine(this);
    setStatusBar(status_);
    PatrolListModel *list = patrolPane_->model();
    for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(list, change, this, &MainWindow::showMarks);
    connect(list, &QAbstractItemModel::modelReset, this, &MainWindow::showMarks);
    connect(list, &QAbstractItemModel::dataChanged, this, &MainWindow::showMarks);
    connect(patrolPane_, &PatrolListPane::selectionChanged, this, &MainWindow::showMarks);
    connect(patrolPane_, &PatrolListPane::unsavedChanged, status_, &StatusLine::showUnsaved);
    connect(patrolPane_->marks(), &PatrolMarks::note, status_, &StatusLine::showNote);
    connect(browser_, &DataBrowser::note, status_, &StatusLine::showNote);
    // The list's file changed elsewhere: said until the list is saved or
    // another opened, when it is taken back.
    connect(patrolPane_, &PatrolListPane::fileChangedElsewhere, this, [this](const QString &path) {
        if (path.isEmpty()) {
            status_->withdrawNote(std::exchange(changedElsewhere_, QString()));
            return;
        }
        changedElsewhere_ = QStringLiteral(u"「%1」が他のプログラムに変更されました").arg(path);
        status_->showNote(changedElsewhere_);
    });

    status_->addPreview(patrolPane_->createPreviewChoice());

    recent_ = new RecentFiles(RecentFiles::defaultPath(), this);
    connect(patrolPane_, &PatrolListPane::fileUsed, recent_, &RecentFiles::add);
    connect(recent_, &RecentFiles::writeFailed, this, [this](const QString &reason) {
        status_->showNote(QStringLiteral(u"最近使ったファイルを書けません: ") + reason);
    });

    recovery_ = new RecoveryCopy(patrolPane_, RecoveryCopy::defaultFolder(), this);
    connect(recovery_, &RecoveryCopy::writeFailed, this, [this](const QString &reason) {
        status_->showNote(QStringLiteral(u"復元用のコピーを書けません: ") + reason);
    });
}

void MainWindow::showMarks() {
    const int row = patrolPane_->selectedRow();
    status_->showProblems(row >= 0 ? patrolPane_->marks()->words(row) : QString());
    status_->showMarkedCount(patrolPane_->model()->markedCount());
}

void MainWindow::offerRecovery() {
    for (const RecoveryCopy::Found &copy :
         RecoveryCopy::leftBehind(RecoveryCopy::defaultFolder())) {
        const QString from = copy.listFile.isEmpty() ? QStringLiteral(u"新しい巡回リスト")
                                                     : text::decode(copy.listFile);
        const QString question =
            QStringLiteral(u"保存されていない巡回リストが残っています。\r\n%1（%2 項目、%3）\r\n"
                           u"元に戻しますか")
                .arg(from)
                .arg(copy.entries.size())
                .arg(copy.written.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
        if (prompts_.confirmYesNo(question)) {
            patrolPane_->restoreList(copy.entries, copy.listFile);
            // This Kirano's own copy holds the list before the one found goes.
            recovery_->writeNow();
            RecoveryCopy::remove(copy);
            return;
        }
        RecoveryCopy::remove(copy);
    }
}

void MainWindow::closeEvent(QCloseEvent *event) {
    recovery_->writeNow();
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent *event) {
    // Back from another program (the autopilot, say): whatever changed while
    // watching could not tell, the marks learn now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        patrolPane_->marks()->refresh();
    QMainWindow::changeEvent(event);
}

BuildContext MainWindow::buildContext() {
    BuildContext context{prompts_,
                         [this]() -> std::optional<QByteArray> {
                             QByteArray days = patrolPane_->readDays();
                             if (patrolPane_->hasNoDays())
                                 return std::nullopt;
                             return days;
                         },
                         folders_};
    static_cast<BrowserSelection &>(context) = browser_->selection();
    return context;
}

void MainWindow::addBuilt(std::optional<PatrolEntry> (*builder)(BuildContext &)) {
    BuildContext context = buildContext();
    if (std::optional<PatrolEntry> entry = builder(context))
        addEntry(*entry);
}

} // namespace kirano

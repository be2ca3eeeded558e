#include "app/mainwindow.h"
#include "app/kiranoapplication.h"
#include "browser/bytelistmodel.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "builders/buildcontext.h"
#include "dialogs/patioeditor.h"
#include "dialogs/prompts.h"
#include "dialogs/settingsdialog.h"
#include "patrol/patrollistmodel.h"
#include "text/files.h"
#include "text/sjis.h"
#include "version.h"
#include "widgets/fonts.h"

#include <QCheckBox>
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
    settingsFilePath_ = programFolder + kSettingsFileName;
    createWindow();
}

MainWindow::~MainWindow() = default;

void MainWindow::createWindow() {
    setWindowTitle(kCaption);
    setFont(windowFont());
    resize(803, 616);
    move(200, 107);

    createMainMenu();
    createToolBar();
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(4);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(createLeftPanel());
    Splitter1->addWidget(createRightPanel());
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({254, 545});
    setCentralWidget(Splitter1);
    createPopupMenus();

    connect(ListBox1, &DataListView::rowClicked, this, &MainWindow::showSelectedService);
    connect(ListBox2, &DataListView::rowClicked, this, &MainWindow::showSelectedForum);
    // A click in ListBox3, 4 or 5: the next command is appended, not inserted.
    for (DataListView *list : {ListBox3, ListBox4, ListBox5})
        connect(list, &DataListView::rowClicked, patrolPane_, &PatrolListPane::deselect);

    setViewMode(ViewMode::Forum);

    folders_ = SettingsFolders::allSetTo(programFolder_);
    // An error thrown while loading goes to the general error report and the
    // window still opens, like one thrown in an event handler.
    try {
        if (text::fileExists(settingsFilePath_)) {
            if (readSettingsFolders()) {
                loadForumList();
                loadPatioList();
            }
        } else {
            prompts_.message(QStringLiteral(u"環境設定.txtがありません"));
        }
    } catch (...) {
        forumModel_->clear();
        patioModel_->clear();
        KiranoApplication::reportCurrentError();
    }
}

void MainWindow::attachDialogs(ChooserDialog *chooser, PatioEditor *patioEditor,
                               SettingsDialog *settingsDialog) {
    chooser_ = chooser;
    patioEditor_ = patioEditor;
    settingsDialog_ = settingsDialog;
}

bool MainWindow::readSettingsFolders() {
    text::IoError error;
    auto read = kirano::readSettingsFolders(settingsFilePath_, &error);
    if (!read) {
        prompts_.message(error.text());
        return false;
    }
    folders_ = *read;
    return true;
}

void MainWindow::editPatios() {
    if (patioEditor_)
        patioEditor_->exec();
    loadPatioList();
}

void MainWindow::editSettings() {
    if (settingsDialog_)
        settingsDialog_->exec();
    if (text::fileExists(settingsFilePath_) && !readSettingsFolders())
        return;
    loadForumList();
    loadPatioList();
}

void MainWindow::setViewMode(ViewMode mode) {
    auto showOnly = [this](QWidget *sheet) {
        for (QWidget *page : {TabSheet1, TabSheet2, TabSheet3})
            PageControl1->setTabVisible(PageControl1->indexOf(page), page == sheet);
        PageControl1->setCurrentWidget(sheet);
    };
    auto emptyText = [this] { Label2->clear(); };
    switch (mode) {
    case ViewMode::Forum:
        listBox4Model_->clear();
        listBox5Model_->clear();
        emptyText();
        ListBox4->setSelectionMode(QAbstractItemView::SingleSelection);
        PageControl1->setTabText(PageControl1->indexOf(TabSheet1), QStringLiteral(u"会議室"));
        PageControl1->setTabText(PageControl1->indexOf(TabSheet2), QStringLiteral(u"ライブラリィ"));
        PageControl1->setTabText(PageControl1->indexOf(TabSheet3), QStringLiteral(u"トップ"));
        for (QWidget *page : {TabSheet1, TabSheet2, TabSheet3})
            PageControl1->setTabVisible(PageControl1->indexOf(page), true);
        PageControl1->setCurrentWidget(TabSheet1);
        Label2->setAccessibleName(PageControl1->tabText(PageControl1->indexOf(TabSheet3)));
        listBox4Shows_ = mode;
        return;
    case ViewMode::Notices:
    case ViewMode::Bbs: {
        const bool notices = mode == ViewMode::Notices;
        listBox4Model_->clear();
        ListBox4->setSelectionMode(notices ? QAbstractItemView::MultiSelection
                                           : QAbstractItemView::SingleSelection);
        PageControl1->setTabText(PageControl1->indexOf(TabSheet1),
                                 notices ? QStringLiteral(u"お知らせ") : QStringLiteral(u"掲示板"));
        showOnly(TabSheet1);
        listBox4Shows_ = mode;
        return;
    }
    case ViewMode::Fees:
    case ViewMode::Warnings:
        emptyText();
        PageControl1->setTabText(PageControl1->indexOf(TabSheet3), mode == ViewMode::Fees
                                                                       ? QStringLiteral(u"料金情報")
                                                                       : QStringLiteral(u"警告"));
        Label2->setAccessibleName(PageControl1->tabText(PageControl1->indexOf(TabSheet3)));
        showOnly(TabSheet3);
        return;
    }
    prompts_.message(QStringLiteral(u"エラー"));
}

} // namespace kirano

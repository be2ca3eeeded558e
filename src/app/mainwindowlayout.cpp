// The main window's controls, menus and tool bar, as laid out on the form.
#include "app/mainwindow.h"
#include "app/recentfiles.h"
#include "app/statusline.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "builders/commandbuilders.h"
#include "builders/editentry.h"
#include "patrol/commands.h"
#include "patrol/patrollistmodel.h"
#include "store/bytelistmodel.h"
#include "text/files.h"
#include "text/sjis.h"
#include "version.h"
#include "widgets/actions.h"
#include "widgets/fonts.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <tuple>

namespace kirano {

QMenu *MainWindow::menuFrom(const char *name, const QString &title,
                            const std::vector<MenuRow> &rows) {
    QMenu *menu = makeMenu(this, name, title);
    for (const MenuRow &row : rows) {
        if (!row.name) {
            // A separator is no item to choose: disabled, as a menu's
            // items are counted.
            menu->addSeparator()->setEnabled(false);
            continue;
        }
        QAction *action = makeAction(this, row.name, row.caption);
        if (row.run)
            connect(action, &QAction::triggered, this, row.run);
        if (row.enabledWhen) {
            enabledWhen_.insert(action, row.enabledWhen);
            connect(menu, &QMenu::aboutToShow, action, [this, action] { refreshEnabled(action); });
        }
        menu->addAction(action);
    }
    return menu;
}

void MainWindow::refreshEnabled(QAction *item) {
    if (auto when = enabledWhen_.value(item))
        item->setEnabled((this->*when)());
}

std::function<void()> MainWindow::runs(void (MainWindow::*handler)()) {
    return [this, handler] { (this->*handler)(); };
}

std::function<void()> MainWindow::adds(std::optional<PatrolEntry> (*builder)(BuildContext &)) {
    return [this, builder] { addBuilt(builder); };
}

void MainWindow::createMainMenu() {
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = menuFrom(
        "File1", QStringLiteral(u"ファイル"),
        {{"New1", QStringLiteral(u"クリア"), [this] { patrolPane_->clear(); }},
         {"Open1", QStringLiteral(u"開く"), [this] { patrolPane_->open(); }},
         {"Save1", QStringLiteral(u"上書き保存"), [this] { patrolPane_->save(); }},
         {"SaveAs1", QStringLiteral(u"名前を付けて保存"), [this] { patrolPane_->saveAs(); }},
         {},
         {"Delete1", QStringLiteral(u"削除"), [this] { patrolPane_->deleteFile(); }},
         {},
         {"Exit1", QStringLiteral(u"終了"), [this] { close(); }},
         {}});
    // After the required items: the lists last opened or saved, read as the
    // menu opens, so that another Kirano's are there too.
    QMenu *recent = makeMenu(this, "RecentFiles", QStringLiteral(u"最近使ったファイル"));
    recent->menuAction()->setObjectName(QStringLiteral("RecentFiles"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentMenu(recent); });
    file->addMenu(recent);
    bar->addMenu(file);
    bar->addMenu(menuFrom("SettingsMenu", QStringLiteral(u"設定"),
                          {{"N4", QStringLiteral(u"パティオ編集"), runs(&MainWindow::editPatios)},
                           {"N5", QStringLiteral(u"環境設定"), runs(&MainWindow::editSettings)}}));
    QMenu *other = makeMenu(this, "OtherMenu", QStringLiteral(u"その他"));
    other->addMenu(menuFrom("VersionMenu", QStringLiteral(u"バージョン情報"),
                            {{"VersionItem", QStringLiteral("Ver " KIRANO_VERSION), {}}}));
    bar->addMenu(other);
}

void MainWindow::createToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setFixedHeight(28);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    // The buttons share the file menu's actions and lend them their icons.
    QStyle *style = QApplication::style();
    auto addButton = [this, style](const char *name, QStyle::StandardPixmap icon) {
        auto *action = findChild<QAction *>(QString::fromLatin1(name));
        action->setIcon(style->standardIcon(icon));
        toolBar_->addAction(action);
        toolBar_->widgetForAction(action)->setFixedWidth(45);
        return action;
    };
    addButton("New1", QStyle::SP_FileIcon);
    addButton("Open1", QStyle::SP_DialogOpenButton);
    addButton("Save1", QStyle::SP_DialogSaveButton);
    addButton("Delete1", QStyle::SP_TrashIcon)->setToolTip(QStringLiteral(u"ファイル削除"));
    toolBar_->addSeparator();
    addButton("Exit1", QStyle::SP_DialogCloseButton);
    toolBar_->addSeparator();
    fileLabel_ = new QLabel(QStringLiteral(u"[ファイル名：]"), toolBar_);
    fileLabel_->setObjectName(QStringLiteral("Label1"));
    QFont bold = fileLabel_->font();
    bold.setBold(true);
    fileLabel_->setFont(bold);
    fileLabel_->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    toolBar_->addWidget(fileLabel_);
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

QWidget *MainWindow::createRightPanel() {
    QWidget *panel = makePanel("Panel2");

    // The patrol list pane above the data tabs; Splitter3 moves the border
    // and growth goes to the pane.
    patrolPane_ = new PatrolListPane(prompts_, [this] { return folders_.patrolListFolder(); });
    connect(patrolPane_, &PatrolListPane::fileCaptionChanged, fileLabel_, &QLabel::setText);

    patrolTabsSplitter_ = new QSplitter(Qt::Vertical, panel);
    patrolTabsSplitter_->setObjectName(QStringLiteral("Splitter3"));
    patrolTabsSplitter_->setHandleWidth(4);
    patrolTabsSplitter_->setChildrenCollapsible(false);
    patrolTabsSplitter_->addWidget(patrolPane_);
    patrolTabsSplitter_->addWidget(browser_->createTabs());
    patrolTabsSplitter_->setStretchFactor(0, 1);
    patrolTabsSplitter_->setStretchFactor(1, 0);
    patrolTabsSplitter_->setSizes({200, 300});

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(patrolTabsSplitter_);
    return panel;
}

void MainWindow::attachPopup(QAbstractItemView *list, std::function<QMenu *()> menu) {
    connect(list, &QWidget::customContextMenuRequested, this,
            [list, menu](const QPoint &pos) { menu()->exec(list->mapToGlobal(pos)); });
    // The same menu from the keyboard, at the list's selected row (else its
    // current one): the Menu key, and Shift+F10 where there is none. The
    // list's own context-menu event for the Menu key is not used, so the
    // menu opens once.
    QAction *key = makeAction(
        this, (list->objectName() + QStringLiteral("MenuKey")).toLatin1().constData(), QString());
    key->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    key->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(key);
    connect(key, &QAction::triggered, list, [list, menu] {
        const QModelIndexList selected = list->selectionModel()->selectedIndexes();
        const QModelIndex row = selected.isEmpty() ? list->currentIndex() : selected.first();
        QPoint at(0, 0);
        if (row.isValid()) {
            list->scrollTo(row);
            at = list->visualRect(row).center();
        }
        menu()->exec(list->viewport()->mapToGlobal(at));
    });
}

namespace {

// A builder item's object name, as the command vocabulary gives it.
const char *builds(Command command, int item = 0) {
    return commandInfo(command).menuItems[item];
}

} // namespace

// Each pop-up's items: the form's name (the vocabulary's for the builders),
// caption, what it runs, when enabled.
void MainWindow::createPopupMenus() {
    QMenu *serviceMenu = menuFrom(
        "pop1", QString(),
        {{builds(Command::Bill), QStringLiteral(u"料金情報"), adds(builderOf(Command::Bill))},
         {builds(Command::Mailuptxt), QStringLiteral(u"テキストメール送信"),
          adds(builderOf(Command::Mailuptxt))},
         {builds(Command::Mailupbin), QStringLiteral(u"バイナリメール送信"),
          adds(builderOf(Command::Mailupbin))},
         {builds(Command::Myforum), QStringLiteral(u"マイフォーラム"),
          adds(builderOf(Command::Myforum))},
         {builds(Command::Newtitle), QStringLiteral(u"お知らせタイトル"),
          adds(builderOf(Command::Newtitle))}});
    QMenu *forumMenu =
        menuFrom("pop2", QString(),
                 {{builds(Command::Mestitlea), QStringLiteral(u"会議室タイトル（大）"),
                   adds(builderOf(Command::Mestitlea)), &MainWindow::forumSelected},
                  {builds(Command::Dltitlea), QStringLiteral(u"ＤＬタイトル（大）"),
                   adds(builderOf(Command::Dltitlea)), &MainWindow::forumSelected}});
    QMenu *patioMenu = menuFrom("pop3", QString(),
                                {{builds(Command::Patioread), QStringLiteral(u"読み込み"),
                                  adds(builderOf(Command::Patioread)), &MainWindow::patioSelected},
                                 {builds(Command::Patioup), QStringLiteral(u"書き込み"),
                                  adds(builderOf(Command::Patioup)), &MainWindow::patioSelected},
                                 {builds(Command::Patiorc), QStringLiteral(u"既読位置変更"),
                                  adds(builderOf(Command::Patiorc)), &MainWindow::patioSelected}});
    QMenu *entryMenu = menuFrom(
        "pop4", QString(),
        {{"N24", QStringLiteral(u"上へ"), [this] { patrolPane_->moveSelectedEntryUp(); },
          &MainWindow::entrySelected},
         {"N25", QStringLiteral(u"下へ"), [this] { patrolPane_->moveSelectedEntryDown(); },
          &MainWindow::entrySelected},
         {"Delete2", QStringLiteral(u"削除"), [this] { patrolPane_->deleteSelectedEntry(); },
          &MainWindow::entrySelected},
         {"N30", QStringLiteral(u"曜日変更"), [this] { patrolPane_->changeSelectedEntryDays(); },
          &MainWindow::entrySelected}});
    QMenu *roomMenu =
        menuFrom("pop5", QString(),
                 {{builds(Command::Mesread), QStringLiteral(u"読み込み"),
                   adds(builderOf(Command::Mesread)), &MainWindow::roomViewRowSelected},
                  {builds(Command::Mesup), QStringLiteral(u"書き込み"),
                   adds(builderOf(Command::Mesup)), &MainWindow::roomViewRowSelected},
                  {builds(Command::Mesrc), QStringLiteral(u"未読位置変更"),
                   adds(builderOf(Command::Mesrc)), &MainWindow::roomViewRowSelected}});
    QMenu *libraryMenu =
        menuFrom("pop6", QString(),
                 {{builds(Command::Dltitleb), QStringLiteral(u"ＤＬタイトル（小）"),
                   adds(builderOf(Command::Dltitleb)), &MainWindow::librarySelected},
                  {builds(Command::Dldown), QStringLiteral(u"ＤＬダウンロード（リスト）"),
                   adds(builderOf(Command::Dldown)), &MainWindow::librarySelected},
                  {builds(Command::Dldown, 1), QStringLiteral(u"ＤＬダウンロード"),
                   adds(builderOf(Command::Dldown, 1)), &MainWindow::librarySelected}});
    QMenu *noticeMenu = menuFrom("pop7", QString(),
                                 {{builds(Command::New), QStringLiteral(u"読み込み"),
                                   adds(builderOf(Command::New)), &MainWindow::noticeSelected}});
    QMenu *bbsMenu =
        menuFrom("pop8", QString(),
                 {{builds(Command::Bbsup), QStringLiteral(u"書き込み"),
                   adds(builderOf(Command::Bbsup)), &MainWindow::roomViewRowSelected}});

    // Which list carries which pop-up. browser_->roomView() carries the menu of what it
    // shows: the rooms, the notices or the BBS categories.
    attachPopup(browser_->serviceView(), [serviceMenu] { return serviceMenu; });
    attachPopup(browser_->forumView(), [forumMenu] { return forumMenu; });
    attachPopup(browser_->patioView(), [patioMenu] { return patioMenu; });
    attachPopup(patrolPane_->view(), [entryMenu] { return entryMenu; });
    attachPopup(browser_->roomView(), [this, roomMenu, noticeMenu, bbsMenu] {
        return browser_->roomViewShows() == ViewMode::Notices ? noticeMenu
               : browser_->roomViewShows() == ViewMode::Bbs   ? bbsMenu
                                                              : roomMenu;
    });
    attachPopup(browser_->libraryView(), [libraryMenu] { return libraryMenu; });
}

void MainWindow::createEditMenu() {
    QMenu *edit =
        menuFrom("EditMenu", QStringLiteral(u"編集"),
                 {{},
                  {"EditEntry", QStringLiteral(u"編集..."), runs(&MainWindow::editSelectedEntry),
                   &MainWindow::entryEditable},
                  {},
                  {"CutEntry", QStringLiteral(u"切り取り"),
                   [this] { patrolPane_->cutSelectedEntry(); }, &MainWindow::entrySelected},
                  {"CopyEntry", QStringLiteral(u"コピー"),
                   [this] { patrolPane_->copySelectedEntry(); }, &MainWindow::entrySelected},
                  {"PasteEntries", QStringLiteral(u"貼り付け"),
                   [this] { patrolPane_->pasteEntries(); }, &MainWindow::clipboardHasEntries},
                  {"DuplicateEntry", QStringLiteral(u"複製"),
                   [this] { patrolPane_->duplicateSelectedEntry(); }, &MainWindow::entrySelected},
                  {},
                  {"FindInList", QStringLiteral(u"検索"), [this] { browser_->focusSearch(); }}});

    // Undo and redo of the patrol list lead the menu.
    QAction *undo = patrolPane_->history()->createUndoAction(this);
    undo->setObjectName(QStringLiteral("Undo"));
    undo->setShortcut(Qt::CTRL | Qt::Key_Z);
    QAction *redo = patrolPane_->history()->createRedoAction(this);
    redo->setObjectName(QStringLiteral("Redo"));
    redo->setShortcuts({Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
    edit->insertActions(edit->actions().value(0), {undo, redo});
    addActions({undo, redo});

    // The night's preview: one day's run, or the list as always.
    edit->addSeparator()->setEnabled(false);
    QMenu *preview = makeMenu(this, "PreviewMenu", QStringLiteral(u"実行日の表示"));
    preview->menuAction()->setObjectName(QStringLiteral("PreviewMenu"));
    auto *days = new QActionGroup(preview);
    for (int day = -1; day < 7; ++day) {
        QAction *item =
            makeAction(this, (QStringLiteral("PreviewDay%1").arg(day + 1)).toLatin1().constData(),
                       PatrolListPane::previewDayName(day));
        item->setCheckable(true);
        days->addAction(item);
        preview->addAction(item);
        connect(item, &QAction::triggered, this, [this, day] { patrolPane_->setPreviewDay(day); });
    }
    preview->addSeparator()->setEnabled(false);
    const std::tuple<const char *, QString, QKeySequence, int> steps[] = {
        {"NextPreviewDay", QStringLiteral(u"次の曜日"), QKeySequence(Qt::Key_F7), 2},
        {"PreviousPreviewDay", QStringLiteral(u"前の曜日"), QKeySequence(Qt::SHIFT | Qt::Key_F7),
         8}};
    for (const auto &[name, caption, key, step] : steps) {
        QAction *item = makeAction(this, name, caption);
        item->setShortcut(key);
        preview->addAction(item);
        addAction(item);
        // Round from すべて (-1) through 日 to 土 and back.
        connect(item, &QAction::triggered, this, [this, step = step] {
            patrolPane_->setPreviewDay((patrolPane_->previewDay() + step) % 8 - 1);
        });
    }
    connect(preview, &QMenu::aboutToShow, this, [this, days] {
        days->actions().value(patrolPane_->previewDay() + 1)->setChecked(true);
    });
    edit->addMenu(preview);
    menuBar()->addMenu(edit);

    // pop4's own items come first; these follow behind a separator.
    QMenu *entryMenu = findChild<QMenu *>(QStringLiteral("pop4"));
    entryMenu->addSeparator()->setEnabled(false);
    for (const char *name :
         {"EditEntry", "CutEntry", "CopyEntry", "PasteEntries", "DuplicateEntry"}) {
        QAction *item = findChild<QAction *>(QString::fromLatin1(name));
        entryMenu->addAction(item);
        connect(entryMenu, &QMenu::aboutToShow, item, [this, item] { refreshEnabled(item); });
    }
}

void MainWindow::fillRecentMenu(QMenu *menu) {
    menu->clear();
    const QList<QByteArray> paths = recent_->paths();
    if (paths.isEmpty())
        menu->addAction(QStringLiteral(u"（なし）"))->setEnabled(false);
    for (int i = 0; i < paths.size(); ++i) {
        const QString shown = text::decode(paths[i]);
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QString(shown).replace(u'&', QStringLiteral("&&"))));
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        item->setToolTip(shown);
        // A list that is gone keeps its place and its path, greyed.
        item->setEnabled(text::fileExists(text::nativePath(paths[i])));
        connect(item, &QAction::triggered, this, [this, path = paths[i]] { openRecent(path); });
    }
}

void MainWindow::createKeys() {
    // The file menu's keys, shown beside the items' captions.
    const std::pair<const char *, QList<QKeySequence>> fileKeys[] = {
        {"New1", {Qt::CTRL | Qt::Key_N}},
        {"Open1", {Qt::CTRL | Qt::Key_O}},
        {"Save1", {Qt::CTRL | Qt::Key_S}},
        {"SaveAs1", {Qt::CTRL | Qt::SHIFT | Qt::Key_S}},
        {"Exit1", {Qt::CTRL | Qt::Key_Q}}};
    for (const auto &[item, keys] : fileKeys)
        findChild<QAction *>(QString::fromLatin1(item))->setShortcuts(keys);

    // pop4's keys act on lsv1's row, so they count only while lsv1 has the
    // focus. A key does nothing while its item is disabled, so these items
    // follow the selection at all times, not only as pop4 opens.
    QTreeView *patrolView = patrolPane_->view();
    const std::pair<const char *, QList<QKeySequence>> rowKeys[] = {
        {"N24", {Qt::ALT | Qt::Key_Up}},
        {"N25", {Qt::ALT | Qt::Key_Down}},
        {"Delete2", {Qt::Key_Delete}},
        {"EditEntry", {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F2}},
        {"CutEntry", {Qt::CTRL | Qt::Key_X}},
        {"CopyEntry", {Qt::CTRL | Qt::Key_C}},
        {"PasteEntries", {Qt::CTRL | Qt::Key_V}},
        {"DuplicateEntry", {Qt::CTRL | Qt::Key_D}}};
    QList<QAction *> rowItems;
    for (const auto &[item, keys] : rowKeys) {
        QAction *action = findChild<QAction *>(QString::fromLatin1(item));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        patrolView->addAction(action);
        refreshEnabled(action);
        rowItems << action;
    }
    const auto refreshRowItems = [this, rowItems] {
        for (QAction *item : rowItems)
            refreshEnabled(item);
    };
    connect(patrolPane_, &PatrolListPane::selectionChanged, this, refreshRowItems);
    // "編集..." turns on and off with the row's command, and a paste with
    // what the clipboard holds.
    connect(patrolPane_->model(), &QAbstractItemModel::dataChanged, this, refreshRowItems);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, refreshRowItems);
    // A double-click on a row is "編集..." too.
    connect(patrolPane_, &PatrolListPane::editRequested, this, [this] {
        QAction *edit = findChild<QAction *>(QStringLiteral("EditEntry"));
        refreshEnabled(edit);
        if (edit->isEnabled())
            edit->trigger();
    });
    // Ctrl+F: the keyboard to the search box.
    findChild<QAction *>(QStringLiteral("FindInList"))->setShortcut(Qt::CTRL | Qt::Key_F);
    addAction(findChild<QAction *>(QStringLiteral("FindInList")));

    // F10 puts the keyboard on the menu bar, with the first menu open.
    QAction *menuBarKey = makeAction(this, "MenuBarKey", QString());
    menuBarKey->setShortcut(Qt::Key_F10);
    addAction(menuBarKey);
    connect(menuBarKey, &QAction::triggered, this,
            [bar = menuBar()] { bar->setActiveAction(bar->actions().value(0)); });

    // F8 and Shift+F8: the next and the previous marked row of lsv1.
    const std::tuple<const char *, QKeySequence, int> markKeys[] = {
        {"NextMarkKey", QKeySequence(Qt::Key_F8), 1},
        {"PreviousMarkKey", QKeySequence(Qt::SHIFT | Qt::Key_F8), -1}};
    for (const auto &[name, key, step] : markKeys) {
        QAction *action = makeAction(this, name, QString());
        action->setShortcut(key);
        addAction(action);
        connect(action, &QAction::triggered, patrolPane_,
                [pane = patrolPane_, step = step] { pane->selectNextMarked(step); });
    }
}

bool MainWindow::forumSelected() const {
    return browser_->forumView()->selectedRow() >= 0;
}
bool MainWindow::patioSelected() const {
    return browser_->patioView()->selectedRow() >= 0;
}
bool MainWindow::roomViewRowSelected() const {
    return browser_->roomView()->selectedRow() >= 0;
}
bool MainWindow::noticeSelected() const {
    // The row that stands for a missing notices file is no notice to read.
    return browser_->noticesShown() && browser_->roomView()->selectedCount() > 0;
}
bool MainWindow::librarySelected() const {
    return browser_->libraryView()->selectedRow() >= 0;
}
bool MainWindow::entrySelected() const {
    return patrolPane_->hasSelectedEntry();
}
bool MainWindow::entryEditable() const {
    const int row = patrolPane_->selectedRow();
    return row >= 0 && canEditInPlace(patrolPane_->model()->entry(row));
}
bool MainWindow::clipboardHasEntries() const {
    return patrolPane_->clipboardHasEntries();
}

} // namespace kirano

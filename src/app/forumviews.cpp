// The forum list, the forum views and the forum commands of the main window.
#include "app/mainwindow.h"
#include "browser/bytelistmodel.h"
#include "browser/capturedfiles.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "builders/buildcontext.h"
#include "dialogs/prompts.h"
#include "patrol/patrollistmodel.h"
#include "text/files.h"
#include "text/sjis.h"

#include <QLabel>
#include <algorithm>

namespace kirano {

void MainWindow::loadForumList() {
    forumModel_->clear();
    setViewMode(ViewMode::Forum);
    const QString path = text::nativePath(folders_.dataFolder() + "forumlist.txt");
    forumModel_->setRecords(text::fileExists(path) ? readForumList(path) : QList<ForumRecord>());
}

void MainWindow::showSelectedForum() {
    setViewMode(ViewMode::Forum);
    ListBox1->clearSelectedRows();
    ListBox3->clearSelectedRows();
    patrolPane_->deselect();
    const ForumRecord *forum = forumModel_->record(ListBox2->selectedRow());
    if (!forum)
        return;
    const QByteArray base = folders_.dataFolder() + forum->code;

    showCaptured(Captured::Rooms, base + "mes.txt");
    showCaptured(Captured::Libraries, base + "dl.txt");
    showCaptured(Captured::TopPage, base + "top.txt");
}

// A captured file into its view and its date panel in one step; without the
// file, the view's placeholder rows and the blank date.
void MainWindow::showCaptured(Captured what, const QByteArray &path) {
    const bool rooms = what == Captured::Rooms;
    const bool libraries = what == Captured::Libraries;
    const bool inListBox4 = rooms || what == Captured::Notices;
    ByteListModel *list = inListBox4 ? listBox4Model_ : libraries ? listBox5Model_ : nullptr;
    QLabel *datePanel = inListBox4 ? Panel3 : libraries ? Panel4 : Panel5;
    QList<QByteArray> placeholder = rooms ? placeholderRooms()
                                    : libraries
                                        ? placeholderLibraries()
                                        : QList<QByteArray>{text::bytesOf(u"ファイルがありません")};
    QList<QByteArray> rows;
    QString date;
    const QString native = text::nativePath(path);
    if (text::fileExists(native)) {
        CapturedRows captured = loadCapturedRows(native);
        rows = std::move(captured.rows);
        date = text::shownText(captured.datePanel);
    } else {
        rows = std::move(placeholder);
        date = text::decode(placeholderPanel());
    }
    if (list) // otherwise the text pane
        list->setRows(std::move(rows));
    else
        Label2->setLines(std::move(rows));
    datePanel->setText(date);
}

std::optional<QByteArray> MainWindow::selectedRowOf(const DataListView *list,
                                                    const ByteListModel *model) {
    const int row = list->selectedRow();
    if (row < 0 || row >= model->rows().size())
        return std::nullopt;
    return model->rows().at(row);
}

BuildContext MainWindow::buildContext() {
    BuildContext context{prompts_,
                         [this]() -> std::optional<QByteArray> {
                             QByteArray days = patrolPane_->readDays();
                             if (patrolPane_->noDaysFlag() == 1)
                                 return std::nullopt;
                             return days;
                         },
                         folders_};
    if (const ForumRecord *forum = forumModel_->record(ListBox2->selectedRow()))
        context.forumCode = forum->code;
    context.roomRow = selectedRowOf(ListBox4, listBox4Model_);
    context.libraryRow = selectedRowOf(ListBox5, listBox5Model_);
    QList<int> notices;
    for (const QModelIndex &index : ListBox4->selectionModel()->selectedRows())
        notices.append(index.row());
    std::sort(notices.begin(), notices.end()); // in list order, not selection order
    for (int row : notices)
        context.selectedNotices.append(listBox4Model_->rows().at(row));
    context.bbsRow = ListBox4->selectedRow();
    if (const PatioRecord *patio = patioModel_->record(ListBox3->selectedRow())) {
        context.patioId = patio->id;
        context.patioPassword = patio->password;
    }
    return context;
}

void MainWindow::addBuilt(std::optional<PatrolEntry> (*builder)(BuildContext &)) {
    BuildContext context = buildContext();
    if (std::optional<PatrolEntry> entry = builder(context))
        addEntry(*entry);
}

} // namespace kirano

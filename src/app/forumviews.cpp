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

void TForm1::loadForumList() {
    forumList_.clear();
    forumModel_->clear();
    setViewMode(ViewMode::Forum);
    const QString path = text::nativePath(folders_.dataFolder() + "forumlist.txt");
    if (text::fileExists(path))
        forumList_ = readForumList(path);
    QList<QByteArray> names;
    names.reserve(forumList_.size());
    for (const ForumRecord &forum : forumList_)
        names.append(forum.name);
    forumModel_->setRows(std::move(names));
}

void TForm1::ListBox2Click() {
    setViewMode(ViewMode::Forum);
    ListBox1->clearSelectedRows();
    ListBox3->clearSelectedRows();
    deselectPatrolList();
    const int forum = ListBox2->selectedRow();
    if (forum < 0 || forum >= forumList_.size())
        return;
    const QByteArray base = folders_.dataFolder() + forumList_[forum].code;

    const QByteArray rooms = base + "mes.txt";
    if (text::fileExists(text::nativePath(rooms))) {
        loadListView(1, rooms);
    } else {
        listBox4Model_->setRows(placeholderRooms());
        Panel3->setText(text::decode(placeholderPanel()));
    }
    const QByteArray libraries = base + "dl.txt";
    if (text::fileExists(text::nativePath(libraries))) {
        loadListView(2, libraries);
    } else {
        listBox5Model_->setRows(placeholderLibraries());
        Panel4->setText(text::decode(placeholderPanel()));
    }
    const QByteArray top = base + "top.txt";
    if (text::fileExists(text::nativePath(top))) {
        loadTextView(top);
    } else {
        Label2->setLines({text::bytesOf(u"ファイルがありません")});
        Panel5->setText(text::decode(placeholderPanel()));
    }
}

void TForm1::loadListView(int row, const QByteArray &path) {
    const DataList &target = dataListTable_.at(row - 1);
    CapturedRows captured = loadCapturedRows(text::nativePath(path));
    target.model->setRows(std::move(captured.rows));
    target.datePanel->setText(text::shownText(captured.datePanel));
}

void TForm1::loadTextView(const QByteArray &path) {
    const QString native = text::nativePath(path);
    if (!text::fileExists(native))
        return;
    CapturedRows captured = loadCapturedRows(native);
    Label2->setLines(std::move(captured.rows));
    Panel5->setText(text::shownText(captured.datePanel));
}

std::optional<QByteArray> TForm1::selectedRowOf(DataListView *list) const {
    const int row = list->selectedRow();
    const auto *model = static_cast<const ByteListModel *>(list->model());
    if (row < 0 || row >= model->rows().size())
        return std::nullopt;
    return model->rows().at(row);
}

BuildContext TForm1::buildContext() {
    BuildContext context{prompts_,
                         [this]() -> std::optional<QByteArray> {
                             QByteArray days = ReadDays();
                             if (noDaysFlag_ == 1)
                                 return std::nullopt;
                             return days;
                         },
                         folders_};
    const int forum = ListBox2->selectedRow();
    if (forum >= 0 && forum < forumList_.size())
        context.forumCode = forumList_[forum].code;
    context.roomRow = selectedRowOf(ListBox4);
    context.libraryRow = selectedRowOf(ListBox5);
    QList<int> notices;
    for (const QModelIndex &index : ListBox4->selectionModel()->selectedRows())
        notices.append(index.row());
    std::sort(notices.begin(), notices.end()); // in list order, not selection order
    for (int row : notices)
        context.selectedNotices.append(listBox4Model_->rows().at(row));
    context.bbsRow = ListBox4->selectedRow();
    const int patio = ListBox3->selectedRow();
    if (patio >= 0 && patio < patioList_.size()) {
        context.patioId = patioList_[patio].id;
        context.patioPassword = patioList_[patio].password;
    }
    return context;
}

void TForm1::addBuilt(std::optional<PatrolEntry> (*builder)(BuildContext &)) {
    BuildContext context = buildContext();
    if (std::optional<PatrolEntry> entry = builder(context))
        AddEntry(*entry);
}

} // namespace kirano

// The service list, the patio list and the account and patio commands of
// the main window.
#include "app/mainwindow.h"
#include "browser/bbscategories.h"
#include "browser/bytelistmodel.h"
#include "browser/capturedfiles.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "builders/accountbuilders.h"
#include "builders/patiobuilders.h"
#include "text/files.h"
#include "text/sjis.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace kirano {

namespace {

QByteArray noFile() {
    return text::bytesOf(u"ファイルがありません");
}

} // namespace

void TForm1::connectServiceViews() {
    connect(ListBox1, &DataListView::rowClicked, this, &TForm1::ListBox1Click);
    connect(pop3, &QMenu::aboutToShow, this, &TForm1::pop3Popup);
    connect(pop7, &QMenu::aboutToShow, this, &TForm1::pop7Popup);
    connect(pop8, &QMenu::aboutToShow, this, &TForm1::pop8Popup);
    connectMenu(pop1, {&TForm1::N15Click, &TForm1::N16Click, &TForm1::N17Click, &TForm1::N18Click,
                       &TForm1::N12Click});
    connectMenu(pop3, {&TForm1::N21Click, &TForm1::N22Click, &TForm1::N23Click});
    connectMenu(pop7, {&TForm1::N11Click});
    connectMenu(pop8, {&TForm1::N29Click});
}

void TForm1::ListBox1Click() {
    ListBox2->clearSelectedRows();
    ListBox3->clearSelectedRows();
    deselectPatrolList();
    const QByteArray &data = folders_.dataFolder();
    switch (ListBox1->selectedRow()) {
    case 0: {
        setViewMode(ViewMode::Notices);
        const QByteArray notices = data + "new.txt";
        if (text::fileExists(text::nativePath(notices))) {
            loadListView(1, notices);
        } else {
            listBox4Model_->setRows({noFile()});
            Panel3->setText(text::decode(placeholderPanel()));
        }
        return;
    }
    case 1: {
        setViewMode(ViewMode::Fees);
        const QByteArray fees = data + "bill.txt";
        if (text::fileExists(text::nativePath(fees))) {
            loadTextView(fees);
        } else {
            Label2->setLines({noFile()});
            Panel5->setText(text::decode(placeholderPanel()));
        }
        return;
    }
    case 2:
        setViewMode(ViewMode::Bbs);
        listBox4Model_->setRows(bbsCategoryRows());
        Panel3->setText(text::decode(placeholderPanel()));
        return;
    case 3: {
        setViewMode(ViewMode::Warnings);
        Panel5->setText(text::decode(placeholderPanel()));
        const QByteArray warnings = data + text::bytesOf(u"警告.txt");
        if (text::fileExists(text::nativePath(warnings)))
            loadTextView(warnings);
        else
            Label2->setLines({noFile()});
        return;
    }
    default:
        return;
    }
}

void TForm1::loadPatioList() {
    patioList_.clear();
    patioListPath_ = folders_.dataFolder() + kPatioListFileName;
    const QString path = text::nativePath(patioListPath_);
    if (text::fileExists(path))
        patioList_ = readPatioList(path).value_or(QList<PatioRecord>());
    QList<QByteArray> names;
    names.reserve(patioList_.size());
    for (const PatioRecord &patio : patioList_)
        names.append(patio.name);
    patioModel_->setRows(std::move(names));
}

void TForm1::pop3Popup() {
    enableItems(pop3, ListBox3->selectedRow() >= 0);
}
void TForm1::pop7Popup() {
    enableItems(pop7, ListBox4->selectedCount() > 0);
}
void TForm1::pop8Popup() {
    enableItems(pop8, ListBox4->selectedRow() >= 0);
}

void TForm1::N15Click() {
    addBuilt(buildBill);
}
void TForm1::N16Click() {
    addBuilt(buildMailuptxt);
}
void TForm1::N17Click() {
    addBuilt(buildMailupbin);
}
void TForm1::N18Click() {
    addBuilt(buildMyforum);
}
void TForm1::N12Click() {
    addBuilt(buildNewtitle);
}
void TForm1::N11Click() {
    addBuilt(buildNew);
}
void TForm1::N29Click() {
    addBuilt(buildBbsup);
}
void TForm1::N21Click() {
    addBuilt(buildPatioread);
}
void TForm1::N22Click() {
    addBuilt(buildPatioup);
}
void TForm1::N23Click() {
    addBuilt(buildPatiorc);
}

} // namespace kirano

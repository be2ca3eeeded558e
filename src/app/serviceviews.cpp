// The service list, the patio list and the account and patio commands of
// the main window.
#include "app/mainwindow.h"
#include "browser/bbscategories.h"
#include "browser/bytelistmodel.h"
#include "browser/capturedfiles.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "dialogs/patiofile.h"
#include "text/files.h"
#include "text/sjis.h"

#include <QLabel>

namespace kirano {

namespace {

QByteArray noFile() {
    return text::bytesOf(u"ファイルがありません");
}

} // namespace

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

} // namespace kirano

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

void MainWindow::showSelectedService() {
    ListBox2->clearSelectedRows();
    ListBox3->clearSelectedRows();
    patrolPane_->deselect();
    const QByteArray &data = folders_.dataFolder();
    switch (ListBox1->selectedRow()) {
    case 0:
        setViewMode(ViewMode::Notices);
        showCaptured(Captured::Notices, data + "new.txt");
        return;
    case 1:
        setViewMode(ViewMode::Fees);
        showCaptured(Captured::Fees, data + "bill.txt");
        return;
    case 2:
        setViewMode(ViewMode::Bbs);
        listBox4Model_->setRows(bbsCategoryRows());
        Panel3->setText(text::decode(placeholderPanel()));
        return;
    case 3:
        setViewMode(ViewMode::Warnings);
        showCaptured(Captured::Warnings, data + text::bytesOf(u"警告.txt"));
        return;
    default:
        return;
    }
}

void MainWindow::loadPatioList() {
    patioListPath_ = folders_.dataFolder() + kPatioListFileName;
    const QString path = text::nativePath(patioListPath_);
    patioModel_->setRecords(text::fileExists(path)
                                ? readPatioList(path).value_or(QList<PatioRecord>())
                                : QList<PatioRecord>());
}

} // namespace kirano

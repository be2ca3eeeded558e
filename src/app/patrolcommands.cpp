// The patrol list editor of the main window: adding, moving, deleting and
// re-scheduling entries, the weekday strip, and the patrol list file commands.
#include "app/mainwindow.h"
#include "dialogs/prompts.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "patrol/weekdays.h"
#include "text/files.h"
#include "text/sjis.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTreeView>

namespace kirano {

namespace {

const QString kNoData = QStringLiteral(u"データがありません");

} // namespace

int MainWindow::selectedPatrolRow() const {
    const QModelIndexList rows = lsv1->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

bool MainWindow::addEntry(const PatrolEntry &entry) {
    if (!hasDisplayRow(entry))
        return false;
    // Inserting before the selected row moves its selection down with it.
    const int selected = selectedPatrolRow();
    const int position = selected >= 0 ? selected : patrolModel_->size();
    patrolModel_->insertEntry(position, entry);
    return true;
}

void MainWindow::moveEntry(int a, int b) {
    if (a < 0 || b >= patrolModel_->size()) {
        prompts_.beep();
        prompts_.message(QStringLiteral(u"移動できません"));
        return;
    }
    patrolModel_->moveUp(b);
    // The row that moved up counts as made anew: it is never selected, so
    // after "上へ" nothing is, and after "下へ" the moved row keeps its selection.
    lsv1->selectionModel()->select(patrolModel_->index(a, 0),
                                   QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void MainWindow::moveSelectedEntryUp() {
    const int s = selectedPatrolRow();
    moveEntry(s - 1, s);
}

void MainWindow::moveSelectedEntryDown() {
    const int s = selectedPatrolRow();
    moveEntry(s, s + 1);
}

void MainWindow::deleteSelectedEntry() {
    const int s = selectedPatrolRow();
    if (s < 0)
        return;
    patrolModel_->removeEntry(s);
    lsv1->selectionModel()->clearSelection();
}

void MainWindow::changeSelectedEntryDays() {
    const QByteArray days = readDays();
    if (noDaysFlag_ == 1)
        return;
    const int s = selectedPatrolRow();
    if (s >= 0)
        patrolModel_->setDays(s, days);
}

void MainWindow::enableWeekdayBoxes() {
    for (QCheckBox *box : weekdayBoxes_)
        box->setEnabled(!CheckBox1->isChecked());
}

QByteArray MainWindow::readDays() {
    noDaysFlag_ = 0;
    std::array<bool, 7> ticked{};
    for (int day = 0; day < 7; ++day)
        ticked[day] = weekdayBoxes_[day]->isChecked();
    QByteArray days = daysText(CheckBox1->isChecked(), ticked);
    if (days.isEmpty()) {
        prompts_.message(QStringLiteral(u"曜日が選択されていません"));
        noDaysFlag_ = 1;
    }
    return days;
}

void MainWindow::setCurrentPatrolFile(const QByteArray &path) {
    currentPatrolFile_ = path;
    Label1->setText(path.isEmpty() ? QStringLiteral(u"[ファイル名：]")
                                   : QStringLiteral(u"[ファイル名： ") + text::decode(path) + u']');
}

void MainWindow::clearPatrolList() {
    patrolModel_->clear();
    setCurrentPatrolFile(QByteArray());
}

void MainWindow::openPatrolList() {
    std::optional<QString> chosen = prompts_.openFile(
        {QStringLiteral(u"ファイルを開く"), text::decode(folders_.patrolListFolder()), false});
    if (!chosen || !text::fileExists(*chosen))
        return;
    std::optional<QByteArray> path = encodeAnswer(prompts_, *chosen);
    if (!path)
        return;
    clearPatrolList();
    setCurrentPatrolFile(*path);
    // Every entry is checked before any is shown, then all come in one step.
    std::optional<QByteArray> content = text::readFile(*chosen);
    std::optional<QList<PatrolEntry>> entries = content ? parsePatrolList(*content) : std::nullopt;
    if (!entries) {
        prompts_.message(QStringLiteral(u"読み込みに失敗しました"));
        clearPatrolList();
        return;
    }
    patrolModel_->setEntries(std::move(*entries));
}

void MainWindow::savePatrolList() {
    if (patrolModel_->size() == 0) {
        prompts_.message(kNoData);
        return;
    }
    if (currentPatrolFile_.isEmpty()) {
        savePatrolListAs();
        return;
    }
    if (auto error = text::writeLines(text::nativePath(currentPatrolFile_),
                                      patrolListLines(*patrolModel_))) {
        prompts_.message(error->text());
        return;
    }
    prompts_.message(QStringLiteral(u"保存しました"));
}

void MainWindow::savePatrolListAs() {
    if (patrolModel_->size() == 0) {
        prompts_.message(kNoData);
        return;
    }
    std::optional<QString> chosen = prompts_.saveFile(QStringLiteral(u"名前を付けて保存"),
                                                      text::decode(folders_.patrolListFolder()));
    if (!chosen)
        return;
    std::optional<QByteArray> path = encodeAnswer(prompts_, *chosen);
    if (!path)
        return;
    setCurrentPatrolFile(*path);
    savePatrolList();
}

void MainWindow::deletePatrolListFile() {
    std::optional<QString> chosen = prompts_.openFile(
        {QStringLiteral(u"削除するファイル"), text::decode(folders_.patrolListFolder()), true});
    if (!chosen || !text::fileExists(*chosen))
        return;
    if (!prompts_.confirmOkCancel(*chosen + QStringLiteral(u"\r\n削除しますか")))
        return;
    prompts_.message(QFile::remove(*chosen) ? QStringLiteral(u"削除しました")
                                            : QStringLiteral(u"削除に失敗しました"));
}

void MainWindow::exitProgram() {
    close();
}

} // namespace kirano

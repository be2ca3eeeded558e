#pragma once
// The patrol list editor as the user meets it: the main window started on
// default settings, rows clicked in lsv1, pop4 opened by a right-click on
// the selected row, the weekday boxes clicked.
#include "app/mainwindow.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeView>

namespace kirano::testing {

struct EditorFixture : Fixture {
    MainWindow *w = nullptr;
    QTreeView *lsv1 = nullptr;

    EditorFixture() {
        writeDefaultSettings();
        w = &start();
        lsv1 = w->findChild<QTreeView *>(QStringLiteral("lsv1"));
    }
    PatrolListModel &list() { return *w->patrolList(); }
    QByteArrayList commands() {
        QByteArrayList names;
        for (int r = 0; r < list().size(); ++r)
            names << list().entry(r).command;
        return names;
    }
    void select(int row) { clickRow(lsv1, row); }
    QList<int> selectedRows() { return selectedRowsOf(lsv1); }
    // pop4 opened on the selected row, or below the rows when none is.
    OpenedMenu pop4(const QString &item = QString()) {
        const QList<int> rows = selectedRows();
        return chooseFromMenu(lsv1, rows.isEmpty() ? -1 : rows.first(), item);
    }
    QCheckBox *box(int n) { return w->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(n)); }
    void tick(int n) { QTest::mouseClick(box(n), Qt::LeftButton); }
    QString label() { return w->findChild<QLabel *>(QStringLiteral("Label1"))->text(); }
    QString path(const QString &name) { return folder() + name; }
};

} // namespace kirano::testing

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

    EditorFixture();
    PatrolListModel &list();
    // Each row's keyword, top to bottom.
    QByteArrayList commands();
    void select(int row);
    QList<int> selectedRows();
    // pop4 opened on the selected row, or below the rows when none is.
    OpenedMenu pop4(const QString &item = QString());
    QCheckBox *box(int n);
    void tick(int n);
    QString label();
    QString path(const QString &name);
};

} // namespace kirano::testing

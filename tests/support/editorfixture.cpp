#include "editorfixture.h"

namespace kirano::testing {

EditorFixture::EditorFixture() {
    writeDefaultSettings();
    w = &start();
    lsv1 = w->findChild<QTreeView *>(QStringLiteral("lsv1"));
}

PatrolListModel &EditorFixture::list() {
    return *w->patrolList();
}

QByteArrayList EditorFixture::commands() {
    QByteArrayList names;
    for (int r = 0; r < list().size(); ++r)
        names << list().entry(r).command;
    return names;
}

void EditorFixture::select(int row) {
    clickRow(lsv1, row);
}

QList<int> EditorFixture::selectedRows() {
    return selectedRowsOf(lsv1);
}

OpenedMenu EditorFixture::pop4(const QString &item) {
    const QList<int> rows = selectedRows();
    return chooseFromMenu(lsv1, rows.isEmpty() ? -1 : rows.first(), item);
}

QCheckBox *EditorFixture::box(int n) {
    return w->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(n));
}

void EditorFixture::tick(int n) {
    QTest::mouseClick(box(n), Qt::LeftButton);
}

QString EditorFixture::label() {
    return w->findChild<QLabel *>(QStringLiteral("Label1"))->text();
}

QString EditorFixture::path(const QString &name) {
    return folder() + name;
}

} // namespace kirano::testing

#include "dialogs/chooserdialog.h"
#include "browser/datalistview.h"
#include "store/bytelistmodel.h"
#include "text/sjis.h"
#include "widgets/fonts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kirano {

ChooserDialog::ChooserDialog(const QString &caption, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(caption);
    setFont(windowFont());
    setFixedSize(606, 519);
    // Where the main window opens too; a moved dialog is not centred on its
    // parent, and keeps the place the user drags it to between showings.
    move(200, 107);

    model_ = new ByteListModel(this);
    ListBox1 = new DataListView(QStringLiteral("ListBox1"), this);
    ListBox1->setModel(model_);
    ListBox1->setFont(fixedFont());
    ListBox1->setGeometry(0, 0, 606, 466);

    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 466, 606, 53);
    Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel1->setIndent(4);

    auto *decide = new QPushButton(QStringLiteral(u"決定"), Panel1);
    decide->setObjectName(QStringLiteral("Button1"));
    decide->setGeometry(288, 8, 89, 33);
    auto *cancel = new QPushButton(QStringLiteral(u"キャンセル"), Panel1);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(400, 8, 89, 33);
    decide->setAutoDefault(false);
    cancel->setAutoDefault(false);
    setTabOrder(decide, cancel);
    setTabOrder(cancel, ListBox1);

    connect(decide, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ChooserDialog::cancelChoice);
    connect(ListBox1, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

int ChooserDialog::choose(const QList<QByteArray> &rows, const QByteArray &status, int start) {
    model_->setRows(rows);
    if (start >= 0 && start < rows.size()) {
        const QModelIndex row = model_->index(start, 0);
        ListBox1->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        // Once shown, when the list knows its height.
        QTimer::singleShot(0, ListBox1, [this, row] {
            ListBox1->scrollTo(row, QAbstractItemView::PositionAtCenter);
        });
    }
    Panel1->setText(text::decode(status));
    exec();
    return ListBox1->selectedRow();
}

void ChooserDialog::cancelChoice() {
    ListBox1->clearSelectedRows();
    reject();
}

void ChooserDialog::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // Qt's own Esc would close keeping the selection, which the caller
        // takes as the row chosen.
        cancelChoice();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The buttons take no Enter of their own; on one of them, Enter
        // presses it.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace kirano

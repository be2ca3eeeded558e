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
    view_ = new DataListView(QStringLiteral("ListBox1"), this);
    view_->setModel(model_);
    view_->setFont(fixedFont());
    view_->setGeometry(0, 0, 606, 466);

    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName(QStringLiteral("Panel1"));
    statusPanel_->setGeometry(0, 466, 606, 53);
    statusPanel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    statusPanel_->setIndent(4);

    auto *decide = new QPushButton(QStringLiteral(u"決定"), statusPanel_);
    decide->setObjectName(QStringLiteral("Button1"));
    decide->setGeometry(288, 8, 89, 33);
    auto *cancel = new QPushButton(QStringLiteral(u"キャンセル"), statusPanel_);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(400, 8, 89, 33);
    decide->setAutoDefault(false);
    cancel->setAutoDefault(false);
    setTabOrder(decide, cancel);
    setTabOrder(cancel, view_);

    connect(decide, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ChooserDialog::cancelChoice);
    connect(view_, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

int ChooserDialog::choose(const QList<QByteArray> &rows, const QByteArray &status, int start) {
    model_->setRows(rows);
    if (start >= 0 && start < rows.size()) {
        const QModelIndex row = model_->index(start, 0);
        view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        // Once shown, when the list knows its height.
        QTimer::singleShot(
            0, view_, [this, row] { view_->scrollTo(row, QAbstractItemView::PositionAtCenter); });
    }
    statusPanel_->setText(text::decode(status));
    exec();
    return view_->selectedRow();
}

void ChooserDialog::cancelChoice() {
    view_->clearSelectedRows();
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

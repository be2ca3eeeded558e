#pragma once
#include <QAbstractListModel>
#include <QByteArrayView>
#include <QList>

namespace kirano {

// A list model whose rows a search may narrow: it shows either every row of
// its whole list or only some of them, in list order. A row shown is looked
// up in the whole list, so what a command reads from a row (a forum's code,
// a room's number) is the same however the list is narrowed.
class FilteredListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : filtered_ ? int(shown_.size()) : wholeCount();
    }

    // Rows of the whole list.
    virtual int wholeCount() const = 0;
    // What a search looks in for the row of the whole list: its Shift_JIS
    // bytes as they are shown.
    virtual QByteArrayView searchedText(int whole) const = 0;

    // The row of the whole list that `row` shows; -1 for no row.
    int wholeRow(int row) const {
        if (row < 0 || row >= rowCount())
            return -1;
        return filtered_ ? shown_.at(row) : row;
    }
    // Where the row of the whole list is shown; -1 while it is hidden.
    int shownRow(int wholeRow) const;
    bool isFiltered() const { return filtered_; }

    // Only these rows of the whole list (ascending), or all of them again;
    // each in one reset.
    void showOnly(QList<int> wholeRows);
    void showAll();

  signals:
    // The whole list was replaced (a file read anew): every row is shown.
    void rowsReplaced();

  protected:
    // The whole list is replaced by `replace`, in one reset that shows every
    // row.
    template <typename Replace> void replaceRows(Replace replace) {
        beginResetModel();
        replace();
        filtered_ = false;
        shown_ = {};
        endResetModel();
        emit rowsReplaced();
    }

  private:
    bool filtered_ = false;
    QList<int> shown_;
};

} // namespace kirano

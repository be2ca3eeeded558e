#pragma once
#include "store/forumlist.h"

#include <QAbstractListModel>
#include <optional>

namespace kirano {

// The forum list as rows of names, each decoded only when its row is drawn.
// A load replaces all records in one reset.
class ForumListModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setForums(ForumList forums);
    void clear() { setForums({}); }
    const ForumList &forums() const { return forums_; }
    // The record shown in `row`; none for no row.
    std::optional<ForumRecord> record(int row) const;

  private:
    ForumList forums_;
};

} // namespace kirano

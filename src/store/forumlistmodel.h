#pragma once
#include "store/filteredlistmodel.h"
#include "store/forumlist.h"

#include <optional>

namespace kirano {

// The forum list as rows of names, each decoded only when its row is drawn.
// A load replaces all records in one reset. A search may show only some of
// them; a row's record is always the one its name was read with.
class ForumListModel : public FilteredListModel {
  public:
    using FilteredListModel::FilteredListModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    int wholeCount() const override { return int(forums_.size()); }
    // The name without the blanks that fill it to its 40 bytes: they are no
    // part of it.
    QByteArrayView searchedText(int whole) const override;

    void setForums(ForumList forums);
    void clear() { setForums({}); }
    const ForumList &forums() const { return forums_; }
    // The record shown in `row`; none for no row.
    std::optional<ForumRecord> record(int row) const;

  private:
    ForumList forums_;
};

} // namespace kirano

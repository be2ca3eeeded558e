#include "store/forumlistmodel.h"
#include "text/sjis.h"

namespace kirano {

int ForumListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(forums_.size());
}

QVariant ForumListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= forums_.size() || role != Qt::DisplayRole)
        return QVariant();
    return text::shownText(forums_.name(index.row()));
}

void ForumListModel::setForums(ForumList forums) {
    beginResetModel();
    forums_ = std::move(forums);
    endResetModel();
}

std::optional<ForumRecord> ForumListModel::record(int row) const {
    if (row < 0 || row >= forums_.size())
        return std::nullopt;
    return forums_.at(row);
}

} // namespace kirano

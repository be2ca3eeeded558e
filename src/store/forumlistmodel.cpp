#include "store/forumlistmodel.h"
#include "text/sjis.h"

namespace kirano {

QVariant ForumListModel::data(const QModelIndex &index, int role) const {
    const int whole = index.isValid() ? wholeRow(index.row()) : -1;
    if (whole < 0 || role != Qt::DisplayRole)
        return QVariant();
    return text::shownText(forums_.name(whole));
}

void ForumListModel::setForums(ForumList forums) {
    replaceRows([&] { forums_ = std::move(forums); });
}

std::optional<ForumRecord> ForumListModel::record(int row) const {
    const int whole = wholeRow(row);
    if (whole < 0)
        return std::nullopt;
    return forums_.at(whole);
}

QByteArrayView ForumListModel::searchedText(int whole) const {
    QByteArrayView name = forums_.name(whole);
    while (!name.isEmpty() && name.back() == ' ')
        name.chop(1);
    return name;
}

} // namespace kirano

#include "store/filteredlistmodel.h"

#include <algorithm>

namespace kirano {

int FilteredListModel::shownRow(int wholeRow) const {
    if (wholeRow < 0 || wholeRow >= wholeCount())
        return -1;
    if (!filtered_)
        return wholeRow;
    const auto at = std::lower_bound(shown_.cbegin(), shown_.cend(), wholeRow);
    return at != shown_.cend() && *at == wholeRow ? int(at - shown_.cbegin()) : -1;
}

void FilteredListModel::showOnly(QList<int> wholeRows) {
    beginResetModel();
    filtered_ = true;
    shown_ = std::move(wholeRows);
    endResetModel();
}

void FilteredListModel::showAll() {
    if (!filtered_)
        return;
    beginResetModel();
    filtered_ = false;
    shown_ = {};
    endResetModel();
}

} // namespace kirano

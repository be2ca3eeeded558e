#include "store/bytelistmodel.h"
#include "text/sjis.h"

namespace kirano {

int ByteListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ByteListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size() || role != Qt::DisplayRole)
        return QVariant();
    // Only what is drawn is cut; the row keeps all its bytes.
    return text::shownText(rows_.at(index.row()));
}

void ByteListModel::setRows(QList<QByteArray> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

} // namespace kirano

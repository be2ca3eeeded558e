#include "store/bytelistmodel.h"
#include "text/sjis.h"

namespace kirano {

QVariant ByteListModel::data(const QModelIndex &index, int role) const {
    const int whole = index.isValid() ? wholeRow(index.row()) : -1;
    if (whole < 0 || role != Qt::DisplayRole)
        return QVariant();
    // Only what is drawn is cut; the row keeps all its bytes.
    return text::shownText(rows_.at(whole));
}

void ByteListModel::setRows(QList<QByteArray> rows) {
    replaceRows([&] { rows_ = std::move(rows); });
}

} // namespace kirano

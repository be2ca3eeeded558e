#pragma once
// The bulletin board's fixed categories: the rows the BBS view shows and the
// category and sub-number that the BBS post command takes by row position.

#include <QByteArray>
#include <QList>
#include <array>

namespace kirano {

struct BbsCategory {
    const char16_t *name;
    const char *number;    // "2" to "9"
    const char *subNumber; // "1" to "7" for the "売ります" rows, else "0"
};

extern const std::array<BbsCategory, 14> kBbsCategories;

// The category names as rows, in table order.
QList<QByteArray> bbsCategoryRows();

} // namespace kirano

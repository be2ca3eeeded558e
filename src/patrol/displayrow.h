#pragma once
#include "patrol/patrolentry.h"

#include <optional>

namespace kirano {

// The first three columns of an entry's row in the patrol list view.
struct DisplayRow {
    QByteArray column1;
    QByteArray column2;
    QByteArray column3;
};

// The first three columns of an entry's row, from the seventeen keywords
// (byte for byte, case-sensitive); any other keyword shows its command and
// first two parameters. Nothing when "mesread", "mesup", "mesrc" or
// "dltitleb" carries a param2 that is not a whole integer.
std::optional<DisplayRow> BuildDisplayRow(const PatrolEntry &entry);

// Whether BuildDisplayRow succeeds, without building the texts.
bool hasDisplayRow(const PatrolEntry &entry);

} // namespace kirano

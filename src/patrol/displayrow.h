#pragma once
#include "patrol/patrolentry.h"

#include <QString>
#include <optional>

namespace kirano {

// The first three columns of an entry's row in the patrol list view.
struct DisplayRow {
    QByteArray column1;
    QByteArray column2;
    QByteArray column3;
};

// The first three columns of an entry's row, as the command vocabulary
// (patrol/commands.h) lays them out; any other keyword shows its command and
// first two parameters. Nothing when a column that shows a parameter as a
// number (the room or library of four commands) finds no whole integer there.
std::optional<DisplayRow> displayRowOf(const PatrolEntry &entry);

// Whether displayRowOf succeeds, without building the texts.
bool hasDisplayRow(const PatrolEntry &entry);

// "N番目 [columns of its display row]": how the reports of check and run
// name an entry, counted from 1.
QString entryLabel(int position, const PatrolEntry &entry);

} // namespace kirano

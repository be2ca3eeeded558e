// The patrol list file and its display rows: a list that loads saves back to
// the same entries, and that saved file saves back byte for byte.
#include "fuzzsupport.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "text/lines.h"

#include <algorithm>

using namespace kirano;
using kirano::fuzz::check;

namespace {

QByteArray saved(const QList<PatrolEntry> &entries) {
    PatrolListModel model;
    model.setEntries(entries);
    // What the view shows of the first rows: every column of each.
    for (int row = 0; row < qMin(model.rowCount(), 64); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            check(model.data(model.index(row, column)).isValid(), "every cell shows a text");
    }
    return text::joinCrLf(patrolListLines(model.entries()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);
    // The one reader takes any bytes; what the writer makes of its entries
    // reads back as the same entries with nothing left over, and Kirano opens
    // exactly the lists whose every entry has a display row.
    const text::Result<PatrolListFile> read = parsePatrolList(content);
    check(read.has_value(), "any bytes read as a patrol list");
    check(read->leftoverLines >= 0 && read->leftoverLines < PatrolEntry::kFieldCount,
          "fewer than six lines are left over");
    const text::Result<PatrolListFile> written =
        parsePatrolList(text::joinCrLf(patrolListLines(read->entries)));
    check(written && written->entries == read->entries && written->leftoverLines == 0,
          "written entries read back whole");
    const bool allShown = std::all_of(read->entries.cbegin(), read->entries.cend(), hasDisplayRow);
    check(openablePatrolList(content).has_value() == allShown,
          "a list opens when every entry has a display row");
    const std::optional<QList<PatrolEntry>> entries = openablePatrolList(content);
    if (!entries)
        return 0;
    for (const PatrolEntry &entry : *entries)
        check(displayRowOf(entry).has_value(), "a loaded entry has a display row");
    const QByteArray file = saved(*entries);
    const std::optional<QList<PatrolEntry>> again = openablePatrolList(file);
    check(again.has_value() && *again == *entries, "a saved list reads back as the same entries");
    check(saved(*again) == file, "a saved list saves back byte for byte");
    return 0;
}

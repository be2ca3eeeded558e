// The patrol list file and its display rows: a list that loads saves back to
// the same entries, and that saved file saves back byte for byte.
#include "fuzzsupport.h"
#include "patrol/displayrow.h"
#include "patrol/patrolfile.h"
#include "patrol/patrollistmodel.h"
#include "text/lines.h"

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
    return text::joinCrLf(patrolListLines(model));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);
    const std::optional<QList<PatrolEntry>> entries = parsePatrolList(content);
    if (!entries)
        return 0;
    for (const PatrolEntry &entry : *entries)
        check(BuildDisplayRow(entry).has_value(), "a loaded entry has a display row");
    const QByteArray file = saved(*entries);
    const std::optional<QList<PatrolEntry>> again = parsePatrolList(file);
    check(again.has_value() && *again == *entries, "a saved list reads back as the same entries");
    check(saved(*again) == file, "a saved list saves back byte for byte");
    return 0;
}

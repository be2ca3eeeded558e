#include "patrol/patrolfile.h"
#include "patrol/displayrow.h"
#include "text/lines.h"

namespace kirano {

std::optional<QList<PatrolEntry>> parsePatrolList(const QByteArray &content) {
    text::LineCursor cursor(content);
    QList<PatrolEntry> entries;
    PatrolEntry entry;
    int field = 0;
    QByteArray line;
    while (cursor.next(line)) {
        entry.field(field) = std::move(line);
        if (++field < PatrolEntry::kFieldCount)
            continue;
        if (!hasDisplayRow(entry))
            return std::nullopt;
        entries.append(std::move(entry));
        entry = PatrolEntry();
        field = 0;
    }
    return entries; // a short group at the end is no entry
}

QList<QByteArray> patrolListLines(const PatrolListModel &list) {
    QList<QByteArray> lines;
    lines.reserve(list.size() * PatrolEntry::kFieldCount);
    for (int row = 0; row < list.size(); ++row) {
        const PatrolEntry &entry = list.entry(row);
        for (int field = 0; field < PatrolEntry::kFieldCount; ++field)
            lines.append(entry.field(field));
    }
    return lines;
}

} // namespace kirano

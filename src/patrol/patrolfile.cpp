#include "patrol/patrolfile.h"
#include "patrol/displayrow.h"
#include "text/lines.h"

#include <new>

namespace kirano {

namespace {

std::optional<QList<PatrolEntry>> parseEntries(const QByteArray &content) {
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

} // namespace

std::optional<QList<PatrolEntry>> parsePatrolList(const QByteArray &content) {
    try {
        return parseEntries(content);
    } catch (const std::bad_alloc &) {
        return std::nullopt; // more entries than memory: not a list to open
    }
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

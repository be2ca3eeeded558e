#include "patrol/patrolfile.h"
#include "patrol/displayrow.h"
#include "text/lines.h"

namespace kirano {

std::optional<QList<PatrolListModel::Row>> parsePatrolList(const QByteArray &content) {
    QList<QByteArray> lines = text::splitLines(content);
    const qsizetype count = lines.size() / PatrolEntry::kFieldCount;
    QList<PatrolListModel::Row> rows;
    rows.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        PatrolEntry entry;
        for (int field = 0; field < PatrolEntry::kFieldCount; ++field)
            entry.field(field) = std::move(lines[i * PatrolEntry::kFieldCount + field]);
        std::optional<DisplayRow> display = BuildDisplayRow(entry);
        if (!display)
            return std::nullopt;
        rows.append({std::move(entry), std::move(*display)});
    }
    return rows;
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

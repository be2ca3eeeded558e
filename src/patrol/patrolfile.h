#pragma once
#include "patrol/patrollistmodel.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace kirano {

// The patrol list file: six lines per entry in field order, bytes as they
// are. Every complete group of six lines is one entry; one to five lines left
// over are ignored. Nothing when an entry's display row cannot be built.
std::optional<QList<PatrolEntry>> parsePatrolList(const QByteArray &content);

// The six lines of every entry, in list order.
QList<QByteArray> patrolListLines(const PatrolListModel &list);

} // namespace kirano

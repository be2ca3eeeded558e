#pragma once
// Finding, before a run, every entry of a patrol list that cannot work,
// against what the data folder says the service has.

#include "rules/listrules.h"
#include "store/settingsfile.h"

#include <QStringList>

namespace kirano::autopilot {

// One line per problem, in list order, each naming the entry's position
// and display row; empty for a clean list. A room, library or download
// number is looked up only when its captured list is there.
QStringList checkPatrolList(const PatrolListFile &list, const SettingsFolders &folders);

} // namespace kirano::autopilot

#pragma once
// Running a patrol list against the simulated service: the files the real
// autopilot leaves in the data, log and download folders, and one report
// line per entry.

#include "autopilot/simservice.h"
#include "patrol/patrolfile.h"
#include "rules/fieldrules.h"
#include "rules/filerules.h"
#include "store/settingsfile.h"

#include <QDateTime>
#include <QStringList>
#include <optional>

namespace kirano::autopilot {

struct RunOptions {
    // 0 = 日 (Sunday) to 6 = 土; nothing runs every entry whatever its days.
    std::optional<int> day;
    // The time written in the date lines.
    QDateTime now;
};

struct RunReport {
    enum Outcome { Done, Skipped, Failed };
    QList<Outcome> outcomes;    // one per entry, in list order
    QStringList lines;          // what is printed: one per entry, then any failure of the session
    bool sessionFailed = false; // the warnings or the run record could not be written

    int count(Outcome outcome) const { return int(outcomes.count(outcome)); }
};

RunReport runPatrolList(const PatrolListFile &list, const SettingsFolders &folders,
                        const SimService &service, const RunOptions &options);

} // namespace kirano::autopilot

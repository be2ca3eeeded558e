#pragma once
// Finding, before a run, every entry of a patrol list that cannot work,
// against what the data folder says the service has.

#include "patrol/patrolfile.h"
#include "rules/entrycheck.h"
#include "rules/fieldrules.h"
#include "rules/filerules.h"
#include "store/settingsfile.h"

#include <QStringList>

namespace kirano::rules {

// One line per problem, in list order, each naming the entry's position
// and display row; empty for a clean list. A room, library or download
// number is looked up only when its captured list is there.
QStringList checkPatrolList(const PatrolListFile &list, const SettingsFolders &folders);

// The same check of a list handed over entry by entry, so that the list
// need not be held.
class ListCheck {
  public:
    explicit ListCheck(const SettingsFolders &folders) : folders_(folders), checker_(folders) {}
    // The next entry, in list order.
    void add(const PatrolEntry &entry);
    // The lines, once the last entry was added: first those naming a file
    // the whole run writes that cannot be written, or a list that could not
    // be read at all, then the entries'.
    QStringList finish(int leftoverLines);

  private:
    SettingsFolders folders_;
    EntryChecker checker_;
    QStringList lines_;
    int position_ = 0;
};

} // namespace kirano::rules

#include "rules/patrolcheck.h"
#include "patrol/displayrow.h"

namespace kirano::rules {

void ListCheck::add(const PatrolEntry &entry) {
    ++position_;
    const QStringList problems = checker_.problems(entry);
    if (problems.isEmpty())
        return;
    const QString label = entryLabel(position_, entry);
    for (const QString &problem : problems)
        lines_ << label + QStringLiteral(u": ") + problem;
}

QStringList ListCheck::finish(int leftoverLines) {
    if (leftoverLines > 0)
        lines_
            << QStringLiteral(u"末尾: 六行に満たない最後の %1 行は読まれません").arg(leftoverLines);
    return sessionProblems(folders_) + checker_.unreadableFiles() + std::move(lines_);
}

QStringList checkPatrolList(const PatrolListFile &list, const SettingsFolders &folders) {
    ListCheck check(folders);
    for (const PatrolEntry &entry : list.entries)
        check.add(entry);
    return check.finish(list.leftoverLines);
}

} // namespace kirano::rules

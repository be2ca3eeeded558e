#pragma once
// The companion program's command line: check, run and demo.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace kirano::autopilot {

struct ProgramPlace {
    QString folder;  // the folder of the running program, ending with '/'
    QString path;    // the running program itself
    QString version; // what --version prints after the program's name
};

// The exit status: 0 when all went well, 1 when the list has problems or
// an entry failed, 2 for a bad command line, a file that is not a patrol
// list or settings that cannot be read.
int runCommandLine(const QStringList &arguments, const ProgramPlace &place, QTextStream &out,
                   QTextStream &err);

} // namespace kirano::autopilot

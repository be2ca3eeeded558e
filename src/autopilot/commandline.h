#pragma once
// The companion program's command line: check, run and demo.

#include "autopilot/demo.h"

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

// What demo prints once the installation is made: the lines of the entries
// that failed and of any failure of the run's session (its record), then
// one summary line that says success only when nothing failed; the exit
// status, 1 after any failure.
int reportDemo(const Demo &demo, qint64 elapsedMs, QTextStream &out);

} // namespace kirano::autopilot

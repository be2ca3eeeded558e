#pragma once
// A complete demo installation: a program folder with Kirano and its
// settings, the eight folders beside it, a patio list, files to post and
// send, and a patrol list that fetches everything, already run once.

#include "autopilot/patrolrun.h"
#include "autopilot/simservice.h"
#include "text/result.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace kirano::autopilot {

struct DemoOptions {
    // The Kirano program to copy into the program folder, and this program
    // to copy beside it (none when empty).
    QString kirano;
    QString companion;
    quint64 seed = 1;
    ServiceSize size = ServiceSize::Default;
    QDateTime now;
};

struct Demo {
    QString programFolder; // ends with '/'
    QString patrolList;    // the sample list, already run with every day
    RunReport report;
};

// The folder must be new or empty: a demo never overwrites anything. When
// making it fails, nothing of it is left and the error says why.
text::Result<Demo> makeDemo(const QString &folder, const DemoOptions &options);

} // namespace kirano::autopilot

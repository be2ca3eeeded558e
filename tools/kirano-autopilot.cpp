// kirano-autopilot: checks a patrol list, runs it against the simulated
// service, or makes a demo installation. Links the core only.

#include "autopilot/commandline.h"
#include "text/files.h"
#include "version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    kirano::text::reportSizeLimitsAsErrors();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const kirano::autopilot::ProgramPlace place{QCoreApplication::applicationDirPath() + u'/',
                                                QCoreApplication::applicationFilePath(),
                                                QStringLiteral(KIRANO_VERSION)};
    return kirano::autopilot::runCommandLine(QCoreApplication::arguments().mid(1), place, out, err);
}

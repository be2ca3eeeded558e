#include "autopilotharness.h"

namespace kirano::testing {

bool DemoHarness::make() {
    root = dir.path() + QStringLiteral("/demo");
    writeBytes(fakeKirano(), "#!/bin/sh\n");
    autopilot::DemoOptions options;
    options.kirano = fakeKirano();
    options.now = when();
    text::Result<autopilot::Demo> made = autopilot::makeDemo(root, options);
    if (!made) {
        qWarning("%s", qPrintable(made.error().text()));
        return false;
    }
    demo = std::move(*made);
    folders = readSettingsFolders(demo->programFolder + kSettingsFileName).value();
    return true;
}

QString DemoHarness::writeList(const QList<PatrolEntry> &entries, const QString &name) {
    const QString path = dir.path() + u'/' + (name.isEmpty() ? QStringLiteral("list.txt") : name);
    writeBytes(path, text::joinCrLf(patrolListLines(entries)));
    return path;
}

} // namespace kirano::testing

#pragma once
// A demo installation in a temporary folder, made as "kirano-autopilot demo"
// makes it, with a stand-in for the kirano program it copies.

#include "autopilot/demo.h"
#include "patrol/patrolfile.h"
#include "store/settingsfile.h"
#include "testfiles.h"
#include "text/lines.h"

#include <QTemporaryDir>
#include <QTest>

namespace kirano::testing {

struct DemoHarness {
    QTemporaryDir dir;
    QString root;
    std::optional<autopilot::Demo> demo;
    SettingsFolders folders;
    autopilot::SimService service; // the one the demo was made from

    // The date lines' time, so that they can be compared whole.
    static QDateTime when() { return QDateTime(QDate(1998, 12, 24), QTime(7, 5)); }
    static QByteArray whenLine() { return sjis(u"データ取得日 98/12/24 07:05"); }

    QString fakeKirano() const { return dir.path() + QStringLiteral("/kirano"); }

    // False, after saying why, when the demo could not be made.
    bool make();

    // A patrol list file of the entries, written as Kirano writes one.
    QString writeList(const QList<PatrolEntry> &entries, const QString &name = {});
};

} // namespace kirano::testing

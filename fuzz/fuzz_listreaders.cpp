// The patrol list as Kirano opens it and as the autopilot reads it: one
// reader under both, so the autopilot sees exactly the entries Kirano shows,
// and every entry the file holds whether or not Kirano would open it.
#include "fuzzsupport.h"
#include "patrol/commands.h"
#include "patrol/patrolfile.h"

#include <algorithm>

using namespace kirano;
using kirano::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);
    const QString path = fuzz::writeScratch("list.txt", content);
    const text::Result<PatrolListFile> parsed = parsePatrolList(content);
    check(parsed.has_value(), "any bytes read as a patrol list");

    QList<PatrolEntry> scanned;
    const text::Result<PatrolListShape> shape =
        scanRunnablePatrolList(path, [&scanned](const PatrolEntry &e) { scanned.append(e); });
    // The autopilot sees every entry of the file, in order, and the lines
    // left after them; it refuses only a file without a known entry.
    check(scanned == parsed->entries, "the autopilot reads the entries of the one reader");
    const bool anyKnown =
        std::any_of(parsed->entries.cbegin(), parsed->entries.cend(),
                    [](const PatrolEntry &e) { return commandOf(e.command).has_value(); });
    check(shape.has_value() == anyKnown, "refused exactly when no entry has a known keyword");
    if (shape) {
        check(shape->entries == parsed->entries.size() &&
                  shape->leftoverLines == parsed->leftoverLines,
              "the same entries and lines left over");
        const text::Result<PatrolListFile> kept = readRunnablePatrolList(path);
        check(kept && kept->entries == parsed->entries &&
                  kept->leftoverLines == parsed->leftoverLines,
              "kept whole, the same list");
    }
    // What Kirano opens, the autopilot runs, entry for entry.
    if (const std::optional<QList<PatrolEntry>> opened = openablePatrolList(content))
        check(*opened == scanned, "Kirano's entries are the autopilot's");
    return 0;
}

// The forum list: records in the case-insensitive order of name then code,
// equal keys in file order; written back they read the same.
#include "fuzzsupport.h"
#include "store/forumlist.h"
#include "text/lines.h"
#include "text/numbers.h"

#include <algorithm>

using namespace kirano;
using kirano::fuzz::check;

namespace {

bool sameRecords(const QList<ForumRecord> &a, const QList<ForumRecord> &b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const ForumRecord &x, const ForumRecord &y) {
                          return x.name == y.name && x.code == y.code;
                      });
}

// The order the list must have, worked out the plain way: folded copies
// compared as bytes, a stable sort.
QList<ForumRecord> expectedOrder(const QByteArray &content) {
    text::LineReader reader(content);
    QList<ForumRecord> records;
    while (!reader.atEnd()) {
        ForumRecord record;
        record.name = reader.readLine();
        record.code = reader.readLine();
        records.append(record);
    }
    std::stable_sort(
        records.begin(), records.end(), [](const ForumRecord &a, const ForumRecord &b) {
            const int byName = text::asciiUpper(a.name).compare(text::asciiUpper(b.name));
            return byName != 0 ? byName < 0 : text::asciiUpper(a.code) < text::asciiUpper(b.code);
        });
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);
    const QList<ForumRecord> records = readForumList(fuzz::writeScratch("forumlist.txt", content));
    check(sameRecords(records, expectedOrder(content)), "sorted as folded bytes, stable");

    QList<QByteArray> lines;
    for (const ForumRecord &record : records)
        lines << record.name << record.code;
    const QByteArray written = text::joinCrLf(lines);
    check(sameRecords(readForumList(fuzz::writeScratch("copy.txt", written)), records),
          "written records read back the same");
    return 0;
}

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

bool sameRecords(const ForumList &a, const QList<ForumRecord> &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.name(i) != b.at(i).name || a.code(i) != b.at(i).code)
            return false;
    }
    return true;
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
    const ForumList records = readForumList(fuzz::writeScratch("forumlist.txt", content));
    const QList<ForumRecord> expected = expectedOrder(content);
    check(sameRecords(records, expected), "sorted as folded bytes, stable");

    QList<QByteArray> lines;
    for (const ForumRecord &record : records)
        lines << record.name << record.code;
    const QByteArray written = text::joinCrLf(lines);
    check(sameRecords(readForumList(fuzz::writeScratch("copy.txt", written)), expected),
          "written records read back the same");
    return 0;
}

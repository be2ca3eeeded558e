#include "browser/forumlist.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <algorithm>
#include <new>

namespace kirano {

namespace {

QList<ForumRecord> parseForumList(const QByteArray &content);

} // namespace

QList<ForumRecord> readForumList(const QString &path) {
    std::optional<QByteArray> content = text::readFile(path);
    if (!content)
        return {};
    try {
        return parseForumList(*content);
    } catch (const std::bad_alloc &) {
        return {}; // more records than memory: a file that cannot be read
    }
}

namespace {

QList<ForumRecord> parseForumList(const QByteArray &content) {
    text::LineReader reader(content);
    QList<ForumRecord> inFileOrder;
    while (!reader.atEnd()) {
        ForumRecord record;
        record.name = reader.readLine();
        record.code = reader.readLine();
        inFileOrder.append(std::move(record));
    }
    // Sort positions by keys folded once, so that only numbers move.
    const qsizetype count = inFileOrder.size();
    std::vector<QByteArray> nameKeys(count);
    std::vector<QByteArray> codeKeys(count);
    std::vector<qsizetype> order(count);
    for (qsizetype i = 0; i < count; ++i) {
        nameKeys[i] = text::asciiUpper(inFileOrder[i].name);
        codeKeys[i] = text::asciiUpper(inFileOrder[i].code);
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int byName = nameKeys[a].compare(nameKeys[b]);
        return byName != 0 ? byName < 0 : codeKeys[a].compare(codeKeys[b]) < 0;
    });
    QList<ForumRecord> records;
    records.reserve(count);
    for (qsizetype i : order)
        records.append(std::move(inFileOrder[i]));
    return records;
}

} // namespace

} // namespace kirano

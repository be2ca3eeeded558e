#include "store/patiofile.h"
#include "text/lines.h"

#include <cerrno>
#include <new>

namespace kirano {

text::Result<QList<PatioRecord>> readPatioList(const QString &path) {
    text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return content.error();
    try {
        text::LineReader reader(*content);
        QList<PatioRecord> records;
        while (!reader.atEnd()) {
            PatioRecord record;
            record.name = reader.readLine();
            record.id = reader.readLine();
            record.password = reader.readLine();
            records.append(std::move(record));
        }
        return records;
    } catch (const std::bad_alloc &) {
        // More records than memory: a file that cannot be read.
        return text::IoError(ENOMEM);
    }
}

text::Result<> writePatioList(const QString &path, const QList<PatioRecord> &records) {
    QList<QByteArray> lines;
    lines.reserve(records.size() * 3);
    for (const PatioRecord &record : records)
        lines << record.name << record.id << record.password;
    return text::writeLines(path, lines, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace kirano

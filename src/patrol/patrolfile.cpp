#include "patrol/patrolfile.h"
#include "patrol/commands.h"
#include "patrol/displayrow.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

namespace kirano {

QList<QByteArray> patrolListLines(const QList<PatrolEntry> &entries) {
    QList<QByteArray> lines;
    lines.reserve(entries.size() * PatrolEntry::kFieldCount);
    for (const PatrolEntry &entry : entries) {
        for (int field = 0; field < PatrolEntry::kFieldCount; ++field)
            lines.append(entry.field(field));
    }
    return lines;
}

text::Result<> writePatrolList(const QString &path, const QList<PatrolEntry> &entries) {
    return text::writeLines(path, patrolListLines(entries));
}

namespace {

// The one reader: every complete group of six lines goes to `take` as an
// entry, while `take` says go on; what it does with each entry is the
// reading's policy (keep every one, keep them while each has its display
// row, refuse the text at the first bad one). `take` may move the entry's
// fields away; those it leaves keep their buffers, filled again for the next
// entry, so a reading that only looks allocates nothing per line. The lines
// after the last entry, or nothing when `take` stopped it.
template <typename Take> std::optional<int> readEntries(const QByteArray &content, Take take) {
    text::LineCursor cursor(content);
    PatrolEntry entry;
    int field = 0;
    QByteArrayView line;
    while (cursor.next(line)) {
        QByteArray &bytes = entry.field(field);
        if (bytes.isDetached() && bytes.capacity() >= line.size()) {
            bytes.resize(line.size());
            if (!line.isEmpty())
                std::memcpy(bytes.data(), line.data(), size_t(line.size()));
        } else {
            bytes = line.toByteArray(); // a field taken away: a buffer of its own size
        }
        if (++field < PatrolEntry::kFieldCount)
            continue;
        if (!take(entry))
            return std::nullopt;
        field = 0;
    }
    return field; // a short group at the end is no entry
}

} // namespace

text::Result<PatrolListFile> parsePatrolList(const QByteArray &content) {
    try {
        PatrolListFile file;
        file.leftoverLines = *readEntries(content, [&file](PatrolEntry &entry) {
            file.entries.append(std::move(entry));
            return true;
        });
        return file;
    } catch (const std::bad_alloc &) {
        return text::IoError(ENOMEM); // more entries than memory: not a list to open
    }
}

std::optional<QList<PatrolEntry>> openablePatrolList(const QByteArray &content) {
    try {
        // Each entry is checked as it is read, so a bad one stops the reading.
        QList<PatrolEntry> entries;
        const bool whole = readEntries(content, [&entries](PatrolEntry &entry) {
                               if (!hasDisplayRow(entry))
                                   return false;
                               entries.append(std::move(entry));
                               return true;
                           }).has_value();
        return whole ? std::optional<QList<PatrolEntry>>(std::move(entries)) : std::nullopt;
    } catch (const std::bad_alloc &) {
        return std::nullopt; // more entries than memory: not a list to open
    }
}

namespace {

text::IoError cannotPaste(const QString &why) {
    return text::IoError(QStringLiteral(u"貼り付けられません: ") + why);
}

} // namespace

text::Result<QList<PatrolEntry>> pastedPatrolEntries(const QByteArray &bytes) {
    if (bytes.contains('\0'))
        return cannotPaste(QStringLiteral(u"NUL の文字が含まれています"));
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n'))
        --end;
    try {
        QList<PatrolEntry> entries;
        std::optional<text::IoError> refused;
        const std::optional<int> leftover =
            readEntries(bytes.first(end), [&entries, &refused](PatrolEntry &entry) {
                const QString position = QString::number(entries.size() + 1);
                if (!commandOf(entry.command))
                    refused = cannotPaste(QStringLiteral(u"%1 番目の項目の命令「%2」を知りません")
                                              .arg(position, text::shownText(entry.command, 40)));
                else if (!hasDisplayRow(entry))
                    refused = cannotPaste(
                        QStringLiteral(u"%1 番目の項目の番号が正しくありません").arg(position));
                if (refused)
                    return false;
                entries.append(std::move(entry));
                return true;
            });
        if (refused)
            return *refused;
        if (!leftover || *leftover != 0 || entries.isEmpty())
            return cannotPaste(
                QStringLiteral(u"巡回リストの項目ではありません (1 項目は 6 行です)"));
        return entries;
    } catch (const std::bad_alloc &) {
        return text::IoError(ENOMEM); // more entries than memory
    }
}

text::Result<QList<PatrolEntry>> pastedPatrolEntries(const QString &text) {
    // Another program's text must come back as the same text from its bytes:
    // a character the code page lacks, or a look-alike that would be stored
    // as another character, is no part of a patrol list.
    std::optional<QByteArray> bytes = text::encode(text);
    if (!bytes || text::decode(*bytes) != text)
        return cannotPaste(QStringLiteral(u"Shift_JIS で書けない文字が含まれています"));
    return pastedPatrolEntries(*bytes);
}

text::Result<PatrolListShape>
scanRunnablePatrolList(const QString &path, const std::function<void(const PatrolEntry &)> &take) {
    const text::Result<QByteArray> content = text::readFile(path);
    if (!content) {
        const text::IoError &why = content.error();
        return text::IoError(
            why.code() == ENOENT
                ? QStringLiteral(u"巡回リスト %1 がありません").arg(path)
                : QStringLiteral(u"巡回リスト %1 を読めません (%2)").arg(path, why.text()),
            why.code());
    }
    PatrolListShape shape;
    bool anyKnown = false;
    try {
        // Every entry is handed on, whatever it holds: a bad one is the
        // check's to report.
        shape.leftoverLines = *readEntries(*content, [&](const PatrolEntry &entry) {
            anyKnown = anyKnown || commandOf(entry.command).has_value();
            take(entry);
            ++shape.entries;
            return true;
        });
    } catch (const std::bad_alloc &) {
        // more entries than memory: not a list to read
        return text::IoError(QStringLiteral(u"巡回リスト %1 を読めません (%2)")
                                 .arg(path, text::IoError(ENOMEM).text()),
                             ENOMEM);
    }
    if (shape.entries == 0)
        return text::IoError(
            QStringLiteral(u"%1 は巡回リストではありません (命令が一つもありません)").arg(path));
    if (!anyKnown)
        return text::IoError(
            QStringLiteral(u"%1 は巡回リストではありません (知っている命令が一つもありません)")
                .arg(path));
    return shape;
}

text::Result<PatrolListFile> readRunnablePatrolList(const QString &path) {
    PatrolListFile file;
    const text::Result<PatrolListShape> shape = scanRunnablePatrolList(
        path, [&file](const PatrolEntry &entry) { file.entries.append(entry); });
    if (!shape)
        return shape.error();
    file.leftoverLines = shape->leftoverLines;
    return file;
}

} // namespace kirano

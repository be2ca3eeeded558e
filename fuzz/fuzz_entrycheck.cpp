// The checks of entries that the marks keep for a whole session against the
// same checks made afresh: files made, changed and removed between inputs,
// then looked at again, never leave the long-lived checker with a stale
// answer.
#include "fuzzsupport.h"
#include "patrol/patrolfile.h"
#include "rules/entrycheck.h"
#include "text/files.h"

#include <memory>

using namespace kirano;
using kirano::fuzz::check;

namespace {

// The data the entries are checked against, all in the scratch folder: the
// forum list, a forum's room and library lists and a library's file list,
// the patio list, the notice selection, and a file to send. Each part of the
// input (between 0xFF 0xFE) is one file's content; a part of one byte 0x00
// removes the file.
const char *const kFiles[] = {"forumlist.txt", "F/mes.txt",    "F/dl.txt", "F/dl1.txt",
                              "patiolist.txt", "Newtitle.txt", "up/a.txt", "F/top.txt"};

QString root() {
    return QFileInfo(fuzz::scratchPath("x")).path() + u'/';
}

void makeFiles(const QList<QByteArrayView> &parts) {
    for (qsizetype i = 0; i < parts.size() && i < qsizetype(std::size(kFiles)); ++i) {
        const QString path = root() + QString::fromLatin1(kFiles[i]);
        QDir().mkpath(QFileInfo(path).path());
        if (parts[i] == QByteArrayView("\0", 1))
            text::removeFile(path);
        else
            text::writeFile(path, parts[i].toByteArray()); // a new file: the change shows
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);
    const qsizetype split = content.indexOf("\xff\xfe\xff");
    const QByteArray files = split < 0 ? QByteArray() : content.first(split);
    const QByteArray list = split < 0 ? content : content.mid(split + 3);
    QList<QByteArrayView> parts;
    for (qsizetype at = 0; at < files.size();) {
        qsizetype end = files.indexOf("\xff\xfe", at);
        if (end < 0)
            end = files.size();
        parts.append(QByteArrayView(files).sliced(at, end - at));
        at = end + 2;
    }
    const SettingsFolders folders = SettingsFolders::allSetTo(QFile::encodeName(root()));
    static std::unique_ptr<rules::EntryChecker> kept;
    if (!kept)
        kept = std::make_unique<rules::EntryChecker>(folders);
    makeFiles(parts);
    kept->refresh();
    rules::EntryChecker fresh(folders);
    const text::Result<PatrolListFile> read = parsePatrolList(list);
    for (const PatrolEntry &entry : read->entries.mid(0, 64))
        check(kept->problems(entry) == fresh.problems(entry),
              "the long-lived checker agrees with a fresh one");
    check(kept->unreadableFiles() == fresh.unreadableFiles(), "the same files unread");
    return 0;
}

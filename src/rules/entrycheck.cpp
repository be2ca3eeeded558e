#include "rules/entrycheck.h"
#include "rules/listrules.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/forumlist.h"
#include "store/patiofile.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>
#include <cerrno>
#include <optional>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace kirano::autopilot {

namespace {

// What tells one state of a path from the next: a file replaced whole (a
// new inode), rewritten (size, time) or chmod-ed (change time, mode).
struct Fingerprint {
    bool exists = false;
    bool isDir = false;
    bool regular = false; // a regular file, links followed
    quint64 mode = 0, device = 0, inode = 0;
    qint64 size = 0, modified = 0, changed = 0;

    bool operator==(const Fingerprint &o) const {
        return exists == o.exists && isDir == o.isDir && regular == o.regular && mode == o.mode &&
               device == o.device && inode == o.inode && size == o.size && modified == o.modified &&
               changed == o.changed;
    }
    bool operator!=(const Fingerprint &o) const { return !(*this == o); }
};

// `local` is the native path as the file system takes it.
Fingerprint fingerprintOf(const QString &native, const QByteArray &local) {
    Fingerprint f;
#ifdef Q_OS_LINUX
    Q_UNUSED(native);
    struct stat st;
    if (::stat(local.constData(), &st) != 0)
        return f;
    f.exists = true;
    f.isDir = S_ISDIR(st.st_mode);
    f.regular = S_ISREG(st.st_mode);
    f.mode = st.st_mode;
    f.device = st.st_dev;
    f.inode = st.st_ino;
    f.size = st.st_size;
    f.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    f.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
#else
    Q_UNUSED(local);
    const QFileInfo info(native);
    if (!info.exists())
        return f;
    f.exists = true;
    f.isDir = info.isDir();
    f.regular = info.isFile();
    f.mode = uint(info.permissions());
    f.size = info.size();
    f.modified = info.lastModified().toMSecsSinceEpoch();
    f.changed = info.metadataChangeTime().toMSecsSinceEpoch();
#endif
    return f;
}

// A folder on the way to the paths consulted: a list names thousands of
// files in a handful of folders, and a file in a folder that is not there is
// not there either, without asking the file system. Folders form a tree from
// the root, so that a change of one names what lies below it.
struct Node {
    QString path;     // absolute and clean
    QByteArray local; // the path as the file system takes it
    int parent = -1;
    QList<int> children;
    QList<int> files; // the ids of the paths that lie in it
    Fingerprint print;
    bool there = false; // a folder is there
    // Watching: handed out and not lost since; waiting to be handed out;
    // refused for want of watches; its files' rewriting asked for.
    bool watched = false;
    bool offered = false;
    bool refused = false;
    bool watchesFiles = false;
    bool noted = false; // waiting to be looked at again
};

// What tells one folder from another in the same place: a folder replaced
// (a new inode) or chmod-ed changes what lies in it, its times do not.
bool sameFolder(const Fingerprint &a, const Fingerprint &b) {
    return a.exists == b.exists && a.isDir == b.isDir && a.mode == b.mode && a.device == b.device &&
           a.inode == b.inode;
}

// The path of a folder's entry `name`.
QString childPath(const QString &folder, const QString &name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

// A path as the checks saw it.
struct Known {
    QByteArray bytes;   // as entries name it; empty for a log's folder
    QString native;     // made when first needed
    QByteArray local;   // the native path as the file system takes it, likewise
    int folder = -1;    // the folder it lies in
    bool named = false; // found by its name in its folder, once that was there
    int sameName = -1;  // the next path of the same folder and name
    bool noted = false; // waiting to be looked at again
    Fingerprint print;
    bool writable = false; // of a folder
    // A captured list's numbers, read once per change of the file.
    bool loaded = false;
    int width = 0;
    std::optional<QSet<qint32>> numbers;

    // Why a file to send cannot be sent (0: it can), found when first asked.
    int sendCode = -1;

    bool isRegular() const { return print.exists && print.regular; }
    // Something is there that no write may replace.
    bool isUnwritable() const { return print.exists && !print.regular; }
    bool isWritableFolder() const { return print.isDir && writable; }
};

} // namespace
} // namespace kirano::autopilot

// Lists of them grow by moving bytes, not elements.
Q_DECLARE_TYPEINFO(kirano::autopilot::Node, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(kirano::autopilot::Known, Q_RELOCATABLE_TYPE);

namespace kirano::autopilot {
namespace {

// The problems of one entry and the paths they rest on, as they are found.
struct Collected {
    Findings found;

    void problem(Problem p) { found.problems |= p; }
    void consult(int id) {
        Q_ASSERT(found.consultedCount < Findings::kMaxConsulted);
        if (id >= 0 && found.consultedCount < Findings::kMaxConsulted)
            found.consulted[found.consultedCount++] = id;
    }
};

// The folder a log lands in, as its path names it.
QString logFolderOf(const QByteArray &logPath) {
    return QFileInfo(text::nativePath(logPath)).path();
}

} // namespace

struct EntryChecker::State {
    explicit State(const SettingsFolders &f) : folders(f), data(f.dataFolder()) {}

    const SettingsFolders folders;
    const DataFolder data;

    QList<Node> nodes;
    QHash<QString, int> nodeIds; // by the absolute path
    // By folder and the name in it as the file system has it (what a change
    // in the folder names): the first path of that name, ids one up.
    QHash<std::pair<int, QByteArray>, int> filesByName;
    QHash<QByteArray, int> folderOfBytes; // by the bytes before a plain name
    QByteArray lastFolderBytes;           // the folder of the path before, most often
    int lastFolder = -1;

    QList<Known> known;
    QHash<QByteArray, int> files;      // by the path's bytes, ids one up
    QHash<QByteArray, int> logFolders; // by the bytes before the log's name
    QByteArray lastLogBytes;
    int lastLog = -1;

    int forumListId = -1;
    int patioListId = -1;
    int feesId = -1;
    int noticesId = -1;
    // The files too large to read, by id, and what names them.
    QMap<int, QString> unreadable;
    std::optional<QSet<QByteArray>> forums;
    bool forumsKnown = true; // false while the forum list is too large to read
    bool patiosKnown = true;
    int forumListReadings = 0;
    // What each forum named was found to be: whether the forum list as last
    // read holds it, and its lists' ids.
    struct Forum {
        int judgedAt = -1; // forumListReadings when judged
        bool listed = false;
        int rooms = -1, libraries = -1, topPage = -1;
        QHash<qint32, int> libraryFiles;
    };
    QHash<QByteArray, Forum> forumInfo;
    // A list names one forum row after row: the last one found, until the
    // next forum is added (which may move them all).
    QByteArray lastForumCode;
    Forum *lastForum = nullptr;
    std::optional<QHash<QByteArray, QByteArray>> patioPasswords;

    QHash<QString, qsizetype> nameMaxes;
    // Each download name's verdict and the folder it lands in.
    struct Name {
        std::optional<QString> problem;
        int folder = -1;
        int file = -1; // where it is stored, once its folder can be written
    };
    QHash<QByteArray, Name> names;
    // A list holds a handful of days texts, most often the same one row
    // after row.
    QByteArray lastDays;
    bool lastDaysBad = false;
    bool daysSeen = false;

    const NameMax nameMax = [this](const QString &folder) {
        auto found = nameMaxes.constFind(folder);
        if (found == nameMaxes.constEnd())
            found = nameMaxes.insert(folder, nameMaxIn(folder));
        return *found;
    };
    const NameRule nameRule = [this](const QByteArray &name) { return nameOf(name).problem; };

    // Looking again, a part at a time: folders first, parents before their
    // folders, then files. Where each queue goes on.
    std::vector<int> nodeQueue, fileQueue;
    size_t nodeNext = 0, fileNext = 0;
    // Folders to hand out for watching, parents first.
    std::vector<int> watchQueue;
    size_t watchNext = 0;
    QList<int> refusedNodes;

    const QString &native(Known &path) {
        if (path.native.isNull())
            path.native = text::nativePath(path.bytes);
        return path.native;
    }

    void look(Known &path, int id) {
        if (!nodes.at(path.folder).there) {
            path.print = Fingerprint();
        } else {
            if (path.local.isNull())
                path.local = QFile::encodeName(native(path));
            path.print = fingerprintOf(native(path), path.local);
            if (!path.named) {
                // Named in its folder once the folder is there: only then
                // can a change in it concern the path.
                path.named = true;
                const QByteArray name = path.local.mid(path.local.lastIndexOf('/') + 1);
                int &first = filesByName[{path.folder, name}];
                path.sameName = first - 1;
                first = id + 1;
            }
        }
        path.writable = path.print.isDir && QFileInfo(native(path)).isWritable();
    }

    // A folder seen for the first time, or again: whether it is there. When
    // it changed, what lies in it is looked at again.
    void lookNode(int id) {
        Node &node = nodes[id];
        const bool parentThere = node.parent < 0 || nodes.at(node.parent).there;
        const Fingerprint before = node.print;
        node.print = parentThere ? fingerprintOf(node.path, node.local) : Fingerprint();
        node.there = node.print.exists && node.print.isDir;
        if (!sameFolder(before, node.print)) {
            // Another folder, or none: a watch of the old one says nothing.
            node.watched = false;
            for (int child : std::as_const(node.children))
                noteNode(child);
            for (int file : std::as_const(node.files))
                noteFile(file);
        }
        offerForWatching(id);
    }

    void offerForWatching(int id) {
        Node &node = nodes[id];
        if (node.there && !node.watched && !node.offered && !node.refused) {
            node.offered = true;
            watchQueue.push_back(id);
        }
    }

    void noteNode(int id) {
        if (!nodes[id].noted) {
            nodes[id].noted = true;
            nodeQueue.push_back(id);
        }
    }

    void noteFile(int id) {
        if (!known[id].noted) {
            known[id].noted = true;
            fileQueue.push_back(id);
        }
    }

    // Everything directly in the folder.
    void noteContents(int id) {
        noteNode(id);
        for (int child : std::as_const(nodes[id].children))
            noteNode(child);
        for (int file : std::as_const(nodes[id].files))
            noteFile(file);
    }

    // Looks at a path again; when it changed, forgets what was read of it.
    bool lookAgain(int id) {
        Known &path = known[id];
        const Fingerprint before = path.print;
        const bool writable = path.writable;
        look(path, id);
        if (path.print == before && path.writable == writable)
            return false;
        path.loaded = false;
        path.numbers.reset();
        path.sendCode = -1;
        unreadable.remove(id);
        if (id == forumListId) {
            forums.reset();
            ++forumListReadings;
        }
        if (id == patioListId)
            patioPasswords.reset();
        return true;
    }

    // After a change: a folder may now lie on another file system.
    void forgetNameLengths() {
        nameMaxes.clear();
        names.clear();
    }

    // The folder of an absolute, clean path, made with the folders above it
    // when new.
    int folderAt(const QString &absolute) {
        auto found = nodeIds.constFind(absolute);
        if (found != nodeIds.constEnd())
            return *found;
        const QString up = QFileInfo(absolute).path();
        const int parent = up == absolute ? -1 : folderAt(up);
        Node node;
        node.path = absolute;
        node.local = QFile::encodeName(absolute);
        node.parent = parent;
        nodes.append(std::move(node));
        const int id = int(nodes.size() - 1);
        if (parent >= 0)
            nodes[parent].children.append(id);
        nodeIds.insert(absolute, id);
        lookNode(id);
        return id;
    }

    // A path's folder comes to hold it: watching the folder now tells of the
    // path's rewriting too.
    void addToFolder(int folder, int id) {
        Node &node = nodes[folder];
        node.files.append(id);
        if (!node.watchesFiles) {
            node.watchesFiles = true;
            node.watched = false;
            offerForWatching(folder);
        }
    }

    // The folder a file's path names, found by the bytes before its name
    // when that name is a plain one ("." and ".." move the folder).
    int folderOfFile(const QByteArray &bytes) {
        const qsizetype slash = bytes.lastIndexOf('/');
        const QByteArrayView name = QByteArrayView(bytes).sliced(slash + 1);
        bool plain = !name.isEmpty() && name != "." && name != "..";
#ifdef Q_OS_WIN
        plain = plain && !name.contains('\\') && !name.contains(':');
#endif
        if (!plain)
            return folderAt(QFileInfo(text::nativePath(bytes)).absolutePath());
        const QByteArrayView before = QByteArrayView(bytes).first(slash + 1);
        if (lastFolder >= 0 && before == lastFolderBytes)
            return lastFolder;
        lastFolderBytes = before.toByteArray();
        auto found = folderOfBytes.constFind(lastFolderBytes);
        if (found == folderOfBytes.constEnd())
            found = folderOfBytes.insert(
                lastFolderBytes, folderAt(QFileInfo(text::nativePath(bytes)).absolutePath()));
        lastFolder = *found;
        return lastFolder;
    }

    int add(Known path) {
        const int id = int(known.size());
        const int folder = path.folder;
        look(path, id);
        known.append(std::move(path));
        addToFolder(folder, id);
        return id;
    }

    int file(const QByteArray &bytes) {
        int &slot = files[bytes]; // 0 for a path not seen before
        if (slot == 0) {
            Known path;
            path.bytes = bytes;
            path.folder = folderOfFile(bytes);
            slot = add(std::move(path)) + 1;
        }
        return slot - 1;
    }

    // The folder a log lands in; every log named with the same bytes before
    // its name shares it.
    int logFolder(const QByteArray &logPath) {
        // An empty path names no folder at all, not the working folder that
        // a plain name lies in: it gets a key no path's bytes can make.
        const QByteArrayView before =
            logPath.isEmpty() ? QByteArrayView("\0", 1)
                              : QByteArrayView(logPath.constData(), text::fileNameStart(logPath));
        if (lastLog >= 0 && before == lastLogBytes)
            return lastLog;
        lastLogBytes = before.toByteArray();
        auto found = logFolders.constFind(lastLogBytes);
        if (found == logFolders.constEnd()) {
            Known path;
            path.native = logFolderOf(logPath);
            path.folder = folderAt(QFileInfo(path.native).absolutePath());
            found = logFolders.insert(lastLogBytes, add(std::move(path)));
        }
        lastLog = *found;
        return lastLog;
    }

    Name &nameOf(const QByteArray &name) {
        auto found = names.find(name);
        if (found == names.end()) {
            Name verdict;
            verdict.problem = downloadNameProblem(folders, name, nameMax);
            verdict.folder = file(downloadFolder(folders, name));
            found = names.insert(name, verdict);
        }
        return *found;
    }

    // A list that cannot be read for its size: named once, and nothing to
    // go by. Any other failure reads as an empty list.
    bool tooLarge(int id, const text::IoError &error) {
        if (error.code() != EFBIG)
            return false;
        unreadable.insert(id, text::cannotReadText(native(known[id]), error));
        return true;
    }

    const QSet<QByteArray> &forumCodes() {
        if (!forums) {
            // Only the codes are kept: a million names are never copied.
            forums.emplace();
            const text::Result<ForumList> list = tryReadForumList(native(known[forumListId]));
            forumsKnown = list || !tooLarge(forumListId, list.error());
            if (list) {
                forums->reserve(list->size());
                for (qsizetype i = 0; i < list->size(); ++i)
                    forums->insert(list->code(i).toByteArray());
            }
        }
        return *forums;
    }

    const QHash<QByteArray, QByteArray> &patios() {
        if (!patioPasswords) {
            patioPasswords.emplace();
            const text::Result<QList<PatioRecord>> read = readPatioList(native(known[patioListId]));
            patiosKnown = read || !tooLarge(patioListId, read.error());
            if (read) {
                for (const PatioRecord &patio : *read)
                    patioPasswords->insert(patio.id, patio.password);
            }
        }
        return *patioPasswords;
    }

    // Why the file to send cannot be sent, 0 when it can: it is opened and
    // its first byte read, as sending would, once per change of it.
    int sendCode(int id) {
        Known &path = known[id];
        if (path.sendCode < 0) {
            if (!path.print.exists)
                path.sendCode = ENOENT;
            else if (!path.print.regular)
                path.sendCode = path.print.isDir ? EISDIR : ENODEV;
            else if (const text::Result<qint64> size = text::readableFileSize(native(path)); !size)
                path.sendCode = size.error().code();
            else
                path.sendCode = 0;
        }
        return path.sendCode;
    }

    // A file the entry writes; consulted.
    void writes(int id, Collected &c) {
        c.consult(id);
        if (known.at(id).isUnwritable())
            c.problem(UnwritableFile);
    }

    // True when the list is missing (nothing to go by) or holds the number:
    // the leading number of each row's first `width` bytes, or of the whole
    // row. The list is consulted.
    bool listed(int id, int width, qint32 number, Collected &c) {
        c.consult(id);
        Known &list = known[id];
        if (!list.loaded || list.width != width) {
            list.loaded = true;
            list.width = width;
            list.numbers.reset();
            if (list.isRegular()) {
                const text::Result<CapturedRows> read = readCapturedRows(native(list));
                if (read || !tooLarge(id, read.error())) {
                    list.numbers.emplace();
                    for (const QByteArray &row : read ? read->rows : QList<QByteArray>())
                        list.numbers->insert(
                            text::leadingNumber(width > 0 ? text::bytesAt(row, 1, width) : row));
                }
            }
        }
        return !list.numbers || list.numbers->contains(number);
    }

    // The forum's files the entry writes, as filesWritten() names them.
    template <typename Number>
    void forumWrites(Command command, const PatrolEntry &e, Forum &forum, const Number &number,
                     Collected &c) {
        if (forum.topPage < 0)
            forum.topPage = file(data.topPage(e.param1));
        writes(forum.topPage, c);
        if (command == Command::Mestitlea) {
            if (forum.rooms < 0)
                forum.rooms = file(data.rooms(e.param1));
            writes(forum.rooms, c);
        } else if (command == Command::Dltitlea) {
            if (forum.libraries < 0)
                forum.libraries = file(data.libraries(e.param1));
            writes(forum.libraries, c);
        } else if (command == Command::Dltitleb) {
            writes(libraryFiles(forum, e.param1, number()), c);
        }
    }

    int libraryFiles(Forum &forum, const QByteArray &code, qint32 number) {
        int list = forum.libraryFiles.value(number, -1);
        if (list < 0) {
            list = file(data.libraryFiles(code, number));
            forum.libraryFiles.insert(number, list);
        }
        return list;
    }

    void forumProblems(Command command, const PatrolEntry &e, Collected &c) {
        c.consult(forumListId);
        if (!lastForum || e.param1 != lastForumCode) {
            lastForum = &forumInfo[e.param1];
            lastForumCode = e.param1;
        }
        Forum &forum = *lastForum;
        // Read once, and only when needed: most entries of a forum not
        // listed never need it.
        std::optional<qint32> read;
        const auto numberOf = [&read, &e] {
            if (!read)
                read = roomOrLibraryNumber(e);
            return *read;
        };
        forumWrites(command, e, forum, numberOf, c);
        if (forum.judgedAt != forumListReadings) {
            forum.judgedAt = forumListReadings;
            forum.listed = forumCodes().contains(e.param1) || !forumsKnown;
        }
        if (!forum.listed)
            return c.problem(UnlistedForum);
        const qint32 number = numberOf();
        if (paramWith(command, Param::RoomNumber)) {
            if (forum.rooms < 0)
                forum.rooms = file(data.rooms(e.param1));
            if (!listed(forum.rooms, 2, number, c))
                return c.problem(UnlistedRoom);
        }
        if (paramWith(command, Param::LibraryNumber)) {
            if (forum.libraries < 0)
                forum.libraries = file(data.libraries(e.param1));
            if (!listed(forum.libraries, 4, number, c))
                return c.problem(UnlistedLibrary);
        }
        if (const int download = paramWith(command, Param::DownloadNumber)) {
            const int list = libraryFiles(forum, e.param1, number);
            if (!listed(list, 0, text::strictInteger(e.field(download)).value_or(0), c))
                c.problem(UnlistedDownload);
        }
    }

    void patioProblems(const PatrolEntry &e, Collected &c) {
        c.consult(patioListId);
        const QHash<QByteArray, QByteArray> &known = patios();
        if (!patiosKnown)
            return;
        const auto found = known.constFind(e.param1);
        if (found == known.constEnd())
            c.problem(UnlistedPatio);
        else if (*found != e.param2)
            c.problem(WrongPatioPassword);
    }

    bool badDays(const QByteArray &days) {
        if (!daysSeen || days != lastDays) {
            daysSeen = true;
            lastDays = days;
            lastDaysBad = daysProblem(days).has_value();
        }
        return lastDaysBad;
    }
};

EntryChecker::EntryChecker(const SettingsFolders &folders) : d(new State(folders)) {
    d->forumListId = d->file(d->data.forumList());
    d->patioListId = d->file(d->data.patioList());
    d->feesId = d->file(d->data.fees());
    d->noticesId = d->file(d->data.notices());
}

EntryChecker::~EntryChecker() = default;

Findings EntryChecker::check(const PatrolEntry &e) {
    Collected c;
    const std::optional<Command> command = commandOf(e.command);
    // The download name's rule asks its folder's file system: each name is
    // judged once.
    const int name = command ? paramWith(*command, Param::DownloadName) : 0;
    State::Name *verdict = name ? &d->nameOf(e.field(name)) : nullptr;
    if (verdict)
        c.consult(verdict->folder);
    const NameRule judged = [verdict](const QByteArray &) { return verdict->problem; };
    if (!command || !fieldProblems(e, *command, d->folders, judged).isEmpty()) {
        c.problem(FieldProblems);
    } else {
        const CommandInfo &info = commandInfo(*command);
        if (info.target == Target::Forum)
            d->forumProblems(*command, e, c);
        if (info.target == Target::Patio)
            d->patioProblems(e, c);
        if (const int send = paramWith(*command, Param::SendFile)) {
            const int id = d->file(e.field(send));
            c.consult(id);
            if (d->sendCode(id) != 0)
                c.problem(MissingSendFile);
        }
        // A log or a download is looked at once its folder can be written:
        // until then the folder is the entry's problem.
        if (const int log = paramWith(*command, Param::LogFile)) {
            const int id = d->logFolder(e.field(log));
            c.consult(id);
            if (!d->known.at(id).isWritableFolder())
                c.problem(UnwritableLogFolder);
            else
                d->writes(d->file(e.field(log)), c);
        }
        if (verdict && !d->known.at(verdict->folder).isWritableFolder()) {
            c.problem(UnwritableDownloadFolder);
        } else if (verdict) {
            if (verdict->file < 0)
                verdict->file = d->file(downloadFolder(d->folders, e.field(name)) + e.field(name));
            d->writes(verdict->file, c);
        }
        if (*command == Command::Bill)
            d->writes(d->feesId, c);
        if (*command == Command::Myforum)
            d->writes(d->forumListId, c);
        if (*command == Command::Newtitle)
            d->writes(d->noticesId, c);
        if (*command == Command::New) {
            const int id = d->file(d->data.noticeSelection());
            c.consult(id);
            if (!d->known.at(id).isRegular())
                c.problem(NoNoticeSelection);
        }
    }
    if (d->badDays(e.days))
        c.problem(BadDays);
    return c.found;
}

QStringList EntryChecker::words(const PatrolEntry &e, quint32 problems) {
    if (problems == 0)
        return {};
    QStringList lines;
    if (problems & FieldProblems)
        lines << fieldProblems(e, d->folders, d->nameRule);
    const std::optional<Command> command = commandOf(e.command);
    const auto field = [&](Param param) {
        return command ? e.field(paramWith(*command, param)) : QByteArray();
    };
    const qint32 number = roomOrLibraryNumber(e);
    if (problems & UnlistedForum)
        lines << QStringLiteral(u"フォーラム「%1」が %2 にありません")
                     .arg(text::decode(e.param1), shownName(d->data.forumList()));
    if (problems & UnlistedRoom)
        lines << QStringLiteral(u"%1番会議室が %2 の会議室リストにありません")
                     .arg(number)
                     .arg(text::decode(e.param1));
    if (problems & UnlistedLibrary)
        lines << QStringLiteral(u"%1番ライブラリィが %2 のライブラリィリストにありません")
                     .arg(number)
                     .arg(text::decode(e.param1));
    if (problems & UnlistedDownload)
        lines << QStringLiteral(u"ダウンロード番号 %1 が %2 にありません")
                     .arg(text::strictInteger(field(Param::DownloadNumber)).value_or(0))
                     .arg(shownName(d->data.libraryFiles(e.param1, number)));
    if (problems & UnlistedPatio)
        lines << QStringLiteral(u"パティオＩＤ「%1」が %2 にありません")
                     .arg(text::decode(e.param1), shownName(d->data.patioList()));
    if (problems & WrongPatioPassword)
        lines << QStringLiteral(u"パティオＩＤ「%1」のパスワードが %2 と違います")
                     .arg(text::decode(e.param1), shownName(d->data.patioList()));
    if (problems & MissingSendFile) {
        const QByteArray &file = field(Param::SendFile);
        const int id = d->files.value(file) - 1;
        lines << sendFileProblem(file, id >= 0 ? d->sendCode(id) : ENOENT);
    }
    const QString unwritable = QStringLiteral(u"%1のフォルダ「%2」に書き込めません");
    if (problems & UnwritableLogFolder)
        lines << unwritable.arg(QStringLiteral(u"ログ"), logFolderOf(field(Param::LogFile)));
    if (problems & UnwritableDownloadFolder)
        lines << unwritable.arg(
            QStringLiteral(u"ダウンロード"),
            text::nativePath(downloadFolder(d->folders, field(Param::DownloadName))));
    if ((problems & UnwritableFile) && command) {
        for (const WrittenFile &file : filesWritten(e, *command, d->folders)) {
            const int id = d->files.value(file.path) - 1;
            if (id >= 0 && d->known.at(id).isUnwritable())
                lines << cannotWrite(text::nativePath(file.path), text::notRegularFile()).text();
        }
    }
    if (problems & NoNoticeSelection)
        lines << noNoticeSelection(d->folders);
    if (problems & BadDays)
        lines << daysProblem(e.days).value_or(QString());
    return lines;
}

QStringList EntryChecker::problems(const PatrolEntry &e, QList<int> *consulted) {
    const Findings found = check(e);
    if (consulted) {
        for (int i = 0; i < found.consultedCount; ++i)
            consulted->append(found.consulted[i]);
    }
    return words(e, found.problems);
}

QStringList EntryChecker::unreadableFiles() const {
    return d->unreadable.values();
}

QList<EntryChecker::WatchRequest> EntryChecker::foldersToWatch(qsizetype most) {
    QList<WatchRequest> requests;
    while (requests.size() < most && d->watchNext < d->watchQueue.size()) {
        Node &node = d->nodes[d->watchQueue[d->watchNext++]];
        node.offered = false;
        if (!node.there || node.watched || node.refused)
            continue;
        node.watched = true;
        requests.append({node.path, node.watchesFiles});
    }
    if (d->watchNext == d->watchQueue.size()) {
        d->watchQueue.clear();
        d->watchNext = 0;
    }
    return requests;
}

void EntryChecker::unwatched(const QString &folder, bool refused) {
    const auto found = d->nodeIds.constFind(folder);
    if (found == d->nodeIds.constEnd())
        return;
    Node &node = d->nodes[*found];
    node.watched = false;
    if (refused && !node.refused) {
        node.refused = true;
        d->refusedNodes.append(*found);
    }
    if (!refused)
        d->noteNode(*found);
}

bool EntryChecker::noteChange(const QString &folder, const QString &name) {
    const auto found = d->nodeIds.constFind(folder);
    if (found == d->nodeIds.constEnd())
        return false;
    bool noted = false;
    if (name.isEmpty()) {
        d->noteNode(*found);
        noted = true;
    } else if (const auto below = d->nodeIds.constFind(childPath(folder, name));
               below != d->nodeIds.constEnd()) {
        d->noteNode(*below);
        noted = true;
    }
    for (int id = d->filesByName.value({*found, QFile::encodeName(name)}) - 1; id >= 0;
         id = d->known.at(id).sameName) {
        d->noteFile(id);
        noted = true;
    }
    return noted;
}

void EntryChecker::noteContents(const QString &folder) {
    const auto found = d->nodeIds.constFind(folder);
    if (found != d->nodeIds.constEnd())
        d->noteContents(*found);
}

void EntryChecker::noteAll() {
    // Folders are made after the folders above them: in id order, parents
    // are looked at first.
    for (int id = 0; id < d->nodes.size(); ++id)
        d->noteNode(id);
    for (int id = 0; id < d->known.size(); ++id)
        d->noteFile(id);
}

void EntryChecker::noteRefused() {
    for (int id : std::as_const(d->refusedNodes))
        d->noteContents(id);
}

bool EntryChecker::anyRefused() const {
    return !d->refusedNodes.isEmpty();
}

bool EntryChecker::lookAgain(const QDeadlineTimer &deadline, QList<int> *changed) {
    const qsizetype before = changed->size();
    // The clock is read every few paths, as each look is one system call.
    for (int looked = 1;; ++looked) {
        if (looked % 64 == 0 && deadline.hasExpired())
            break;
        if (d->nodeNext < d->nodeQueue.size()) {
            const int id = d->nodeQueue[d->nodeNext++];
            d->nodes[id].noted = false;
            d->lookNode(id);
        } else if (d->fileNext < d->fileQueue.size()) {
            const int id = d->fileQueue[d->fileNext++];
            d->known[id].noted = false;
            if (d->lookAgain(id))
                changed->append(id);
        } else {
            break;
        }
    }
    if (changed->size() > before)
        d->forgetNameLengths();
    if (d->nodeNext == d->nodeQueue.size()) {
        d->nodeQueue.clear();
        d->nodeNext = 0;
    }
    if (d->fileNext < d->fileQueue.size() || !d->nodeQueue.empty())
        return false;
    d->fileQueue.clear();
    d->fileNext = 0;
    return true;
}

QList<int> EntryChecker::refresh() {
    QList<int> changed;
    noteAll();
    lookAgain(QDeadlineTimer(QDeadlineTimer::Forever), &changed);
    return changed;
}

qsizetype EntryChecker::pathCount() const {
    return d->known.size();
}

} // namespace kirano::autopilot

#include "rules/entrycheck.h"
#include "rules/listrules.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/forumlist.h"
#include "store/patiofile.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
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
    quint64 mode = 0, device = 0, inode = 0;
    qint64 size = 0, modified = 0, changed = 0;

    bool operator==(const Fingerprint &o) const {
        return exists == o.exists && isDir == o.isDir && mode == o.mode && device == o.device &&
               inode == o.inode && size == o.size && modified == o.modified && changed == o.changed;
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
    f.mode = uint(info.permissions());
    f.size = info.size();
    f.modified = info.lastModified().toMSecsSinceEpoch();
    f.changed = info.metadataChangeTime().toMSecsSinceEpoch();
#endif
    return f;
}

// A missing file or folder appears in the nearest folder that is there.
QString nearestFolder(QString folder) {
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot()) {
        const QString up = QFileInfo(folder).absolutePath();
        if (up == folder)
            break;
        folder = up;
    }
    return QDir::cleanPath(folder);
}

// A folder that paths consulted lie in: a list names thousands of files in a
// handful of folders, and a file in a folder that is not there is not there
// either, without asking the file system.
struct Folder {
    QString path;    // absolute
    QString nearest; // the folder, or its nearest ancestor that is there: what is watched
    bool there = false;

    void look() {
        nearest = nearestFolder(path);
        there = nearest == QDir::cleanPath(path);
    }
};

// A path as the checks saw it.
struct Known {
    QByteArray bytes; // as entries name it; empty for a log's folder
    QString native;   // made when first needed
    QByteArray local; // the native path as the file system takes it, likewise
    int folder = -1;  // the folder it lies in
    Fingerprint print;
    bool writable = false; // of a folder
    QString watchFile;     // the file itself, while it is there
    // A captured list's numbers, read once per change of the file.
    bool loaded = false;
    int width = 0;
    std::optional<QSet<qint32>> numbers;

    bool isFile() const { return print.exists && !print.isDir; }
    bool isWritableFolder() const { return print.isDir && writable; }
};

} // namespace
} // namespace kirano::autopilot

// Lists of them grow by moving bytes, not elements.
Q_DECLARE_TYPEINFO(kirano::autopilot::Folder, Q_RELOCATABLE_TYPE);
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

    QList<Folder> folderList;
    QHash<QString, int> folderIds;        // by the absolute path
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
    std::optional<QSet<QByteArray>> forums;
    int forumListReadings = 0;
    // What each forum named was found to be: whether the forum list as last
    // read holds it, and its lists' ids.
    struct Forum {
        int judgedAt = -1; // forumListReadings when judged
        bool listed = false;
        int rooms = -1, libraries = -1;
        QHash<qint32, int> libraryFiles;
    };
    QHash<QByteArray, Forum> forumInfo;
    std::optional<QHash<QByteArray, QByteArray>> patioPasswords;

    QHash<QString, qsizetype> nameMaxes;
    // Each download name's verdict and the folder it lands in.
    struct Name {
        std::optional<QString> problem;
        int folder = -1;
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

    const QString &native(Known &path) {
        if (path.native.isNull())
            path.native = text::nativePath(path.bytes);
        return path.native;
    }

    void look(Known &path) {
        if (!folderList.at(path.folder).there) {
            path.print = Fingerprint();
        } else {
            if (path.local.isNull())
                path.local = QFile::encodeName(native(path));
            path.print = fingerprintOf(native(path), path.local);
        }
        path.writable = path.print.isDir && QFileInfo(native(path)).isWritable();
        if (!path.isFile())
            path.watchFile.clear();
        else if (path.watchFile.isEmpty())
            path.watchFile = QDir::cleanPath(QFileInfo(native(path)).absoluteFilePath());
    }

    // Looks at a path again; when it changed, forgets what was read of it.
    bool lookAgain(int id) {
        Known &path = known[id];
        const Fingerprint before = path.print;
        const bool writable = path.writable;
        look(path);
        if (path.print == before && path.writable == writable)
            return false;
        path.loaded = false;
        path.numbers.reset();
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

    int folderAt(const QString &absolute) {
        auto found = folderIds.constFind(absolute);
        if (found == folderIds.constEnd()) {
            Folder folder;
            folder.path = absolute;
            folder.look();
            folderList.append(std::move(folder));
            found = folderIds.insert(absolute, int(folderList.size() - 1));
        }
        return *found;
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
        look(path);
        known.append(std::move(path));
        return int(known.size() - 1);
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
        const QByteArrayView before(logPath.constData(), text::fileNameStart(logPath));
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

    const Name &nameOf(const QByteArray &name) {
        auto found = names.constFind(name);
        if (found == names.constEnd()) {
            Name verdict;
            verdict.problem = downloadNameProblem(folders, name, nameMax);
            verdict.folder = file(downloadFolder(folders, name));
            found = names.insert(name, verdict);
        }
        return *found;
    }

    const QSet<QByteArray> &forumCodes() {
        if (!forums) {
            // Only the codes are kept: a million names are never copied.
            const ForumList list = readForumList(native(known[forumListId]));
            forums.emplace();
            forums->reserve(list.size());
            for (qsizetype i = 0; i < list.size(); ++i)
                forums->insert(list.code(i).toByteArray());
        }
        return *forums;
    }

    const QHash<QByteArray, QByteArray> &patios() {
        if (!patioPasswords) {
            patioPasswords.emplace();
            if (const text::Result<QList<PatioRecord>> read =
                    readPatioList(native(known[patioListId]))) {
                for (const PatioRecord &patio : *read)
                    patioPasswords->insert(patio.id, patio.password);
            }
        }
        return *patioPasswords;
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
            if (list.isFile()) {
                list.numbers.emplace();
                for (const QByteArray &row : loadCapturedRows(native(list)).rows)
                    list.numbers->insert(
                        text::leadingNumber(width > 0 ? text::bytesAt(row, 1, width) : row));
            }
        }
        return !list.numbers || list.numbers->contains(number);
    }

    void forumProblems(Command command, const PatrolEntry &e, Collected &c) {
        c.consult(forumListId);
        Forum &forum = forumInfo[e.param1];
        if (forum.judgedAt != forumListReadings) {
            forum.judgedAt = forumListReadings;
            forum.listed = forumCodes().contains(e.param1);
        }
        if (!forum.listed)
            return c.problem(UnlistedForum);
        const qint32 number = roomOrLibraryNumber(e);
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
            int list = forum.libraryFiles.value(number, -1);
            if (list < 0) {
                list = file(data.libraryFiles(e.param1, number));
                forum.libraryFiles.insert(number, list);
            }
            if (!listed(list, 0, text::strictInteger(e.field(download)).value_or(0), c))
                c.problem(UnlistedDownload);
        }
    }

    void patioProblems(const PatrolEntry &e, Collected &c) {
        c.consult(patioListId);
        const QHash<QByteArray, QByteArray> &known = patios();
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
}

EntryChecker::~EntryChecker() = default;

Findings EntryChecker::check(const PatrolEntry &e) {
    Collected c;
    const std::optional<Command> command = commandOf(e.command);
    // The download name's rule asks its folder's file system: each name is
    // judged once.
    const int name = command ? paramWith(*command, Param::DownloadName) : 0;
    const State::Name *verdict = name ? &d->nameOf(e.field(name)) : nullptr;
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
            if (!d->known[id].isFile())
                c.problem(MissingSendFile);
        }
        if (const int log = paramWith(*command, Param::LogFile)) {
            const int id = d->logFolder(e.field(log));
            c.consult(id);
            if (!d->known[id].isWritableFolder())
                c.problem(UnwritableLogFolder);
        }
        if (verdict && !d->known[verdict->folder].isWritableFolder())
            c.problem(UnwritableDownloadFolder);
        if (*command == Command::New) {
            const int id = d->file(d->data.noticeSelection());
            c.consult(id);
            if (!d->known[id].isFile())
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
    if (problems & MissingSendFile)
        lines << QStringLiteral(u"送るファイル「%1」がありません")
                     .arg(text::decode(field(Param::SendFile)));
    const QString unwritable = QStringLiteral(u"%1のフォルダ「%2」に書き込めません");
    if (problems & UnwritableLogFolder)
        lines << unwritable.arg(QStringLiteral(u"ログ"), logFolderOf(field(Param::LogFile)));
    if (problems & UnwritableDownloadFolder)
        lines << unwritable.arg(
            QStringLiteral(u"ダウンロード"),
            text::nativePath(downloadFolder(d->folders, field(Param::DownloadName))));
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

QStringList EntryChecker::watchPaths() const {
    QSet<QString> paths;
    for (const Folder &folder : d->folderList)
        paths.insert(folder.nearest);
    for (const Known &path : d->known) {
        if (!path.watchFile.isEmpty())
            paths.insert(path.watchFile);
    }
    return QStringList(paths.cbegin(), paths.cend());
}

qsizetype EntryChecker::pathCount() const {
    return d->known.size();
}

QList<int> EntryChecker::refresh(const QString &watched) {
    QList<int> changed;
    if (watched.isEmpty()) {
        refreshFrom(0, QDeadlineTimer(QDeadlineTimer::Forever), &changed);
        return changed;
    }
    const QString cleaned = QDir::cleanPath(watched);
    // The folders first: one that came or went decides whether its files
    // can be there.
    std::vector<bool> lookedAgain(d->folderList.size());
    for (qsizetype f = 0; f < d->folderList.size(); ++f) {
        Folder &folder = d->folderList[f];
        if (folder.nearest == cleaned) {
            folder.look();
            lookedAgain[f] = true;
        }
    }
    for (int id = 0; id < d->known.size(); ++id) {
        const Known &path = d->known.at(id);
        if ((lookedAgain[path.folder] || path.watchFile == cleaned) && d->lookAgain(id))
            changed.append(id);
    }
    if (!changed.isEmpty())
        d->forgetNameLengths();
    return changed;
}

qsizetype EntryChecker::refreshFrom(qsizetype from, const QDeadlineTimer &deadline,
                                    QList<int> *changed) {
    if (from == 0) {
        for (Folder &folder : d->folderList)
            folder.look();
    }
    const qsizetype before = changed->size();
    qsizetype id = from;
    // The clock is read every few paths, as each look is one system call.
    for (; id < d->known.size(); ++id) {
        if (id > from && id % 64 == 0 && deadline.hasExpired())
            break;
        if (d->lookAgain(int(id)))
            changed->append(int(id));
    }
    if (changed->size() > before)
        d->forgetNameLengths();
    return id;
}

} // namespace kirano::autopilot

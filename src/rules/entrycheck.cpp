#include "rules/entrycheck.h"
#include "rules/listrules.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/forumlist.h"
#include "store/patiofile.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <optional>

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

Fingerprint fingerprintOf(const QString &native) {
    Fingerprint f;
#ifdef Q_OS_LINUX
    struct stat st;
    if (::stat(QFile::encodeName(native).constData(), &st) != 0)
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

// A path as the checks saw it.
struct Known {
    QString native;
    QString watchFolder;
    QString watchFile; // the file itself, while it is there
    Fingerprint print;
    bool writable = false; // of a folder
    // A captured list's numbers, read once per change of the file.
    bool loaded = false;
    int width = 0;
    std::optional<QSet<qint32>> numbers;

    // Its problem texts, made once: thousands of entries name one folder, and
    // a missing file stays missing until the watcher says otherwise.
    QString missingText;
    QString folderWhat, folderText;

    bool isFile() const { return print.exists && !print.isDir; }
    bool isWritableFolder() const { return print.isDir && writable; }

    // `nearest` remembers, for each folder asked about, the nearest folder
    // at or above it that is there: a list names thousands of files in a
    // handful of folders, and a file in a folder that is not there is not
    // there either, without asking the file system.
    void look(QHash<QString, QString> &nearest) {
        const QFileInfo at(native);
        const QString folder = at.absolutePath();
        auto found = nearest.constFind(folder);
        if (found == nearest.constEnd())
            found = nearest.insert(folder, nearestFolder(folder));
        watchFolder = *found;
        const bool folderThere = watchFolder == QDir::cleanPath(folder);
        print = folderThere ? fingerprintOf(native) : Fingerprint();
        writable = print.isDir && QFileInfo(native).isWritable();
        watchFile = isFile() ? QDir::cleanPath(at.absoluteFilePath()) : QString();
    }

    // A missing file or folder appears in the nearest folder that is there.
    static QString nearestFolder(QString folder) {
        while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot()) {
            const QString up = QFileInfo(folder).absolutePath();
            if (up == folder)
                break;
            folder = up;
        }
        return QDir::cleanPath(folder);
    }
};

} // namespace

struct EntryChecker::State {
    explicit State(const SettingsFolders &f) : folders(f), data(f.dataFolder()) {}

    const SettingsFolders folders;
    const DataFolder data;
    QList<Known> known;
    QHash<QByteArray, int> files;      // by the path's bytes
    QHash<QByteArray, int> logFolders; // by the bytes before the log's name
    int forumListId = -1;
    int patioListId = -1;
    std::optional<QSet<QByteArray>> forums;
    std::optional<QHash<QByteArray, QByteArray>> patioPasswords;
    QHash<QString, qsizetype> nameMaxes;
    QHash<QString, QString> nearest;           // see Known::look; forgotten on refresh()
    QHash<QByteArray, QString> unlistedForums; // the text for each forum code
    const NameMax nameMax = [this](const QString &folder) {
        auto found = nameMaxes.constFind(folder);
        if (found == nameMaxes.constEnd())
            found = nameMaxes.insert(folder, nameMaxIn(folder));
        return *found;
    };

    int add(QHash<QByteArray, int> &index, const QByteArray &key, const QString &native) {
        Known path;
        path.native = native;
        path.look(nearest);
        known.append(std::move(path));
        index.insert(key, int(known.size() - 1));
        return int(known.size() - 1);
    }

    int file(const QByteArray &bytes) {
        const auto found = files.constFind(bytes);
        return found != files.constEnd() ? *found : add(files, bytes, text::nativePath(bytes));
    }

    // The folder a log lands in, as its path names it; every log named with
    // the same bytes before its name shares it.
    int logFolder(const QByteArray &logPath) {
        const QByteArray before = logPath.left(logPath.size() - text::fileNamePart(logPath).size());
        const auto found = logFolders.constFind(before);
        return found != logFolders.constEnd()
                   ? *found
                   : add(logFolders, before, QFileInfo(text::nativePath(logPath)).path());
    }

    const QSet<QByteArray> &forumCodes() {
        if (!forums) {
            // Only the codes are kept: a million names are never copied.
            const ForumList list = readForumList(known[forumListId].native);
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
                    readPatioList(known[patioListId].native)) {
                for (const PatioRecord &patio : *read)
                    patioPasswords->insert(patio.id, patio.password);
            }
        }
        return *patioPasswords;
    }

    // True when the list is missing (nothing to go by) or holds the number:
    // the leading number of each row's first `width` bytes, or of the whole
    // row.
    bool listed(int id, int width, qint32 number) {
        Known &list = known[id];
        if (!list.loaded || list.width != width) {
            list.loaded = true;
            list.width = width;
            list.numbers.reset();
            if (list.isFile()) {
                list.numbers.emplace();
                for (const QByteArray &row : loadCapturedRows(list.native).rows)
                    list.numbers->insert(
                        text::leadingNumber(width > 0 ? text::bytesAt(row, 1, width) : row));
            }
        }
        return !list.numbers || list.numbers->contains(number);
    }

    QStringList forumProblems(Command command, const PatrolEntry &e, QList<int> *consulted) {
        if (consulted)
            consulted->append(forumListId);
        if (!forumCodes().contains(e.param1)) {
            auto text = unlistedForums.constFind(e.param1);
            if (text == unlistedForums.constEnd())
                text = unlistedForums.insert(
                    e.param1, QStringLiteral(u"フォーラム「%1」が %2 にありません")
                                  .arg(text::decode(e.param1), shownName(data.forumList())));
            return {*text};
        }
        const qint32 number = roomOrLibraryNumber(e);
        auto listedIn = [&](const QByteArray &path, int width, qint32 n) {
            const int id = file(path);
            if (consulted)
                consulted->append(id);
            return listed(id, width, n);
        };
        if (paramWith(command, Param::RoomNumber) && !listedIn(data.rooms(e.param1), 2, number))
            return {QStringLiteral(u"%1番会議室が %2 の会議室リストにありません")
                        .arg(number)
                        .arg(text::decode(e.param1))};
        if (paramWith(command, Param::LibraryNumber) &&
            !listedIn(data.libraries(e.param1), 4, number))
            return {QStringLiteral(u"%1番ライブラリィが %2 のライブラリィリストにありません")
                        .arg(number)
                        .arg(text::decode(e.param1))};
        if (const int download = paramWith(command, Param::DownloadNumber)) {
            const QByteArray list = data.libraryFiles(e.param1, number);
            const qint32 fileNumber = text::strictInteger(e.field(download)).value_or(0);
            if (!listedIn(list, 0, fileNumber))
                return {QStringLiteral(u"ダウンロード番号 %1 が %2 にありません")
                            .arg(fileNumber)
                            .arg(shownName(list))};
        }
        return {};
    }

    QStringList patioProblems(const PatrolEntry &e, QList<int> *consulted) {
        if (consulted)
            consulted->append(patioListId);
        const QHash<QByteArray, QByteArray> &known = patios();
        const auto found = known.constFind(e.param1);
        if (found == known.constEnd())
            return {QStringLiteral(u"パティオＩＤ「%1」が %2 にありません")
                        .arg(text::decode(e.param1), shownName(data.patioList()))};
        if (*found != e.param2)
            return {QStringLiteral(u"パティオＩＤ「%1」のパスワードが %2 と違います")
                        .arg(text::decode(e.param1), shownName(data.patioList()))};
        return {};
    }

    QString folderProblem(int id, const QString &what) {
        Known &folder = known[id];
        if (folder.isWritableFolder())
            return {};
        if (folder.folderText.isEmpty() || folder.folderWhat != what) {
            folder.folderWhat = what;
            folder.folderText =
                QStringLiteral(u"%1のフォルダ「%2」に書き込めません").arg(what, folder.native);
        }
        return folder.folderText;
    }
};

EntryChecker::EntryChecker(const SettingsFolders &folders) : d(new State(folders)) {
    d->forumListId = d->file(d->data.forumList());
    d->patioListId = d->file(d->data.patioList());
}

EntryChecker::~EntryChecker() = default;

QStringList EntryChecker::problems(const PatrolEntry &e, QList<int> *consulted) {
    QStringList found = fieldProblems(e, d->folders, d->nameMax);
    const std::optional<Command> command = commandOf(e.command);
    // The download name's rule asks its folder's file system.
    const int name = command ? paramWith(*command, Param::DownloadName) : 0;
    const int downloadFolder =
        name ? d->file(autopilot::downloadFolder(d->folders, e.field(name))) : -1;
    if (consulted && downloadFolder >= 0)
        consulted->append(downloadFolder);
    if (command && found.isEmpty()) {
        const CommandInfo &info = commandInfo(*command);
        if (info.target == Target::Forum)
            found << d->forumProblems(*command, e, consulted);
        if (info.target == Target::Patio)
            found << d->patioProblems(e, consulted);
        if (const int send = paramWith(*command, Param::SendFile)) {
            const int id = d->file(e.field(send));
            if (consulted)
                consulted->append(id);
            Known &file = d->known[id];
            if (!file.isFile()) {
                if (file.missingText.isEmpty())
                    file.missingText = QStringLiteral(u"送るファイル「%1」がありません")
                                           .arg(text::decode(e.field(send)));
                found << file.missingText;
            }
        }
        if (const int log = paramWith(*command, Param::LogFile)) {
            const int id = d->logFolder(e.field(log));
            if (consulted)
                consulted->append(id);
            found << d->folderProblem(id, QStringLiteral(u"ログ"));
        }
        if (downloadFolder >= 0)
            found << d->folderProblem(downloadFolder, QStringLiteral(u"ダウンロード"));
        if (*command == Command::New) {
            const int id = d->file(d->data.noticeSelection());
            if (consulted)
                consulted->append(id);
            if (!d->known[id].isFile())
                found << noNoticeSelection(d->folders);
        }
    }
    if (std::optional<QString> days = daysProblem(e.days))
        found << *days;
    found.removeAll(QString());
    return found;
}

QStringList EntryChecker::watchPaths() const {
    QSet<QString> paths;
    for (const Known &path : d->known) {
        paths.insert(path.watchFolder);
        if (!path.watchFile.isEmpty())
            paths.insert(path.watchFile);
    }
    return QStringList(paths.cbegin(), paths.cend());
}

qsizetype EntryChecker::pathCount() const {
    return d->known.size();
}

QList<int> EntryChecker::refresh(const QString &watched) {
    const QString cleaned = watched.isEmpty() ? QString() : QDir::cleanPath(watched);
    d->nearest.clear(); // a folder may have come or gone
    QList<int> changed;
    for (int id = 0; id < d->known.size(); ++id) {
        Known &path = d->known[id];
        if (!cleaned.isEmpty() && path.watchFolder != cleaned && path.watchFile != cleaned)
            continue;
        const Fingerprint before = path.print;
        const bool writable = path.writable;
        path.look(d->nearest);
        if (path.print == before && path.writable == writable)
            continue;
        changed.append(id);
        path.loaded = false;
        path.numbers.reset();
        if (id == d->forumListId)
            d->forums.reset();
        if (id == d->patioListId)
            d->patioPasswords.reset();
    }
    if (!changed.isEmpty())
        d->nameMaxes.clear(); // a folder may now lie on another file system
    return changed;
}

} // namespace kirano::autopilot

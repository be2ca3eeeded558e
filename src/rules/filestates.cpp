#include "rules/filestates.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace kirano::rules {

namespace {

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

} // namespace
} // namespace kirano::rules

// Lists of them grow by moving bytes, not elements.
Q_DECLARE_TYPEINFO(kirano::rules::Node, Q_RELOCATABLE_TYPE);

namespace kirano::rules {

QString logFolderOf(const QByteArray &logPath) {
    return QFileInfo(text::nativePath(logPath)).path();
}

struct FileStates::Data {
    QList<Node> nodes;
    QHash<QString, int> nodeIds; // by the absolute path
    // By folder and the name in it as the file system has it (what a change
    // in the folder names): the first path of that name, ids one up.
    QHash<std::pair<int, QByteArray>, int> filesByName;
    QHash<QByteArray, int> folderOfBytes; // by the bytes before a plain name
    QByteArray lastFolderBytes;           // the folder of the path before, most often
    int lastFolder = -1;

    QList<PathState> known;
    QHash<QByteArray, int> files;      // by the path's bytes, ids one up
    QHash<QByteArray, int> logFolders; // by the bytes before the log's name
    QByteArray lastLogBytes;
    int lastLog = -1;

    // Looking again, a part at a time: folders first, parents before their
    // folders, then files. Where each queue goes on.
    std::vector<int> nodeQueue, fileQueue;
    size_t nodeNext = 0, fileNext = 0;
    // Folders to hand out for watching, parents first.
    std::vector<int> watchQueue;
    size_t watchNext = 0;
    QList<int> refusedNodes;

    const QString &native(PathState &path) {
        if (path.native.isNull())
            path.native = text::nativePath(path.bytes);
        return path.native;
    }

    void look(PathState &path, int id) {
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
        PathState &path = known[id];
        const Fingerprint before = path.print;
        const bool writable = path.writable;
        look(path, id);
        if (path.print == before && path.writable == writable)
            return false;
        path.loaded = false;
        path.numbers.reset();
        path.sendCode = -1;
        return true;
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

    int add(PathState path) {
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
            PathState path;
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
            PathState path;
            path.native = logFolderOf(logPath);
            path.folder = folderAt(QFileInfo(path.native).absolutePath());
            found = logFolders.insert(lastLogBytes, add(std::move(path)));
        }
        lastLog = *found;
        return lastLog;
    }

    // Why the file to send cannot be sent, 0 when it can: it is opened and
    // its first byte read, as sending would, once per change of it.
    int sendCode(int id) {
        PathState &path = known[id];
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
};

FileStates::FileStates() : d(new Data) {}

FileStates::~FileStates() = default;

int FileStates::file(const QByteArray &bytes) {
    return d->file(bytes);
}

int FileStates::logFolder(const QByteArray &logPath) {
    return d->logFolder(logPath);
}

int FileStates::idOf(const QByteArray &bytes) const {
    return d->files.value(bytes) - 1;
}

const PathState &FileStates::at(int id) const {
    return d->known.at(id);
}

PathState &FileStates::at(int id) {
    return d->known[id];
}

const QString &FileStates::native(int id) {
    return d->native(d->known[id]);
}

int FileStates::sendCode(int id) {
    return d->sendCode(id);
}

qsizetype FileStates::pathCount() const {
    return d->known.size();
}

QList<FileStates::WatchRequest> FileStates::foldersToWatch(qsizetype most) {
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

void FileStates::unwatched(const QString &folder, bool refused) {
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

bool FileStates::noteChange(const QString &folder, const QString &name) {
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

void FileStates::noteContents(const QString &folder) {
    const auto found = d->nodeIds.constFind(folder);
    if (found != d->nodeIds.constEnd())
        d->noteContents(*found);
}

void FileStates::noteAll() {
    // Folders are made after the folders above them: in id order, parents
    // are looked at first.
    for (int id = 0; id < d->nodes.size(); ++id)
        d->noteNode(id);
    for (int id = 0; id < d->known.size(); ++id)
        d->noteFile(id);
}

void FileStates::noteRefused() {
    for (int id : std::as_const(d->refusedNodes))
        d->noteContents(id);
}

bool FileStates::anyRefused() const {
    return !d->refusedNodes.isEmpty();
}

bool FileStates::lookAgain(const QDeadlineTimer &deadline, QList<int> *changed) {
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

} // namespace kirano::rules

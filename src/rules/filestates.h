#pragma once
// What the checks know of the files and folders a patrol list names. Each
// path is looked at once and remembered by an id; so is every folder on the
// way to it, so that a file in a folder that is not there is not there
// either without asking the file system, and a change in a watched folder
// names the few paths it concerns. A path is looked at again only when a
// change was noted for it; what was read of it (a captured list's numbers,
// whether a file to send can be read) is forgotten when it changed.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace kirano::rules {

// The folder a log lands in, as its path names it.
QString logFolderOf(const QByteArray &logPath);

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

// A path as the checks saw it: how the entries name it, where it lies, what
// it was found to be, and what was read of it since it last changed.
struct PathState {
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

} // namespace kirano::rules

// Lists of them grow by moving bytes, not elements.
Q_DECLARE_TYPEINFO(kirano::rules::PathState, Q_RELOCATABLE_TYPE);

namespace kirano::rules {

class FileStates {
  public:
    FileStates();
    ~FileStates();
    FileStates(const FileStates &) = delete;
    FileStates &operator=(const FileStates &) = delete;

    // The id of a file named by its bytes, as entries and settings name it;
    // looked at when first named.
    int file(const QByteArray &bytes);
    // The id of the folder a log lands in; every log named with the same
    // bytes before its name shares it.
    int logFolder(const QByteArray &logPath);
    // The id of a file named before; -1 for one never named.
    int idOf(const QByteArray &bytes) const;
    const PathState &at(int id) const;
    PathState &at(int id);
    const QString &native(int id);
    // Why the file cannot be sent, 0 when it can: it is opened and its first
    // byte read, as sending would, once per change of it.
    int sendCode(int id);
    // How many paths were named so far; their ids are below it.
    qsizetype pathCount() const;

    // Watching, as EntryChecker tells it.
    struct WatchRequest {
        QString folder;
        bool files = false; // files lie in it: their rewriting matters too
    };
    QList<WatchRequest> foldersToWatch(qsizetype most);
    void unwatched(const QString &folder, bool refused);
    bool noteChange(const QString &folder, const QString &name);
    void noteContents(const QString &folder);
    void noteAll();
    void noteRefused();
    bool anyRefused() const;
    // Looks again at what was noted until `deadline`; adds the ids of the
    // paths that changed to `changed`. True when nothing noted is left.
    bool lookAgain(const QDeadlineTimer &deadline, QList<int> *changed);

  private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace kirano::rules

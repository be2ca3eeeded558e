#pragma once
// Watching folders for changes of what they hold, each change naming the
// entry of the folder that changed, so that the marks match it to the few
// paths it concerns with one hash lookup; tens of thousands of folders are
// watched at the cost of one system call each.

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QSocketNotifier;
class QFileSystemWatcher;

namespace kirano {

class FolderWatcher : public QObject {
    Q_OBJECT
  public:
    enum class Added { Watched, Missing, Unwatchable, LimitReached };
    // What a change concerns: an entry of the folder (a file or a folder
    // in it, by its name), the folder itself, anything in it (where the
    // platform does not say which), every folder (changes were lost), or the
    // folder's watch, which is gone (the folder was removed or moved away).
    enum class What { Entry, Itself, Contents, Everything, Lost };
    using Handler = std::function<void(const QString &folder, const QString &name, What what)>;

    explicit FolderWatcher(Handler handler, QObject *parent = nullptr);
    ~FolderWatcher() override;

    // Watches the folder for entries that come, go or are renamed, and with
    // `files` also for files in it that are rewritten.
    Added add(const QString &folder, bool files);
    // At most `limit` folders are watched, as if the system allowed no
    // more; -1 leaves the system's limit alone.
    void setLimit(qsizetype limit) { limit_ = limit; }
    // How many watches are held.
    qsizetype count() const;

  private:
#ifdef Q_OS_LINUX
    void readEvents();
    void forget(const QString &folder, int watch);

    int fd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    QHash<int, QStringList> folders_; // by watch: one folder reached by several paths has one
    QHash<QString, int> watches_;     // by folder
#else
    QFileSystemWatcher *watcher_ = nullptr;
#endif
    Handler handler_;
    qsizetype limit_ = -1;
};

} // namespace kirano

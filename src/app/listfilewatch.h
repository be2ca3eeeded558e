#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>

class QFileSystemWatcher;

namespace kirano {

// The patrol list file as Kirano last opened or saved it, to tell when
// another program (a second Kirano, a text editor) changed it since: the
// window says so at once, and "上書き保存" asks before writing over it.
class ListFileWatch : public QObject {
    Q_OBJECT
  public:
    explicit ListFileWatch(QObject *parent = nullptr);

    // The file was just opened or saved at `path`: this is its state.
    void remember(const QString &path);
    // Nothing is known of the file the list will be saved to.
    void forget();
    // `path` is the file remembered, it is there, and it is not as it was.
    bool changedElsewhere(const QString &path) const;

  signals:
    // The remembered file changed on disk (only once per change seen).
    void changed(const QString &path);

  private:
    struct State {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        QDateTime metadataChanged;
        bool operator==(const State &o) const {
            return exists == o.exists && size == o.size && modified == o.modified &&
                   metadataChanged == o.metadataChanged;
        }
    };
    static State stateOf(const QString &path);
    void look();

    QString path_;
    State state_;
    bool told_ = false;
    QFileSystemWatcher *watcher_ = nullptr;
};

} // namespace kirano

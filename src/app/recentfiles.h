#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QThread;

namespace kirano {

// The patrol lists last opened or saved, newest first, kept per user in
// userDataFolder()/recent.txt: one path a line, as the list's file name is
// stored (Shift_JIS), CR LF, replaced atomically and off the window's
// thread. Every Kirano of the user reads and writes the one file, so each
// shows what any of them used last.
class RecentFiles : public QObject {
    Q_OBJECT
  public:
    static constexpr int kKept = 8;
    // $XDG_DATA_HOME/kirano/recent.txt.
    static QString defaultPath();

    explicit RecentFiles(QString path = defaultPath(), QObject *parent = nullptr);
    // Waits for a write under way.
    ~RecentFiles() override;

    // As the file holds them now, with the lists used since that are still
    // being written; none when it cannot be read.
    QList<QByteArray> paths() const;
    // The path goes first, the oldest beyond kKept go; written a moment
    // later.
    void add(const QByteArray &path);
    const QString &path() const { return path_; }

  signals:
    // The file could not be written, with the reason.
    void writeFailed(const QString &reason);

  private:
    void startWriting();

    QString path_;
    QList<QByteArray> waiting_; // added, not yet being written; oldest first
    QList<QByteArray> writing_; // being written now
    QThread *writer_ = nullptr;
    QString failure_; // of the write under way, read once it ended
};

} // namespace kirano

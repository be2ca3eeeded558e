#pragma once
#include "patrol/patrolentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class QThread;
class QTimer;

namespace kirano {

class PatrolListPane;

// A copy of the patrol list kept while it has unsaved changes, so that a
// Kirano killed or ended with them loses at most the last second of edits.
// Kirano asks nothing when it closes and never writes the list's own file
// unasked; instead this copy is written a moment after each change, in a
// folder of the user's own (never the program or the data folder),
// atomically and off the window's thread. It goes when the list is saved,
// cleared or undone back to its file; a window closing with unsaved changes
// leaves it for the next start, which offers to bring it back.
//
// Each running Kirano has a copy of its own, named after its process and
// held by a lock file, so that the next start knows which copies are left
// by a Kirano that is gone.
class RecoveryCopy : public QObject {
    Q_OBJECT
  public:
    // $XDG_DATA_HOME/kirano/recovery/ (~/.local/share/kirano/recovery/).
    static QString defaultFolder();

    RecoveryCopy(PatrolListPane *pane, const QString &folder, QObject *parent = nullptr);
    // Waits for a write under way. The copy stays while the list has
    // unsaved changes.
    ~RecoveryCopy() override;

    // The window closes: unsaved changes are written now and kept.
    void writeNow();
    QString path() const { return path_; }

    // A copy left by a Kirano that is no longer running.
    struct Found {
        QString path;
        QByteArray listFile; // the list's file, empty for a new list
        QDateTime written;
        QList<PatrolEntry> entries;
    };
    // Copies that can be read, newest first.
    static QList<Found> leftBehind(const QString &folder);
    static void remove(const Found &copy);

  signals:
    // A copy could not be written, with the reason.
    void writeFailed(const QString &reason);

  private:
    void listChanged();
    void startWriting();
    void writingEnded();
    void removeCopy();
    bool takeLock();

    PatrolListPane *pane_;
    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    QTimer *delay_;
    QThread *writing_ = nullptr;
    QString failure_;    // of the write under way, read once it ended
    bool again_ = false; // the list changed while it was written
};

} // namespace kirano

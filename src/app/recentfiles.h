#pragma once
#include "text/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kirano {

// The patrol lists last opened or saved, newest first, kept per user in
// userDataFolder()/recent.txt: one path a line, as the list's file name is
// stored (Shift_JIS), CR LF, replaced atomically. Every Kirano of the user
// reads and writes the one file, so each shows what any of them used last.
class RecentFiles {
  public:
    static constexpr int kKept = 8;
    // $XDG_DATA_HOME/kirano/recent.txt.
    static QString defaultPath();

    explicit RecentFiles(QString path = defaultPath()) : path_(std::move(path)) {}

    // As the file holds them now; none when it cannot be read.
    QList<QByteArray> paths() const;
    // The path goes first; the oldest beyond kKept go.
    text::Result<> add(const QByteArray &path);
    const QString &path() const { return path_; }

  private:
    QString path_;
};

} // namespace kirano

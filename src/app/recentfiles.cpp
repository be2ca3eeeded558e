#include "app/recentfiles.h"
#include "store/settingsfile.h"
#include "text/files.h"
#include "text/lines.h"

#include <QDir>
#include <QFileInfo>

namespace kirano {

QString RecentFiles::defaultPath() {
    return userDataFolder() + QStringLiteral("recent.txt");
}

QList<QByteArray> RecentFiles::paths() const {
    const text::Result<QByteArray> content = text::readFile(path_);
    if (!content)
        return {};
    QList<QByteArray> paths;
    text::LineCursor cursor(*content);
    QByteArray line;
    while (paths.size() < kKept && cursor.next(line)) {
        if (!line.isEmpty() && !paths.contains(line))
            paths.append(line);
    }
    return paths;
}

text::Result<> RecentFiles::add(const QByteArray &path) {
    QList<QByteArray> paths = this->paths();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > kKept)
        paths.removeLast();
    // The folder and the file are the user's alone: they name the user's
    // files.
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    return text::writeLines(path_, paths, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace kirano

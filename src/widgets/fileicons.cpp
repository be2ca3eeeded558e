#include "widgets/fileicons.h"

#include <QMimeDatabase>

namespace kirano {

namespace {

QMimeType typeByName(const QFileInfo &info) {
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

} // namespace

QIcon NameOnlyIconProvider::icon(const QFileInfo &info) const {
    if (info.isRoot())
        return icon(Drive);
    if (info.isDir())
        return icon(Folder);
    const QMimeType type = typeByName(info);
    QIcon themed = QIcon::fromTheme(type.iconName());
    if (themed.isNull())
        themed = QIcon::fromTheme(type.genericIconName());
    return themed.isNull() ? icon(File) : themed;
}

QString NameOnlyIconProvider::type(const QFileInfo &info) const {
    // Qt's own answer reads only a file's contents, never a folder's.
    if (!info.isFile())
        return QFileIconProvider::type(info);
    const QMimeType type = typeByName(info);
    return type.comment().isEmpty() ? type.name() : type.comment();
}

NameOnlyIconProvider *nameOnlyIcons() {
    // Never destroyed: models may ask it for icons until the very end.
    static auto *provider = new NameOnlyIconProvider;
    return provider;
}

} // namespace kirano

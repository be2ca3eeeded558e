#pragma once
// The forum list (DataFolder::forumList): two-line records, the forum's name
// as shown (40 bytes, filled) and its code, the forum's sub-path under the
// data folder.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace kirano {

struct ForumRecord {
    QByteArray name;
    QByteArray code;
};

// The records sorted by name, then code, ignoring the case of ASCII letters
// (never inside a double-byte character); equal keys keep file order. A last
// record without its code line gets an empty code. Nothing when the file
// cannot be read.
QList<ForumRecord> readForumList(const QString &path);

} // namespace kirano

Q_DECLARE_TYPEINFO(kirano::ForumRecord, Q_RELOCATABLE_TYPE);

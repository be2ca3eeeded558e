#pragma once
// The patio list (DataFolder::patioList): three lines per patio (name, ID,
// password), Shift_JIS, CR LF. Read line by line: a record cut short by the
// end of the file gets empty texts, and one extra empty line at the end gives
// one empty record.

#include "text/files.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace kirano {

struct PatioRecord {
    QByteArray name;
    QByteArray id;
    QByteArray password;

    bool operator==(const PatioRecord &o) const {
        return name == o.name && id == o.id && password == o.password;
    }
};

text::Result<QList<PatioRecord>> readPatioList(const QString &path);

// Replaces the file atomically; a new file is readable by its owner only,
// since it holds passwords, and a replaced one keeps its permissions.
text::Result<> writePatioList(const QString &path, const QList<PatioRecord> &records);

} // namespace kirano

Q_DECLARE_TYPEINFO(kirano::PatioRecord, Q_RELOCATABLE_TYPE);

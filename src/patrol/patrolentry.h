#pragma once
#include <QByteArray>
#include <QHashFunctions>
#include <QtGlobal>

namespace kirano {

// One command of the patrol list: six Shift_JIS fields in file order. A
// parameter a command does not use holds "0".
struct PatrolEntry {
    static constexpr int kFieldCount = 6;

    QByteArray command;
    QByteArray param1;
    QByteArray param2;
    QByteArray param3;
    QByteArray param4;
    QByteArray days;

    // Every field preset to "0", as each command builder starts.
    static PatrolEntry zeroed();

    QByteArray &field(int index);
    const QByteArray &field(int index) const;

    bool operator==(const PatrolEntry &o) const {
        return command == o.command && param1 == o.param1 && param2 == o.param2 &&
               param3 == o.param3 && param4 == o.param4 && days == o.days;
    }
};

// An entry as a key: the same six fields, the same entry.
inline size_t qHash(const PatrolEntry &e, size_t seed = 0) noexcept {
    return qHashMulti(seed, e.command, e.param1, e.param2, e.param3, e.param4, e.days);
}

inline PatrolEntry PatrolEntry::zeroed() {
    const QByteArray zero("0");
    return PatrolEntry{zero, zero, zero, zero, zero, zero};
}

inline QByteArray &PatrolEntry::field(int index) {
    QByteArray *fields[kFieldCount] = {&command, &param1, &param2, &param3, &param4, &days};
    return *fields[index];
}

inline const QByteArray &PatrolEntry::field(int index) const {
    return const_cast<PatrolEntry *>(this)->field(index);
}

} // namespace kirano

// Six byte arrays move in memory as plain bytes, so lists of entries grow
// without moving each field.
Q_DECLARE_TYPEINFO(kirano::PatrolEntry, Q_RELOCATABLE_TYPE);

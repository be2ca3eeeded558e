#pragma once
#include <QtGlobal>
#include <array>

namespace kirano {

// What the window knows of a row beyond its entry: the problems the night's
// run would meet with it, what that answer rests on, and whether it is
// still to be found. The list model keeps one beside each entry; the marks
// fill it in.
struct RowMark {
    // A check rests on a few paths at most: the forum's lists, the files it
    // reads and writes, the folders on the way.
    static constexpr int kMaxConsulted = 8;
    using Consulted = std::array<int, kMaxConsulted>;

    quint32 problems = 0; // one bit per problem; 0 for a sound entry
    // The ids of the paths the problems rest on, the first consultedCount.
    Consulted consulted{};
    quint8 consultedCount = 0;
    // Entered the list, or changed, since it was last checked.
    bool pending = true;
    // Names the row whatever comes, goes or moves around it.
    quint32 key = 0;

    bool consults(int id) const {
        for (int i = 0; i < consultedCount; ++i) {
            if (consulted[size_t(i)] == id)
                return true;
        }
        return false;
    }
};

} // namespace kirano

Q_DECLARE_TYPEINFO(kirano::RowMark, Q_PRIMITIVE_TYPE);

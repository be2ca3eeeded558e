#include "patrol/commands.h"

#include <array>
#include <cstring>

namespace kirano {

namespace {

// A keyword's bytes as two numbers, zero-filled: every check of every entry
// looks its keyword up, and a keyword fits in sixteen bytes.
struct Packed {
    quint64 low = 0, high = 0;
    qsizetype size = -1;
    bool operator==(const Packed &o) const {
        return low == o.low && high == o.high && size == o.size;
    }
};

constexpr qsizetype kLongest = 2 * sizeof(quint64);

Packed pack(QByteArrayView keyword) {
    Packed p;
    if (keyword.size() > kLongest)
        return p;
    char bytes[kLongest] = {};
    std::memcpy(bytes, keyword.data(), size_t(keyword.size()));
    std::memcpy(&p.low, bytes, sizeof p.low);
    std::memcpy(&p.high, bytes + sizeof p.low, sizeof p.high);
    p.size = keyword.size();
    return p;
}

} // namespace

std::optional<Command> commandOf(QByteArrayView keyword) {
    static const auto packed = [] {
        std::array<Packed, std::size(vocabulary::kCommands)> all;
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = pack(vocabulary::kCommands[i].keyword);
        return all;
    }();
    const Packed wanted = pack(keyword);
    for (size_t i = 0; i < packed.size(); ++i) {
        if (packed[i] == wanted)
            return vocabulary::kCommands[i].command;
    }
    return std::nullopt;
}

} // namespace kirano

#include "patrol/commands.h"

#include <QHash>

namespace kirano {

std::optional<Command> commandOf(QByteArrayView keyword) {
    // Every check of every entry asks: one look-up, not a compare per
    // keyword of the vocabulary.
    static const QHash<QByteArray, Command> byKeyword = [] {
        QHash<QByteArray, Command> all;
        for (const CommandInfo &info : vocabulary::kCommands)
            all.insert(info.keyword.toByteArray(), info.command);
        return all;
    }();
    const auto found =
        byKeyword.constFind(QByteArray::fromRawData(keyword.data(), keyword.size()));
    return found != byKeyword.constEnd() ? std::optional<Command>(*found) : std::nullopt;
}

} // namespace kirano

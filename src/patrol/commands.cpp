#include "patrol/commands.h"

namespace kirano {

std::optional<Command> commandOf(QByteArrayView keyword) {
    for (const CommandInfo &info : vocabulary::kCommands) {
        if (keyword == info.keyword)
            return info.command;
    }
    return std::nullopt;
}

} // namespace kirano

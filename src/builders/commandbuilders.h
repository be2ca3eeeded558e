#pragma once
// The builder behind each context-menu item of the command vocabulary: one
// switch over every command, so that a command cannot be added without the
// function that builds it.

#include "builders/buildcontext.h"
#include "patrol/commands.h"

namespace kirano {

using Builder = std::optional<PatrolEntry> (*)(BuildContext &);

// The builder of the command's menu item `item` (commandInfo().menuItems);
// nothing for an item the command does not have.
Builder builderOf(Command command, int item = 0);

} // namespace kirano

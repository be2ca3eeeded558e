#include "builders/editentry.h"
#include "builders/commandbuilders.h"

namespace kirano {

namespace {

// The builder whose questions change an entry of the command; none for a
// command that asks nothing. A download is changed through its list where
// the list was captured, else by its number, as "ＤＬダウンロード（リスト）"
// builds it.
Builder editorOf(Command command) {
    switch (command) {
    case Command::Mesread:
    case Command::Mesup:
    case Command::Mesrc:
    case Command::Dltitleb:
    case Command::Dldown:
    case Command::Mailuptxt:
    case Command::Mailupbin:
    case Command::New:
    case Command::Patioread:
    case Command::Patioup:
    case Command::Patiorc:
    case Command::Bbsup:
        return builderOf(command);
    case Command::Bill:
    case Command::Myforum:
    case Command::Newtitle:
    case Command::Mestitlea:
    case Command::Dltitlea:
        return nullptr;
    }
    return nullptr;
}

} // namespace

bool canEditInPlace(const PatrolEntry &entry) {
    const std::optional<Command> command = commandOf(entry.command);
    return command && editorOf(*command);
}

std::optional<PatrolEntry> editInPlace(BuildContext &context) {
    if (!context.editing || !canEditInPlace(*context.editing))
        return std::nullopt;
    return editorOf(*commandOf(context.editing->command))(context);
}

} // namespace kirano

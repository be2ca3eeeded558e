#include "builders/editentry.h"
#include "builders/accountbuilders.h"
#include "builders/forumbuilders.h"
#include "builders/patiobuilders.h"

namespace kirano {

namespace {

using Builder = std::optional<PatrolEntry> (*)(BuildContext &);

// The builder whose questions change an entry of the command; none for a
// command that asks nothing. A download is changed through its list where
// the list was captured, else by its number, as "ＤＬダウンロード（リスト）"
// builds it.
Builder editorOf(Command command) {
    switch (command) {
    case Command::Mesread:
        return buildMesread;
    case Command::Mesup:
        return buildMesup;
    case Command::Mesrc:
        return buildMesrc;
    case Command::Dltitleb:
        return buildDltitleb;
    case Command::Dldown:
        return buildDldownFromList;
    case Command::Mailuptxt:
        return buildMailuptxt;
    case Command::Mailupbin:
        return buildMailupbin;
    case Command::New:
        return buildNew;
    case Command::Patioread:
        return buildPatioread;
    case Command::Patioup:
        return buildPatioup;
    case Command::Patiorc:
        return buildPatiorc;
    case Command::Bbsup:
        return buildBbsup;
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

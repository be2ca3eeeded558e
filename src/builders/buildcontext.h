#pragma once
// What a command builder reads: the user's answers through the prompts, the
// weekday choice, the folders, and the browser's selection as it stood when
// the menu item was chosen.

#include "patrol/commands.h"
#include "patrol/patrolentry.h"
#include "store/prompts.h"
#include "store/selection.h"
#include "store/settingsfile.h"

#include <QByteArray>
#include <functional>
#include <optional>

namespace kirano {

// The selection's fields (forumCode, roomRow ...) are the context's own; the
// main window copies the browser's selection in.
struct BuildContext : BrowserSelection {
    BuildContext(Prompts &prompts, std::function<std::optional<QByteArray>()> readDays,
                 SettingsFolders folders)
        : prompts(prompts), readDays(std::move(readDays)), folders(std::move(folders)) {}

    Prompts &prompts;
    // ReadDays behind the hasNoDays (noDaysFlag) gate: the days text, or nothing once
    // "曜日が選択されていません" has been shown.
    std::function<std::optional<QByteArray>()> readDays;
    SettingsFolders folders;
    // An entry being changed in place, as it stands. The builder of its
    // command then asks its questions again, each starting from the entry's
    // value (the file dialogs and the chooser where it points), under the
    // same rules; its days and what it acts on (forum, patio, BBS category)
    // stay. A Cancel in any question stops the change.
    std::optional<PatrolEntry> editing{};
};

// Protocol steps shared by every builder: all fields "0", the days read
// first (nothing when none is chosen), then the command's keyword. When
// editing, the entry as it stands, days and all.
std::optional<PatrolEntry> startEntry(BuildContext &context, Command command);

// The entry's value of a field (1 to 4) while editing; empty otherwise.
QByteArray editedValue(const BuildContext &context, int field);

// The shared open-file dialog (all files, empty name, folder, title). The
// chosen path as bytes; nothing on Cancel, for a file that must exist and
// does not, or after a message for a path the code page cannot hold. With a
// `current` path, the dialog starts in its folder (when that is one) with
// its name.
std::optional<QByteArray> askFile(BuildContext &context, const QString &title,
                                  const QByteArray &folder, bool mustExist,
                                  const QByteArray &current = QByteArray());

// The entry with its path parameter set from the open-file dialog
// (askFile), as the command vocabulary says: a log to write, or a file to
// send that must exist, picked starting in the command's folder. Nothing when
// there is no entry or no file.
std::optional<PatrolEntry> withPath(std::optional<PatrolEntry> entry, BuildContext &context,
                                    const QString &title);

// An input box with an empty initial text; nothing for Cancel or an empty
// answer, or after a message for a character the code page cannot hold.
// When editing, an input query starting from the value of `field` (1 to 4),
// so that Cancel is told from an answer left as it was.
std::optional<QByteArray> askText(BuildContext &context, const QString &caption,
                                  const QString &prompt, int field);

// askText for a number (a count, a download number, a date of digits).
// Numbers are written in half-width digits, as the autopilot reads them: an
// answer holding a full-width digit (０ to ９) stops the command with a
// message that says so, and nothing is stored.
std::optional<QByteArray> askNumber(BuildContext &context, const QString &caption,
                                    const QString &prompt, int field);

// An input query; nothing for Cancel or an empty text. An answer left as
// shown gives back `initial` byte for byte.
std::optional<QByteArray> queryText(BuildContext &context, const QString &caption,
                                    const QString &prompt, const QByteArray &initial);

} // namespace kirano

#pragma once
// The command vocabulary: the seventeen keywords the autopilot understands,
// what each one's fields hold, how its row reads in the patrol list and the
// menu items that build it. Kirano's display rows and builders and the
// autopilot's check and run all read this one table.

#include "store/settingsfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <optional>

namespace kirano {

enum class Command : quint8 {
    Bill,
    Myforum,
    Mestitlea,
    Dltitlea,
    Mesread,
    Mesup,
    Mailuptxt,
    Mailupbin,
    Mesrc,
    Dltitleb,
    Dldown,
    New,
    Patioread,
    Patioup,
    Patiorc,
    Bbsup,
    Newtitle,
};
inline constexpr int kCommandCount = 17;

// Every command, named once more. The build treats a switch that leaves an
// enumerator out as an error, so a command added above stops the build here
// (and at every other switch over the commands); counting what this names
// then ties kCommandCount, and through it the table below, to the enum.
constexpr bool isCommand(Command command) {
    switch (command) {
    case Command::Bill:
    case Command::Myforum:
    case Command::Mestitlea:
    case Command::Dltitlea:
    case Command::Mesread:
    case Command::Mesup:
    case Command::Mailuptxt:
    case Command::Mailupbin:
    case Command::Mesrc:
    case Command::Dltitleb:
    case Command::Dldown:
    case Command::New:
    case Command::Patioread:
    case Command::Patioup:
    case Command::Patiorc:
    case Command::Bbsup:
    case Command::Newtitle:
        return true;
    }
    return false;
}

constexpr int commandsNamed() {
    int named = 0;
    for (int value = 0; value <= 0xff; ++value)
        named += isCommand(static_cast<Command>(value)) ? 1 : 0;
    return named;
}
static_assert(commandsNamed() == kCommandCount, "kCommandCount counts every command");

// Where a command acts: the whole account, one forum, or one patio.
enum class Target : quint8 { Account, Forum, Patio };

// What one parameter field holds.
enum class Param : quint8 {
    Unused,         // "0"
    ForumCode,      // the forum's code from the forum list
    RoomNumber,     // a conference room, from 1
    LibraryNumber,  // a library, from 1
    DownloadNumber, // a file of the library, from 1
    UnreadCount,    // 0 to 999, as typed
    ReadCount,      // as typed
    SinceDate,      // YYMMDD, as typed
    LogFile,        // full path of a file the command writes
    SendFile,       // full path of a file the command posts or sends
    DownloadName,   // the name a download is saved as, in a download folder
    Subject,        // of a binary mail
    RecipientId,    // of a binary mail, in capitals
    BbsCategory,    // "2" to "9"
    BbsSubNumber,   // "1" to "7" under category 5, else "0"
    PatioId,
    PatioPassword, // stored in the entry, never shown
};

// One of the first three columns of an entry's row in the patrol list.
// `field` and `second` count the parameters from 1 (PatrolEntry::field).
struct DisplayColumn {
    enum Kind : quint8 {
        Empty,
        Text,     // `text`
        Field,    // the parameter, then `text`
        FileName, // the file-name part of the parameter
        Numbered, // the parameter as a whole integer in "%2d", then `text`
        Joined,   // the parameter, `separator`, the second one, then `text`
    };
    Kind kind = Empty;
    int field = 0;
    int second = 0;
    const char *separator = "";
    const char16_t *text = u"";
};

struct CommandInfo {
    Command command;
    QByteArrayView keyword; // compared byte for byte, case-sensitive
    Target target;
    std::array<Param, 4> params;
    // The settings folder of the command's path parameter: where the dialog
    // that picks it starts. Count for none (a download's folder goes by the
    // file's extension).
    SettingsFolders::Folder folder;
    std::array<DisplayColumn, 3> display;
    // The object names of the context-menu items that build the command.
    std::array<const char *, 2> menuItems;
};

namespace vocabulary {

using P = Param;
using F = SettingsFolders;
using D = DisplayColumn;

constexpr D text(const char16_t *t) {
    return D{D::Text, 0, 0, "", t};
}
constexpr D field(int f, const char16_t *then = u"") {
    return D{D::Field, f, 0, "", then};
}
constexpr D fileName(int f) {
    return D{D::FileName, f, 0, "", u""};
}
constexpr D numbered(int f, const char16_t *then) {
    return D{D::Numbered, f, 0, "", then};
}
constexpr D joined(int f, const char *separator, int second, const char16_t *then = u"") {
    return D{D::Joined, f, second, separator, then};
}
constexpr D empty() {
    return D{};
}
constexpr std::array<Param, 4> unused{P::Unused, P::Unused, P::Unused, P::Unused};

// In the order the display rows compare the keywords.
inline constexpr std::array<CommandInfo, kCommandCount> kCommands{{
    {Command::Bill,
     "bill",
     Target::Account,
     unused,
     F::Count,
     {text(u"利用料金情報"), empty(), empty()},
     {"N15"}},
    {Command::Myforum,
     "myforum",
     Target::Account,
     unused,
     F::Count,
     {text(u"フォーラムリスト取得"), empty(), empty()},
     {"N18"}},
    {Command::Mestitlea,
     "mestitlea",
     Target::Forum,
     {P::ForumCode, P::Unused, P::Unused, P::Unused},
     F::Count,
     {field(1), text(u"会議室タイトル（大）を取得"), empty()},
     {"N19"}},
    {Command::Dltitlea,
     "dltitlea",
     Target::Forum,
     {P::ForumCode, P::Unused, P::Unused, P::Unused},
     F::Count,
     {field(1), text(u"ＤＬタイトル（大）を取得"), empty()},
     {"N20"}},
    {Command::Mesread,
     "mesread",
     Target::Forum,
     {P::ForumCode, P::RoomNumber, P::LogFile, P::Unused},
     F::Log,
     {field(1), numbered(2, u"番会議室を読み込み"), fileName(3)},
     {"N6"}},
    {Command::Mesup,
     "mesup",
     Target::Forum,
     {P::ForumCode, P::RoomNumber, P::SendFile, P::Unused},
     F::TextUpload,
     {field(1), numbered(2, u"番会議室に書き込み"), fileName(3)},
     {"N7"}},
    {Command::Mailuptxt,
     "mailuptxt",
     Target::Account,
     {P::SendFile, P::Unused, P::Unused, P::Unused},
     F::BinaryUpload,
     {text(u"テキストメール送信"), empty(), fileName(1)},
     {"N16"}},
    {Command::Mailupbin,
     "mailupbin",
     Target::Account,
     {P::SendFile, P::Subject, P::RecipientId, P::Unused},
     F::BinaryUpload,
     {text(u"バイナリメール送信"), joined(2, "  ", 3), fileName(1)},
     {"N17"}},
    {Command::Mesrc,
     "mesrc",
     Target::Forum,
     {P::ForumCode, P::RoomNumber, P::UnreadCount, P::Unused},
     F::Count,
     {field(1), numbered(2, u"番会議室の未読"), field(3)},
     {"N8"}},
    {Command::Dltitleb,
     "dltitleb",
     Target::Forum,
     {P::ForumCode, P::LibraryNumber, P::SinceDate, P::Unused},
     F::Count,
     {field(1), numbered(2, u"番ＬＩＢのタイトルを取得"), field(3, u"以降")},
     {"N9"}},
    {Command::Dldown,
     "dldown",
     Target::Forum,
     {P::ForumCode, P::LibraryNumber, P::DownloadNumber, P::DownloadName},
     F::Count,
     {field(1), joined(2, "-", 3, u"をダウンロード"), fileName(4)},
     {"N10", "N26"}},
    {Command::New,
     "new",
     Target::Account,
     {P::LogFile, P::Unused, P::Unused, P::Unused},
     F::Log,
     {text(u"お知らせ"), empty(), fileName(1)},
     {"N11"}},
    {Command::Patioread,
     "patioread",
     Target::Patio,
     {P::PatioId, P::PatioPassword, P::LogFile, P::Unused},
     F::Log,
     {field(1), text(u"パティオ読み込み"), fileName(3)},
     {"N21"}},
    {Command::Patioup,
     "patioup",
     Target::Patio,
     {P::PatioId, P::PatioPassword, P::SendFile, P::Unused},
     F::TextUpload,
     {field(1), text(u"パティオ書き込み"), fileName(3)},
     {"N22"}},
    {Command::Patiorc,
     "patiorc",
     Target::Patio,
     {P::PatioId, P::PatioPassword, P::ReadCount, P::Unused},
     F::Count,
     {field(1), text(u"パティオの既読"), field(3)},
     {"N23"}},
    {Command::Bbsup,
     "bbsup",
     Target::Account,
     {P::BbsCategory, P::BbsSubNumber, P::SendFile, P::Unused},
     F::TextUpload,
     {text(u"掲示板書き込み"), joined(1, "-", 2), fileName(3)},
     {"N29"}},
    {Command::Newtitle,
     "newtitle",
     Target::Account,
     unused,
     F::Count,
     {text(u"お知らせタイトル取得"), empty(), empty()},
     {"N12"}},
}};

constexpr bool inEnumOrder() {
    for (int i = 0; i < kCommandCount; ++i) {
        if (static_cast<int>(kCommands[i].command) != i)
            return false;
    }
    return true;
}
static_assert(inEnumOrder(), "the table holds each command at its own place");

} // namespace vocabulary

constexpr const CommandInfo &commandInfo(Command command) {
    return vocabulary::kCommands[static_cast<int>(command)];
}

// The keyword's command; nothing for a text outside the vocabulary.
std::optional<Command> commandOf(QByteArrayView keyword);

inline QByteArray keywordOf(Command command) {
    return commandInfo(command).keyword.toByteArray();
}

// The parameter (1 to 4) that holds `role`; 0 when the command has none.
constexpr int paramWith(Command command, Param role) {
    const std::array<Param, 4> &params = commandInfo(command).params;
    for (int i = 0; i < 4; ++i) {
        if (params[i] == role)
            return i + 1;
    }
    return 0;
}

} // namespace kirano

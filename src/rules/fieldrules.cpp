#include "rules/fieldrules.h"
#include "store/bbscategories.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <limits>

namespace kirano::rules {

namespace {

bool isPlainFileName(const QByteArray &name, const QString &folder, const NameMax &nameMax) {
    // The bytes' own reading, never a byte scan: "x\x81/" decodes to a
    // replacement character and a real '/'.
    const QString shown = text::decode(name);
    if (name.isEmpty() || shown == u"." || shown.contains(u"..") || shown.contains(QChar(0xFFFD)))
        return false;
    for (QChar separator : {u'/', u'\\', u':'}) {
        if (shown.contains(separator))
            return false;
    }
    // Names the code page cannot hold would all come out as one file.
    if (text::encodeExact(shown) != name)
        return false;
#ifdef Q_OS_WIN
    return shown.size() <= (nameMax ? nameMax(folder) : text::nameMaxIn(folder));
#else
    return QFile::encodeName(shown).size() <= (nameMax ? nameMax(folder) : text::nameMaxIn(folder));
#endif
}

} // namespace

std::optional<QString> downloadNameProblem(const SettingsFolders &folders, const QByteArray &name,
                                           const NameMax &nameMax) {
    if (isPlainFileName(name, text::nativePath(downloadFolder(folders, name)), nameMax))
        return std::nullopt;
    return QStringLiteral(u"保存するファイル名「%1」が正しくありません").arg(text::decode(name));
}

namespace {

QString shown(const QByteArray &field) {
    return text::decode(field);
}

bool inRange(const QByteArray &field, qint32 low, qint32 high) {
    const std::optional<qint32> n = text::strictInteger(field);
    return n && *n >= low && *n <= high;
}

// YYMMDD as a year, a month and a day; nothing unless it is six digits.
std::optional<std::array<int, 3>> sinceDateParts(const QByteArray &text) {
    if (text.size() != 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto twoDigits = [&](int at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
    const int yy = twoDigits(0);
    return std::array<int, 3>{yy >= 70 ? 1900 + yy : 2000 + yy, twoDigits(2), twoDigits(4)};
}

// Every check of a library's titles asks: no date is made for it.
bool isSinceDate(const QByteArray &text) {
    const std::optional<std::array<int, 3>> parts = sinceDateParts(text);
    return parts && QDate::isValid((*parts)[0], (*parts)[1], (*parts)[2]);
}

} // namespace

qint32 roomOrLibraryNumber(const PatrolEntry &entry) {
    return text::strictInteger(entry.param2).value_or(0);
}

QStringList fieldProblems(const PatrolEntry &e, const SettingsFolders &folders,
                          const NameRule &nameRule) {
    const std::optional<Command> command = commandOf(e.command);
    if (!command)
        return {QStringLiteral(u"命令「%1」はありません").arg(shown(e.command))};
    return fieldProblems(e, *command, folders, nameRule);
}

QStringList fieldProblems(const PatrolEntry &e, Command command, const SettingsFolders &folders,
                          const NameRule &nameRule) {
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    // Field by field, as the vocabulary says what each holds. Rooms,
    // libraries and download numbers start at 1; the display rows already
    // refuse what is no whole number.
    QStringList problems;
    const std::array<Param, 4> &params = commandInfo(command).params;
    for (int i = 0; i < 4; ++i) {
        const QByteArray &value = e.field(i + 1);
        switch (params[i]) {
        case Param::RoomNumber:
            if (!inRange(value, 1, kMax))
                problems << QStringLiteral(u"会議室番号「%1」が正しくありません").arg(shown(value));
            break;
        case Param::LibraryNumber:
            if (!inRange(value, 1, kMax))
                problems << QStringLiteral(u"ライブラリィ番号「%1」が正しくありません")
                                .arg(shown(value));
            break;
        case Param::DownloadNumber:
            if (!inRange(value, 1, kMax))
                problems << QStringLiteral(u"ダウンロード番号「%1」が正しくありません")
                                .arg(shown(value));
            break;
        case Param::DownloadName:
            if (std::optional<QString> name =
                    nameRule ? nameRule(value) : downloadNameProblem(folders, value))
                problems << *name;
            break;
        case Param::UnreadCount:
            if (!inRange(value, 0, 999))
                problems << QStringLiteral(u"未読数「%1」が正しくありません").arg(shown(value));
            break;
        case Param::SinceDate:
            if (!isSinceDate(value))
                problems << QStringLiteral(u"日付「%1」が正しくありません (例 980101)")
                                .arg(shown(value));
            break;
        case Param::ReadCount:
            if (!inRange(value, 0, kMax))
                problems << QStringLiteral(u"既読数「%1」が数ではありません").arg(shown(value));
            break;
        case Param::Subject:
            if (value.isEmpty())
                problems << QStringLiteral(u"題名がありません");
            break;
        case Param::RecipientId:
            if (value.isEmpty())
                problems << QStringLiteral(u"送り先ＩＤがありません");
            break;
        case Param::BbsCategory: {
            // The category and its sub-number are one choice of the board.
            const QByteArray &sub = e.field(paramWith(command, Param::BbsSubNumber));
            const bool known = std::any_of(
                kBbsCategories.begin(), kBbsCategories.end(),
                [&](const BbsCategory &c) { return value == c.number && sub == c.subNumber; });
            if (!known)
                problems << QStringLiteral(u"掲示板の分類「%1-%2」はありません")
                                .arg(shown(value), shown(sub));
            break;
        }
        case Param::Unused:
        case Param::ForumCode:
        case Param::LogFile:
        case Param::SendFile:
        case Param::BbsSubNumber: // with its category
        case Param::PatioId:
        case Param::PatioPassword:
            break;
        }
    }
    return problems;
}

std::optional<QDate> parseSinceDate(const QByteArray &text) {
    if (!isSinceDate(text))
        return std::nullopt;
    const std::array<int, 3> parts = *sinceDateParts(text);
    return QDate(parts[0], parts[1], parts[2]);
}

QByteArray downloadFolder(const SettingsFolders &folders, const QByteArray &fileName) {
    const QByteArray upper = text::asciiUpper(fileName);
    const bool isText = upper.endsWith(".TXT") || upper.endsWith(".DOC");
    return isText ? folders.textDownloadFolder() : folders.binaryDownloadFolder();
}

} // namespace kirano::rules

#include "rules/listrules.h"
#include "patrol/displayrow.h"
#include "patrol/weekdays.h"
#include "store/bbscategories.h"
#include "store/datafolder.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <limits>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kirano::autopilot {

QString entryLabel(int position, const PatrolEntry &entry) {
    // A row the display rules refuse is named by its raw fields.
    const std::optional<DisplayRow> row = BuildDisplayRow(entry);
    const QByteArrayList columns = row ? QByteArrayList{row->column1, row->column2, row->column3}
                                       : QByteArrayList{entry.command, entry.param1, entry.param2};
    QStringList shown;
    for (const QByteArray &column : columns) {
        if (!column.isEmpty())
            shown.append(text::decode(column));
    }
    return QStringLiteral(u"%1番目 [%2]").arg(position).arg(shown.join(QStringLiteral("  ")));
}

QByteArray dateLine(const QDateTime &when) {
    return text::bytesOf(u"データ取得日 ") +
           when.toString(QStringLiteral("yy/MM/dd HH:mm")).toLatin1();
}

QString pathIn(const QByteArray &folder, const QByteArray &name) {
    return text::nativePath(folder + name);
}

QString shownName(const QByteArray &path) {
    return text::decode(text::fileNamePart(path));
}

QString noNoticeSelection(const SettingsFolders &folders) {
    return QStringLiteral(u"読むお知らせを選んだ %1 がありません")
        .arg(shownName(DataFolder(folders.dataFolder()).noticeSelection()));
}

std::optional<QString> pathProblem(const QString &path) {
    if (text::encodeExact(path))
        return std::nullopt;
    return QStringLiteral(
               u"パス %1 は Shift_JIS で表せません (別の名前に変わる文字か改行を含みます)")
        .arg(path);
}

qsizetype nameMaxIn(const QString &folder) {
    constexpr qsizetype kUsual = 255;
#ifdef Q_OS_UNIX
    const long max = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return max > 0 ? qsizetype(max) : kUsual;
#else
    Q_UNUSED(folder);
    return kUsual;
#endif
}

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
    return shown.size() <= (nameMax ? nameMax(folder) : nameMaxIn(folder));
#else
    return QFile::encodeName(shown).size() <= (nameMax ? nameMax(folder) : nameMaxIn(folder));
#endif
}

} // namespace

std::optional<QString> downloadNameProblem(const SettingsFolders &folders, const QByteArray &name,
                                           const NameMax &nameMax) {
    if (isPlainFileName(name, text::nativePath(downloadFolder(folders, name)), nameMax))
        return std::nullopt;
    return QStringLiteral(u"保存するファイル名「%1」が正しくありません").arg(text::decode(name));
}

QStringList settingsProblems(const QString &settingsPath, const SettingsFolders &folders) {
    // The settings file holds three flag lines, then the eight folders.
    constexpr int kFirstFolderLine = 4;
    const QString separators = QStringLiteral("/") + QDir::separator();
    QStringList problems;
    for (int i = 0; i < SettingsFolders::Count; ++i) {
        const QString where = QStringLiteral(u"設定ファイル %1 の %2 行目")
                                  .arg(settingsPath)
                                  .arg(kFirstFolderLine + i);
        const QString folder = text::nativePath(folders.folders[i]);
        if (folder.isEmpty())
            problems << where + QStringLiteral(u": フォルダがありません");
        else if (!separators.contains(folder.back()))
            problems << where + QStringLiteral(u": フォルダ「%1」が %2 で終わっていません")
                                    .arg(folder, QDir::separator());
        else if (!QFileInfo(folder).isDir())
            problems << where + QStringLiteral(u": フォルダ「%1」がありません").arg(folder);
    }
    return problems;
}

text::IoError cannotWrite(const QString &path, const text::IoError &error) {
    return text::IoError(text::cannotCreateText(path) + QStringLiteral(" (") + error.text() + u')',
                         error.code());
}

QList<WrittenFile> filesWritten(const PatrolEntry &e, Command command,
                                const SettingsFolders &folders) {
    const DataFolder data(folders.dataFolder());
    QList<WrittenFile> written;
    if (commandInfo(command).target == Target::Forum)
        written.append({data.topPage(e.param1), WrittenFile::Captured});
    switch (command) {
    case Command::Bill:
        written.append({data.fees(), WrittenFile::Captured});
        break;
    case Command::Myforum:
        written.append({data.forumList(), WrittenFile::Captured});
        break;
    case Command::Newtitle:
        written.append({data.notices(), WrittenFile::Captured});
        break;
    case Command::Mestitlea:
        written.append({data.rooms(e.param1), WrittenFile::Captured});
        break;
    case Command::Dltitlea:
        written.append({data.libraries(e.param1), WrittenFile::Captured});
        break;
    case Command::Dltitleb:
        written.append(
            {data.libraryFiles(e.param1, roomOrLibraryNumber(e)), WrittenFile::Captured});
        break;
    case Command::Dldown:
        written.append({downloadFolder(folders, e.param4) + e.param4, WrittenFile::Download});
        break;
    default:
        if (const int log = paramWith(command, Param::LogFile))
            written.append({e.field(log), WrittenFile::Log});
        break;
    }
    return written;
}

QList<QByteArray> sessionFilesWritten(const SettingsFolders &folders) {
    return {DataFolder(folders.dataFolder()).warnings(), runRecord(folders.autopilotFolder())};
}

QStringList sessionProblems(const SettingsFolders &folders) {
    QStringList problems;
    for (const QByteArray &file : sessionFilesWritten(folders)) {
        const QString path = text::nativePath(file);
        const QFileInfo info(path);
        if (info.exists() && !info.isFile())
            problems << cannotWrite(path, text::notRegularFile()).text();
    }
    return problems;
}

QString sendFileProblem(const QByteArray &file, int code) {
    const QString shown = text::decode(file);
    if (code == ENOENT)
        return QStringLiteral(u"送るファイル「%1」がありません").arg(shown);
    if (code == ENODEV || code == EISDIR)
        return QStringLiteral(u"送るファイル「%1」は通常のファイルではありません").arg(shown);
    return QStringLiteral(u"送るファイル「%1」を読めません (%2)")
        .arg(shown, text::IoError(code).text());
}

bool isWritableFolder(const QString &folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

namespace {

QString shown(const QByteArray &field) {
    return text::decode(field);
}

bool inRange(const QByteArray &field, qint32 low, qint32 high) {
    const std::optional<qint32> n = text::strictInteger(field);
    return n && *n >= low && *n <= high;
}

} // namespace

namespace {

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
        default:
            break;
        }
    }
    return problems;
}

std::optional<QString> daysProblem(const QByteArray &days) {
    if (days.isEmpty())
        return QStringLiteral(u"曜日がありません");
    if (!parseDays(days))
        return QStringLiteral(u"曜日「%1」が正しくありません").arg(shown(days));
    return std::nullopt;
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

} // namespace kirano::autopilot

#include "builders/forumbuilders.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

namespace kirano {

namespace {

const QString kLibraryCaption = QStringLiteral(u"ライブラリィ");
const QString kFileNamePrompt = QStringLiteral(u"ファイル名");

// Keyword, then the selected forum's code.
std::optional<PatrolEntry> startForumEntry(BuildContext &context, Command command) {
    std::optional<PatrolEntry> entry = startEntry(context, command);
    if (!entry || !context.forumCode)
        return std::nullopt;
    entry->param1 = *context.forumCode;
    return entry;
}

// The leading number of the row's first `width` bytes; nothing for no row
// or 0.
std::optional<qint32> numberOfRow(const std::optional<QByteArray> &row, int width) {
    if (!row)
        return std::nullopt;
    const qint32 number = text::leadingNumber(text::bytesAt(*row, 1, width));
    if (number == 0)
        return std::nullopt;
    return number;
}

// Forum code, then the room number (bytes 1 to 2 of the room row).
std::optional<PatrolEntry> startRoomEntry(BuildContext &context, Command command) {
    std::optional<PatrolEntry> entry = startForumEntry(context, command);
    if (!entry)
        return std::nullopt;
    std::optional<qint32> room = numberOfRow(context.roomRow, 2);
    if (!room)
        return std::nullopt;
    entry->param2 = text::decimal(*room);
    return entry;
}

// Forum code, then the library number (bytes 1 to 4 of the library row).
std::optional<PatrolEntry> startLibraryEntry(BuildContext &context, Command command) {
    std::optional<PatrolEntry> entry = startForumEntry(context, command);
    if (!entry)
        return std::nullopt;
    std::optional<qint32> library = numberOfRow(context.libraryRow, 4);
    if (!library)
        return std::nullopt;
    entry->param2 = text::decimal(*library);
    return entry;
}

// The download's file name, param4.
std::optional<PatrolEntry> withFileName(std::optional<PatrolEntry> entry, BuildContext &context,
                                        const QByteArray &proposal) {
    std::optional<QByteArray> name = queryText(context, kLibraryCaption, kFileNamePrompt, proposal);
    if (!name)
        return std::nullopt;
    entry->param4 = *name;
    return entry;
}

} // namespace

std::optional<PatrolEntry> buildMestitlea(BuildContext &context) {
    return startForumEntry(context, Command::Mestitlea);
}

std::optional<PatrolEntry> buildDltitlea(BuildContext &context) {
    return startForumEntry(context, Command::Dltitlea);
}

std::optional<PatrolEntry> buildMesread(BuildContext &context) {
    return withPath(startRoomEntry(context, Command::Mesread), context,
                    QStringLiteral(u"ログファイル"));
}

std::optional<PatrolEntry> buildMesup(BuildContext &context) {
    return withPath(startRoomEntry(context, Command::Mesup), context,
                    QStringLiteral(u"発言ファイル"));
}

std::optional<PatrolEntry> buildMesrc(BuildContext &context) {
    std::optional<PatrolEntry> entry = startRoomEntry(context, Command::Mesrc);
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> answer =
        askNumber(context, QStringLiteral(u"会議室"), QStringLiteral(u"未読数入力"));
    if (!answer)
        return std::nullopt;
    std::optional<qint32> count = text::strictInteger(*answer);
    if (!count || *count < 0 || *count > 999) {
        context.prompts.message(QStringLiteral(u"未読数が正しくありません"));
        return std::nullopt;
    }
    entry->param3 = *answer; // as typed: a blank before the digits stays
    return entry;
}

std::optional<PatrolEntry> buildDltitleb(BuildContext &context) {
    std::optional<PatrolEntry> entry = startLibraryEntry(context, Command::Dltitleb);
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> date =
        askNumber(context, kLibraryCaption, QStringLiteral(u"日付（例 980101）"));
    if (!date)
        return std::nullopt;
    entry->param3 = *date;
    return entry;
}

std::optional<PatrolEntry> buildDldown(BuildContext &context) {
    std::optional<PatrolEntry> entry = startLibraryEntry(context, Command::Dldown);
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> answer =
        askNumber(context, kLibraryCaption, QStringLiteral(u"ダウンロード番号"));
    const qint32 number = answer ? text::leadingNumber(*answer) : 0;
    if (number == 0)
        return std::nullopt;
    entry->param3 = text::decimal(number);
    return withFileName(std::move(entry), context, QByteArray());
}

std::optional<PatrolEntry> buildDldownFromList(BuildContext &context) {
    std::optional<PatrolEntry> entry = startLibraryEntry(context, Command::Dldown);
    if (!entry)
        return std::nullopt;
    const QString listPath =
        text::nativePath(DataFolder(context.folders.dataFolder())
                             .libraryFiles(entry->param1, *numberOfRow(context.libraryRow, 4)));
    if (!text::fileExists(listPath)) {
        context.prompts.message(QStringLiteral(u"リストがありません"));
        return buildDldown(context);
    }
    const CapturedRows list = loadCapturedRows(listPath, 4);
    const int chosen = context.prompts.choose(list.rows, list.datePanel);
    if (chosen < 0 || chosen >= list.rows.size())
        return std::nullopt;
    const QByteArray &row = list.rows[chosen];
    const qint32 number = text::leadingNumber(row);
    if (number == 0)
        return std::nullopt;
    entry->param3 = text::decimal(number);
    return withFileName(std::move(entry), context, proposedFileName(row));
}

QByteArray proposedFileName(const QByteArray &row) {
    QByteArray name = text::bytesAt(row, 40, 12);
    qsizetype start = 0;
    qsizetype end = name.size();
    auto blankOrControl = [&name](qsizetype i) {
        const uchar b = static_cast<uchar>(name[i]);
        return b <= ' ' || b == 0x7F;
    };
    while (start < end && blankOrControl(start))
        ++start;
    while (end > start && blankOrControl(end - 1))
        --end;
    return name.mid(start, end - start);
}

} // namespace kirano

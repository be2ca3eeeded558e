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
    if (context.editing)
        return entry; // the same forum
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

// The download's file name, param4.
std::optional<PatrolEntry> withFileName(std::optional<PatrolEntry> entry, BuildContext &context,
                                        const QByteArray &proposal) {
    std::optional<QByteArray> name = queryText(context, kLibraryCaption, kFileNamePrompt, proposal);
    if (!name)
        return std::nullopt;
    entry->param4 = *name;
    return entry;
}

// A room or library number: a row gives it in its first `width` bytes. An
// entry being changed asks it again, starting from its own: a number a row
// of that width could give (1 to 99, 1 to 9999), else `refusal`.
std::optional<qint32> placeNumber(BuildContext &context, const std::optional<QByteArray> &row,
                                  int width, const QString &caption, const QString &prompt,
                                  const QString &refusal) {
    if (!context.editing)
        return numberOfRow(row, width);
    const std::optional<QByteArray> answer = askNumber(context, caption, prompt, 2);
    if (!answer)
        return std::nullopt;
    const std::optional<qint32> number = text::strictInteger(*answer);
    const qint32 most = width == 2 ? 99 : 9999;
    if (!number || *number < 1 || *number > most) {
        context.prompts.message(refusal);
        return std::nullopt;
    }
    return number;
}

// Forum code, then the room number (bytes 1 to 2 of the room row).
std::optional<PatrolEntry> startRoomEntry(BuildContext &context, Command command) {
    std::optional<PatrolEntry> entry = startForumEntry(context, command);
    if (!entry)
        return std::nullopt;
    std::optional<qint32> room =
        placeNumber(context, context.roomRow, 2, QStringLiteral(u"会議室"),
                    QStringLiteral(u"会議室番号"), QStringLiteral(u"会議室番号が正しくありません"));
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
    std::optional<qint32> library = placeNumber(
        context, context.libraryRow, 4, kLibraryCaption, QStringLiteral(u"ライブラリィ番号"),
        QStringLiteral(u"ライブラリィ番号が正しくありません"));
    if (!library)
        return std::nullopt;
    entry->param2 = text::decimal(*library);
    return entry;
}

// The download number typed (N26), then the file name.
std::optional<PatrolEntry> withTypedDownload(std::optional<PatrolEntry> entry,
                                             BuildContext &context) {
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> answer =
        askNumber(context, kLibraryCaption, QStringLiteral(u"ダウンロード番号"), 3);
    const qint32 number = answer ? text::leadingNumber(*answer) : 0;
    if (number == 0)
        return std::nullopt;
    entry->param3 = text::decimal(number);
    return withFileName(std::move(entry), context, editedValue(context, 4));
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
        askNumber(context, QStringLiteral(u"会議室"), QStringLiteral(u"未読数入力"), 3);
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
        askNumber(context, kLibraryCaption, QStringLiteral(u"日付（例 980101）"), 3);
    if (!date)
        return std::nullopt;
    entry->param3 = *date;
    return entry;
}

std::optional<PatrolEntry> buildDldown(BuildContext &context) {
    return withTypedDownload(startLibraryEntry(context, Command::Dldown), context);
}

std::optional<PatrolEntry> buildDldownFromList(BuildContext &context) {
    std::optional<PatrolEntry> entry = startLibraryEntry(context, Command::Dldown);
    if (!entry)
        return std::nullopt;
    const QString listPath =
        text::nativePath(DataFolder(context.folders.dataFolder())
                             .libraryFiles(entry->param1, text::leadingNumber(entry->param2)));
    if (!text::fileExists(listPath)) {
        // A change asks for the number as N26 does, without the word: the
        // user did not ask for the list.
        if (context.editing)
            return withTypedDownload(std::move(entry), context);
        context.prompts.message(QStringLiteral(u"リストがありません"));
        return buildDldown(context);
    }
    const CapturedRows list = loadCapturedRows(listPath, 4);
    // A change starts at the row of the entry's file.
    int start = -1;
    if (context.editing) {
        const qint32 current = text::leadingNumber(context.editing->param3);
        for (int i = 0; i < list.rows.size() && start < 0; ++i)
            start = current != 0 && text::leadingNumber(list.rows[i]) == current ? i : -1;
    }
    const int chosen = context.prompts.choose(list.rows, list.datePanel, start);
    if (chosen < 0 || chosen >= list.rows.size())
        return std::nullopt;
    const QByteArray &row = list.rows[chosen];
    const qint32 number = text::leadingNumber(row);
    if (number == 0)
        return std::nullopt;
    // The same file keeps the name it is saved under; another is proposed
    // its own.
    const bool sameFile = context.editing && chosen == start;
    entry->param3 = text::decimal(number);
    return withFileName(std::move(entry), context,
                        sameFile ? context.editing->param4 : proposedFileName(row));
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

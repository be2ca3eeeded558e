#include "builders/accountbuilders.h"
#include "store/bbscategories.h"
#include "store/datafolder.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

namespace kirano {

namespace {

const QString kMailCaption = QStringLiteral(u"バイナリメールアップ");

// The selected notices, each without its first 6 bytes, one line each.
bool writeNoticeSelection(BuildContext &context) {
    QList<QByteArray> titles;
    for (const QByteArray &row : context.selectedNotices)
        titles.append(row.mid(6));
    const QString path =
        text::nativePath(DataFolder(context.folders.dataFolder()).noticeSelection());
    if (const text::Result<> written = text::writeLines(path, titles); !written) {
        context.prompts.message(written.error().text());
        return false;
    }
    return true;
}

} // namespace

std::optional<PatrolEntry> buildBill(BuildContext &context) {
    return startEntry(context, Command::Bill);
}

std::optional<PatrolEntry> buildMyforum(BuildContext &context) {
    return startEntry(context, Command::Myforum);
}

std::optional<PatrolEntry> buildNewtitle(BuildContext &context) {
    return startEntry(context, Command::Newtitle);
}

std::optional<PatrolEntry> buildMailuptxt(BuildContext &context) {
    // Both mail commands start in the binary upload folder.
    return withPath(startEntry(context, Command::Mailuptxt), context,
                    QStringLiteral(u"テキストメール用ファイル"));
}

std::optional<PatrolEntry> buildMailupbin(BuildContext &context) {
    std::optional<PatrolEntry> entry = withPath(startEntry(context, Command::Mailupbin), context,
                                                QStringLiteral(u"バイナリメール用ファイル"));
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> subject = askText(context, kMailCaption, QStringLiteral(u"題名"), 2);
    if (!subject)
        return std::nullopt;
    entry->param2 = *subject;
    std::optional<QByteArray> recipient =
        askText(context, kMailCaption, QStringLiteral(u"送り先ＩＤ"), 3);
    if (!recipient)
        return std::nullopt;
    entry->param3 = text::asciiUpper(*recipient);
    return entry;
}

std::optional<PatrolEntry> buildNew(BuildContext &context) {
    std::optional<PatrolEntry> entry =
        withPath(startEntry(context, Command::New), context, QStringLiteral(u"ログファイル"));
    // A change of the log file leaves the notices chosen as they are.
    if (!entry || (!context.editing && !writeNoticeSelection(context)))
        return std::nullopt;
    return entry;
}

std::optional<PatrolEntry> buildBbsup(BuildContext &context) {
    std::optional<PatrolEntry> entry = startEntry(context, Command::Bbsup);
    if (!entry)
        return std::nullopt;
    if (!context.editing && context.bbsRow >= 0 &&
        context.bbsRow < static_cast<int>(kBbsCategories.size())) {
        const BbsCategory &category = kBbsCategories[context.bbsRow];
        entry->param1 = category.number;
        entry->param2 = category.subNumber;
    }
    return withPath(std::move(entry), context, QStringLiteral(u"掲示板アップ用ファイル"));
}

} // namespace kirano

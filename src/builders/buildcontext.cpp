#include "builders/buildcontext.h"
#include "text/files.h"
#include "text/sjis.h"

#include <algorithm>

namespace kirano {

std::optional<PatrolEntry> startEntry(BuildContext &context, Command command) {
    PatrolEntry entry = PatrolEntry::zeroed();
    std::optional<QByteArray> days = context.readDays();
    if (!days)
        return std::nullopt;
    entry.days = *days;
    entry.command = keywordOf(command);
    return entry;
}

std::optional<QByteArray> askFile(BuildContext &context, const QString &title,
                                  const QByteArray &folder, bool mustExist) {
    std::optional<QString> chosen = context.prompts.openFile({title, text::decode(folder), true});
    if (!chosen || (mustExist && !text::fileExists(*chosen)))
        return std::nullopt;
    return encodeAnswer(context.prompts, *chosen);
}

std::optional<PatrolEntry> withPath(std::optional<PatrolEntry> entry, BuildContext &context,
                                    const QString &title) {
    if (!entry)
        return std::nullopt;
    const Command command = *commandOf(entry->command);
    // A log to write may be a new file; a file to send must be there.
    const int log = paramWith(command, Param::LogFile);
    const int field = log ? log : paramWith(command, Param::SendFile);
    std::optional<QByteArray> file =
        askFile(context, title, context.folders.folders[commandInfo(command).folder], log == 0);
    if (!file)
        return std::nullopt;
    entry->field(field) = *file;
    return entry;
}

std::optional<QByteArray> askText(BuildContext &context, const QString &caption,
                                  const QString &prompt) {
    const QString answer = context.prompts.inputBox(caption, prompt, QString());
    if (answer.isEmpty())
        return std::nullopt;
    return encodeTypedAnswer(context.prompts, answer);
}

std::optional<QByteArray> askNumber(BuildContext &context, const QString &caption,
                                    const QString &prompt) {
    const QString answer = context.prompts.inputBox(caption, prompt, QString());
    if (answer.isEmpty())
        return std::nullopt;
    const bool fullWidthDigit = std::any_of(answer.cbegin(), answer.cend(), [](QChar c) {
        return c.unicode() >= u'０' && c.unicode() <= u'９';
    });
    if (fullWidthDigit) {
        context.prompts.message(QStringLiteral(u"数字は半角で入力してください"));
        return std::nullopt;
    }
    return encodeTypedAnswer(context.prompts, answer);
}

std::optional<QByteArray> queryText(BuildContext &context, const QString &caption,
                                    const QString &prompt, const QByteArray &initial) {
    const QString shown = text::decode(initial);
    std::optional<QString> answer = context.prompts.inputQuery(caption, prompt, shown);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    // Confirmed as shown: the proposal's own bytes, not their screen form.
    if (*answer == shown)
        return initial;
    return encodeTypedAnswer(context.prompts, *answer);
}

} // namespace kirano

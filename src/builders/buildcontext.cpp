#include "builders/buildcontext.h"
#include "text/files.h"
#include "text/sjis.h"

#include "text/numbers.h"

#include <QFileInfo>
#include <algorithm>

namespace kirano {

std::optional<PatrolEntry> startEntry(BuildContext &context, Command command) {
    if (context.editing) {
        // The days stay as the entry has them; the weekday strip is for new
        // entries and "曜日変更".
        if (context.editing->command != keywordOf(command))
            return std::nullopt;
        return context.editing;
    }
    PatrolEntry entry = PatrolEntry::zeroed();
    std::optional<QByteArray> days = context.readDays();
    if (!days)
        return std::nullopt;
    entry.days = *days;
    entry.command = keywordOf(command);
    return entry;
}

QByteArray editedValue(const BuildContext &context, int field) {
    return context.editing && field > 0 ? context.editing->field(field) : QByteArray();
}

std::optional<QByteArray> askFile(BuildContext &context, const QString &title,
                                  const QByteArray &folder, bool mustExist,
                                  const QByteArray &current) {
    OpenFileRequest request{title, text::decode(folder), true, QString()};
    if (!current.isEmpty()) {
        const qsizetype nameAt = text::fileNameStart(current);
        const QString currentFolder = text::decode(current.first(nameAt));
        if (nameAt > 0 && QFileInfo(currentFolder).isDir())
            request.folder = currentFolder;
        request.fileName = text::decode(current.sliced(nameAt));
    }
    std::optional<QString> chosen = context.prompts.openFile(request);
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
        askFile(context, title, context.folders.folders[commandInfo(command).folder], log == 0,
                editedValue(context, field));
    if (!file)
        return std::nullopt;
    entry->field(field) = *file;
    return entry;
}

namespace {

// The answer typed: the input box's, or when editing the input query's
// starting from the field's value (nothing for Cancel). Empty for an empty
// answer.
std::optional<QString> typedAnswer(BuildContext &context, const QString &caption,
                                   const QString &prompt, int field) {
    if (!context.editing)
        return context.prompts.inputBox(caption, prompt, QString());
    return context.prompts.inputQuery(caption, prompt, text::decode(editedValue(context, field)));
}

// The answer's bytes: the field's own when it was left as shown.
std::optional<QByteArray> typedBytes(BuildContext &context, const QString &answer, int field) {
    const QByteArray current = editedValue(context, field);
    if (context.editing && answer == text::decode(current))
        return current;
    return encodeTypedAnswer(context.prompts, answer);
}

} // namespace

std::optional<QByteArray> askText(BuildContext &context, const QString &caption,
                                  const QString &prompt, int field) {
    const std::optional<QString> answer = typedAnswer(context, caption, prompt, field);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    return typedBytes(context, *answer, field);
}

std::optional<QByteArray> askNumber(BuildContext &context, const QString &caption,
                                    const QString &prompt, int field) {
    const std::optional<QString> typed = typedAnswer(context, caption, prompt, field);
    if (!typed || typed->isEmpty())
        return std::nullopt;
    const QString &answer = *typed;
    const bool fullWidthDigit = std::any_of(answer.cbegin(), answer.cend(), [](QChar c) {
        return c.unicode() >= u'０' && c.unicode() <= u'９';
    });
    if (fullWidthDigit) {
        context.prompts.message(QStringLiteral(u"数字は半角で入力してください"));
        return std::nullopt;
    }
    return typedBytes(context, answer, field);
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

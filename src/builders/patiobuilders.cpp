#include "builders/patiobuilders.h"

namespace kirano {

namespace {

// Keyword, then the selected patio's ID and password (never its name).
std::optional<PatrolEntry> startPatioEntry(BuildContext &context, Command command) {
    std::optional<PatrolEntry> entry = startEntry(context, command);
    if (context.editing)
        return entry; // the same patio
    if (!entry || !context.patioId || !context.patioPassword)
        return std::nullopt;
    entry->param1 = *context.patioId;
    entry->param2 = *context.patioPassword;
    return entry;
}

} // namespace

std::optional<PatrolEntry> buildPatioread(BuildContext &context) {
    return withPath(startPatioEntry(context, Command::Patioread), context,
                    QStringLiteral(u"ログファイル"));
}

std::optional<PatrolEntry> buildPatioup(BuildContext &context) {
    return withPath(startPatioEntry(context, Command::Patioup), context,
                    QStringLiteral(u"パティオ発言ファイル"));
}

std::optional<PatrolEntry> buildPatiorc(BuildContext &context) {
    std::optional<PatrolEntry> entry = startPatioEntry(context, Command::Patiorc);
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> count =
        askNumber(context, QStringLiteral(u"パティオ"), QStringLiteral(u"既読数"), 3);
    if (!count)
        return std::nullopt;
    entry->param3 = *count; // any answer, as typed
    return entry;
}

} // namespace kirano

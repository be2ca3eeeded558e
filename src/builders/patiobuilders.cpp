#include "builders/patiobuilders.h"

namespace kirano {

namespace {

// Keyword, then the selected patio's ID and password (never its name).
std::optional<PatrolEntry> startPatioEntry(BuildContext &context, const char *keyword) {
    std::optional<PatrolEntry> entry = startEntry(context, keyword);
    if (!entry || !context.patioId || !context.patioPassword)
        return std::nullopt;
    entry->param1 = *context.patioId;
    entry->param2 = *context.patioPassword;
    return entry;
}

} // namespace

std::optional<PatrolEntry> buildPatioread(BuildContext &context) {
    return withFile(startPatioEntry(context, "patioread"), context, &PatrolEntry::param3,
                    QStringLiteral(u"ログファイル"), context.folders.logFolder(), false);
}

std::optional<PatrolEntry> buildPatioup(BuildContext &context) {
    return withFile(startPatioEntry(context, "patioup"), context, &PatrolEntry::param3,
                    QStringLiteral(u"パティオ発言ファイル"), context.folders.textUploadFolder(),
                    true);
}

std::optional<PatrolEntry> buildPatiorc(BuildContext &context) {
    std::optional<PatrolEntry> entry = startPatioEntry(context, "patiorc");
    if (!entry)
        return std::nullopt;
    std::optional<QByteArray> count =
        askText(context, QStringLiteral(u"パティオ"), QStringLiteral(u"既読数"));
    if (!count)
        return std::nullopt;
    entry->param3 = *count; // any answer, as typed
    return entry;
}

} // namespace kirano

#include "store/settingsfile.h"
#include "text/lines.h"

namespace kirano {

SettingsFolders SettingsFolders::allSetTo(const QByteArray &folder) {
    SettingsFolders s;
    s.folders.fill(folder);
    return s;
}

namespace {

std::optional<text::LineReader> openSettings(const QString &path, text::IoError *error) {
    std::optional<QByteArray> content = text::readFile(path, error);
    if (!content)
        return std::nullopt;
    return text::LineReader(*content);
}

} // namespace

std::optional<SettingsFolders> readSettingsFolders(const QString &path, text::IoError *error) {
    std::optional<text::LineReader> reader = openSettings(path, error);
    if (!reader)
        return std::nullopt;
    for (int flag = 0; flag < 3; ++flag)
        reader->readLine();
    SettingsFolders result;
    for (QByteArray &folder : result.folders)
        folder = reader->readLine();
    return result;
}

std::optional<SettingsFlags> readSettingsFlags(const QString &path, text::IoError *error) {
    std::optional<text::LineReader> reader = openSettings(path, error);
    if (!reader)
        return std::nullopt;
    auto on = [&reader] { return reader->readLine() == "1"; };
    SettingsFlags flags;
    flags.logoutAfterPatrol = on();
    flags.saveReceivedMail = on();
    flags.receiveBinaryMail = on();
    return flags;
}

std::optional<text::IoError> writeSettings(const QString &path, const SettingsFlags &flags,
                                           const SettingsFolders &folders) {
    auto flagLine = [](bool on) { return on ? QByteArray("1") : QByteArray("0"); };
    QList<QByteArray> lines{flagLine(flags.logoutAfterPatrol), flagLine(flags.saveReceivedMail),
                            flagLine(flags.receiveBinaryMail)};
    for (const QByteArray &folder : folders.folders)
        lines.append(folder);
    return text::writeLines(path, lines);
}

} // namespace kirano

#include "store/settingsfile.h"
#include "text/lines.h"

namespace kirano {

SettingsFolders SettingsFolders::allSetTo(const QByteArray &folder) {
    SettingsFolders s;
    s.folders.fill(folder);
    return s;
}

namespace {

text::Result<text::LineReader> openSettings(const QString &path) {
    text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return content.error();
    return text::LineReader(std::move(*content));
}

} // namespace

text::Result<SettingsFolders> readSettingsFolders(const QString &path) {
    text::Result<text::LineReader> reader = openSettings(path);
    if (!reader)
        return reader.error();
    for (int flag = 0; flag < 3; ++flag)
        reader->readLine();
    SettingsFolders result;
    for (QByteArray &folder : result.folders)
        folder = reader->readLine();
    return result;
}

text::Result<SettingsFlags> readSettingsFlags(const QString &path) {
    text::Result<text::LineReader> reader = openSettings(path);
    if (!reader)
        return reader.error();
    auto on = [&reader] { return reader->readLine() == "1"; };
    SettingsFlags flags;
    flags.logoutAfterPatrol = on();
    flags.saveReceivedMail = on();
    flags.receiveBinaryMail = on();
    return flags;
}

text::Result<> writeSettings(const QString &path, const SettingsFlags &flags,
                             const SettingsFolders &folders) {
    auto flagLine = [](bool on) { return on ? QByteArray("1") : QByteArray("0"); };
    QList<QByteArray> lines{flagLine(flags.logoutAfterPatrol), flagLine(flags.saveReceivedMail),
                            flagLine(flags.receiveBinaryMail)};
    for (const QByteArray &folder : folders.folders)
        lines.append(folder);
    return text::writeLines(path, lines);
}

} // namespace kirano

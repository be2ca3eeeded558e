// The settings file: what is read is written back and reads the same, and a
// written file saves back byte for byte.
#include "fuzzsupport.h"
#include "store/settingsfile.h"

using namespace kirano;
using kirano::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = fuzz::writeScratch("settings.txt", fuzz::input(data, size));
    const text::Result<SettingsFolders> folders = readSettingsFolders(path);
    const text::Result<SettingsFlags> flags = readSettingsFlags(path);
    check(folders.has_value() && flags.has_value(), "a regular file reads");

    const QString copy = fuzz::scratchPath("copy.txt");
    check(writeSettings(copy, *flags, *folders).has_value(), "the settings write");
    const text::Result<SettingsFolders> foldersAgain = readSettingsFolders(copy);
    const text::Result<SettingsFlags> flagsAgain = readSettingsFlags(copy);
    check(foldersAgain && *foldersAgain == *folders, "written folders read back the same");
    check(flagsAgain && flagsAgain->logoutAfterPatrol == flags->logoutAfterPatrol &&
              flagsAgain->saveReceivedMail == flags->saveReceivedMail &&
              flagsAgain->receiveBinaryMail == flags->receiveBinaryMail,
          "written flags read back the same");

    const QByteArray written = fuzz::readScratch(copy);
    const QString second = fuzz::scratchPath("second.txt");
    check(writeSettings(second, *flagsAgain, *foldersAgain).has_value(),
          "the settings write again");
    check(fuzz::readScratch(second) == written, "a written file saves back byte for byte");
    return 0;
}

#include "app/program.h"
#include "app/mainwindow.h"
#include "dialogs/chooserdialog.h"
#include "dialogs/patioeditor.h"
#include "dialogs/settingsdialog.h"

namespace kirano {

Dialogs createDialogs(MainWindow &window, Prompts &prompts) {
    Dialogs dialogs;
    dialogs.chooser = new ChooserDialog(window.windowTitle(), &window);
    dialogs.patioEditor = new PatioEditor(
        prompts, [&window] { return window.windowTitle(); },
        [&window] { return window.patioListPath(); }, &window);
    dialogs.settingsDialog = new SettingsDialog(
        prompts, window.windowTitle(), [&window] { return window.settingsFilePath(); },
        [&window] { return window.folders(); }, &window);
    window.attachDialogs(dialogs.chooser, dialogs.patioEditor, dialogs.settingsDialog);
    return dialogs;
}

} // namespace kirano

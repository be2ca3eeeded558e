#include "app/program.h"
#include "app/mainwindow.h"
#include "dialogs/chooserdialog.h"
#include "dialogs/patioeditor.h"
#include "dialogs/settingsdialog.h"

namespace kirano {

Dialogs createDialogs(TForm1 &form1, Prompts &prompts) {
    Dialogs dialogs;
    dialogs.chooser = new ChooserDialog(form1.windowTitle(), &form1);
    dialogs.patioEditor = new PatioEditor(
        prompts, [&form1] { return form1.windowTitle(); },
        [&form1] { return form1.patioListPath(); }, &form1);
    dialogs.settingsDialog = new SettingsDialog(
        prompts, form1.windowTitle(), [&form1] { return form1.settingsFilePath(); },
        [&form1] { return form1.folders(); }, &form1);
    form1.attachDialogs(dialogs.chooser, dialogs.patioEditor, dialogs.settingsDialog);
    return dialogs;
}

} // namespace kirano

#pragma once

namespace kirano {

class ChooserDialog;
class PatioEditor;
class Prompts;
class SettingsDialog;
class MainWindow;

struct Dialogs {
    ChooserDialog *chooser;
    PatioEditor *patioEditor;
    SettingsDialog *settingsDialog;
};

// After the main window: the chooser, the patio editor and the settings
// dialog, hidden, in that order, each taking the main window's caption.
Dialogs createDialogs(MainWindow &window, Prompts &prompts);

} // namespace kirano

#pragma once
#include "store/settingsfile.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFrame;
class QLabel;
class QPushButton;
class QTreeView;

namespace kirano {

class Prompts;

// TForm4: the three flags and the eight folders. A folder is picked from the
// drive selector and directory tree with its row's "決定"; closing, by any
// means, writes the settings file. It opens at the form's size and may be
// made larger; the tree and the folder rows grow with it.
class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // The main window's caption is copied once; its settings path and folders
    // are read at each showing.
    SettingsDialog(Prompts &prompts, const QString &caption,
                   std::function<QString()> settingsFilePath,
                   std::function<SettingsFolders()> mainFolders, QWidget *parent = nullptr);

    // "決定" of row 0 to 7 (Button2 to Button9, from the table of rows).
    void pickFolder(int row);
    // DriveComboBox1's change: the tree shows the chosen drive, or a
    // message says it is not ready.
    void changeDrive();
    // The dialog's working copy of the eight folders, as its labels show them.
    const SettingsFolders &shownFolders() const { return folders_; }

    // Every way of closing writes the file first, and stays open when that
    // fails.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // Every showing starts from the file and the main window's folders (the
    // form's FormShow).
    void loadSettings();
    // The controls where the form puts them, grown with the dialog.
    void placeControls();
    void openTree();
    void closeTree();
    void setFolder(int row, const QByteArray &folder);
    void showDrive(const QString &root);
    void revealCurrentFolder();
    // The tree's current folder: the one last selected, or the drive's root.
    QString treeFolder() const;

    Prompts &prompts_;
    std::function<QString()> settingsFilePath_;
    std::function<SettingsFolders()> mainFolders_;
    SettingsFolders folders_;
    std::array<QCheckBox *, 3> flagBoxes_{};
    std::array<QLabel *, SettingsFolders::Count> titles_{};
    std::array<QFrame *, SettingsFolders::Count> shapes_{};
    std::array<QLabel *, SettingsFolders::Count> valueLabels_{};
    std::array<QPushButton *, SettingsFolders::Count> pickButtons_{};
    QPushButton *closeButton_ = nullptr;
    QComboBox *driveBox_;                   // DriveComboBox1
    QTreeView *folderTree_;                 // dul1
    QFileSystemModel *treeModel_ = nullptr; // only while shown
    QString driveRoot_;
    // The tree's current folder while it is not shown; empty: the drive's
    // root.
    QString treeFolder_;
    // The tree keeps its current folder in view while Qt fills in and sorts
    // the folders around it, until the user takes the tree in hand.
    bool revealCurrent_ = true;
};

} // namespace kirano

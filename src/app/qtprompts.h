#pragma once
#include "store/prompts.h"

class QWidget;

namespace kirano {

class ChooserDialog;

// The prompts as Qt's own dialogs (not the desktop's native ones, so that
// title, folder, filter, remembered name and silent replacing behave alike
// everywhere). The open and save dialogs are made for each use and gone
// after it: no folder is listed or watched while none is shown, none starts
// from the folder Qt's shared settings remember, and no pop-up of theirs
// outlives them.
class QtPrompts : public Prompts {
  public:
    // Message boxes are centred on the main window once it exists.
    void setWindow(QWidget *window) { window_ = window; }
    void setChooser(ChooserDialog *chooser) { chooser_ = chooser; }

    std::optional<QString> openFile(const OpenFileRequest &request) override;
    std::optional<QString> saveFile(const QString &title, const QString &folder) override;
    void message(const QString &text) override;
    bool confirmYesNo(const QString &text) override;
    bool confirmOkCancel(const QString &text) override;
    QString inputBox(const QString &caption, const QString &prompt,
                     const QString &initial) override;
    std::optional<QString> inputQuery(const QString &caption, const QString &prompt,
                                      const QString &initial) override;
    void beep() override;
    int choose(const QList<QByteArray> &rows, const QByteArray &status, int start) override;

  private:
    QWidget *window_ = nullptr;
    // "開く" keeps the name last chosen in it between uses.
    QString lastOpenedName_;
    ChooserDialog *chooser_ = nullptr;
};

} // namespace kirano

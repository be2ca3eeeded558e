#pragma once
#include "dialogs/prompts.h"

#include <memory>

class QFileDialog;
class QWidget;

namespace kirano {

class ChooserDialog;

// The prompts as Qt's own dialogs (not the desktop's native ones, so that
// title, folder, filter, remembered name and silent replacing behave alike
// everywhere).
class QtPrompts : public Prompts {
  public:
    QtPrompts();
    ~QtPrompts() override;

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
    int choose(const QList<QByteArray> &rows, const QByteArray &status) override;

  private:
    QWidget *window_ = nullptr;
    // opend keeps the name last chosen between uses.
    std::unique_ptr<QFileDialog> opend_;
    QString lastOpenedName_;
    std::unique_ptr<QFileDialog> saved_;
    ChooserDialog *chooser_ = nullptr;
};

} // namespace kirano

#pragma once
// Answers the program's questions from a queue and records every question.

#include "store/prompts.h"

#include <QStringList>
#include <deque>

namespace kirano {

class ScriptedPrompts : public Prompts {
  public:
    // One answer per question that takes one, in order. Nothing stands for
    // Cancel (or "いいえ(&N)"); any text for OK, "はい(&Y)" or the text typed.
    // For the chooser the text is the row number to pick.
    std::deque<std::optional<QString>> answers;
    // Every question, as "kind|title|...": see each function.
    QStringList asked;

    void answer(std::initializer_list<std::optional<QString>> next);
    QStringList takeAsked();

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

    // The rows and status the chooser was last given.
    QList<QByteArray> chooserRows;
    QByteArray chooserStatus;

  private:
    std::optional<QString> next(const QString &question);
};

} // namespace kirano

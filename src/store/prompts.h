#pragma once
// The one seam through which commands ask the user something. The program
// passes the Qt dialogs; tests pass a scripted answerer that records every
// question.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "text/sjis.h"

namespace kirano {

struct OpenFileRequest {
    QString title;
    QString folder;
    // The file command "開く" starts from the name last chosen in it; every
    // other use starts with `fileName`: empty, or the name of the file an
    // entry being changed names.
    bool clearFileName = true;
    QString fileName{};
};

class Prompts {
  public:
    virtual ~Prompts() = default;

    // The shared open-file dialog; the full path chosen, nothing on Cancel.
    // A name that does not exist yet is accepted.
    virtual std::optional<QString> openFile(const OpenFileRequest &request) = 0;
    // The save-file dialog; replaces an existing file without asking.
    virtual std::optional<QString> saveFile(const QString &title, const QString &folder) = 0;
    // Plain message captioned "Kirano" with one OK button.
    virtual void message(const QString &text) = 0;
    // "確認" with "はい(&Y)" / "いいえ(&N)"; true only for "はい(&Y)".
    virtual bool confirmYesNo(const QString &text) = 0;
    // "確認" with OK / Cancel; true only for OK.
    virtual bool confirmOkCancel(const QString &text) = 0;
    // Input box: the edited text on OK, the initial text on Cancel.
    virtual QString inputBox(const QString &caption, const QString &prompt,
                             const QString &initial) = 0;
    // Input query: the edited text on OK, nothing on Cancel.
    virtual std::optional<QString> inputQuery(const QString &caption, const QString &prompt,
                                              const QString &initial) = 0;
    virtual void beep() = 0;
    // The chooser dialog over the rows with the status text, `start` selected
    // and in sight (-1: none); the index of the row chosen, or -1.
    virtual int choose(const QList<QByteArray> &rows, const QByteArray &status, int start) = 0;
};

namespace detail {
inline std::optional<QByteArray> refuseWith(Prompts &prompts, std::optional<QByteArray> bytes,
                                            const QString &refusal) {
    if (!bytes)
        prompts.message(refusal);
    return bytes;
}
} // namespace detail

// A path the user chose, as the bytes it is stored as: only when those bytes
// name the very same file again and hold no line break. Otherwise the command
// stops with a message: nothing is ever stored that names another file.
inline std::optional<QByteArray> encodeAnswer(Prompts &prompts, const QString &answer) {
    return detail::refuseWith(prompts, text::encodeExact(answer),
                              QStringLiteral(u"ファイル名に使えない文字が含まれています"));
}

// A text the user typed, as the bytes it is stored as. Look-alikes take their
// code page 932 forms, as the platform's input methods type them; a character
// the code page cannot hold, or a line break, stops the command with a
// message: no substitute character is ever stored.
inline std::optional<QByteArray> encodeTypedAnswer(Prompts &prompts, const QString &answer) {
    std::optional<QByteArray> bytes =
        text::holdsLineBreak(answer) ? std::nullopt : text::encode(answer);
    return detail::refuseWith(prompts, bytes,
                              QStringLiteral(u"入力に使えない文字が含まれています"));
}

} // namespace kirano

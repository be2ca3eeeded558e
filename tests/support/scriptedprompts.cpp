#include "scriptedprompts.h"

#include <QTest>

namespace kirano {

void ScriptedPrompts::answer(std::initializer_list<std::optional<QString>> next) {
    answers.insert(answers.end(), next.begin(), next.end());
}

QStringList ScriptedPrompts::takeAsked() {
    QStringList all = asked;
    asked.clear();
    return all;
}

std::optional<QString> ScriptedPrompts::next(const QString &question) {
    asked.append(question);
    if (answers.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + question), __FILE__,
                     __LINE__);
        return std::nullopt;
    }
    const bool given = answers.front().has_value();
    const QString text = given ? *answers.front() : QString();
    answers.pop_front();
    return given ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> ScriptedPrompts::openFile(const OpenFileRequest &request) {
    // The name an entry being changed starts from comes last, when there is one.
    return next(QStringLiteral("open|%1|%2|%3")
                    .arg(request.title, request.folder,
                         request.clearFileName ? QStringLiteral("clear") : QStringLiteral("keep")) +
                (request.fileName.isEmpty() ? QString() : u'|' + request.fileName));
}

std::optional<QString> ScriptedPrompts::saveFile(const QString &title, const QString &folder) {
    return next(QStringLiteral("save|%1|%2").arg(title, folder));
}

void ScriptedPrompts::message(const QString &text) {
    asked.append(QStringLiteral("message|") + text);
}

bool ScriptedPrompts::confirmYesNo(const QString &text) {
    return next(QStringLiteral("yesno|") + text).has_value();
}

bool ScriptedPrompts::confirmOkCancel(const QString &text) {
    return next(QStringLiteral("okcancel|") + text).has_value();
}

QString ScriptedPrompts::inputBox(const QString &caption, const QString &prompt,
                                  const QString &initial) {
    return next(QStringLiteral("input|%1|%2|%3").arg(caption, prompt, initial)).value_or(initial);
}

std::optional<QString> ScriptedPrompts::inputQuery(const QString &caption, const QString &prompt,
                                                   const QString &initial) {
    return next(QStringLiteral("query|%1|%2|%3").arg(caption, prompt, initial));
}

void ScriptedPrompts::beep() {
    asked.append(QStringLiteral("beep"));
}

int ScriptedPrompts::choose(const QList<QByteArray> &rows, const QByteArray &status, int start) {
    chooserRows = rows;
    chooserStatus = status;
    // The row it starts at comes last, when there is one.
    std::optional<QString> a = next(QStringLiteral("choose|%1").arg(rows.size()) +
                                    (start >= 0 ? QStringLiteral("|%1").arg(start) : QString()));
    return a ? a->toInt() : -1;
}

} // namespace kirano

#pragma once
// What the command builder tests share: a context over scripted prompts, a
// weekday read that logs itself among the questions, and distinct folders.

#include "builders/buildcontext.h"
#include "scriptedprompts.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <deque>

namespace kirano::testing {

// The weekday read shows in the list of questions as this, so that its place
// before every dialog is checked too.
inline const QString kDays = QStringLiteral("days");
inline const QString kBadTyped = QStringLiteral(u"message|入力に使えない文字が含まれています");
// A number typed in full-width digits.
inline const QString kWideDigits = QStringLiteral(u"message|数字は半角で入力してください");
inline const QString kBadFileName =
    QStringLiteral(u"message|ファイル名に使えない文字が含まれています");

using Builder = std::optional<PatrolEntry> (*)(BuildContext &);

struct BuilderHarness {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    // Answers of the weekday read in turn; once used up, days().
    std::deque<std::optional<QByteArray>> dayAnswers;
    int dayReads = 0;
    BuildContext context{prompts, [this] { return readDays(); }, folders()};

    static QByteArray days() { return sjis(u"月水"); }

    std::optional<QByteArray> readDays() {
        ++dayReads;
        prompts.asked.append(kDays);
        if (dayAnswers.empty())
            return days();
        std::optional<QByteArray> d = dayAnswers.front();
        dayAnswers.pop_front();
        return d;
    }

    // Log, data (the temporary folder), patrol list, autopilot, text upload,
    // binary upload, text download, binary download.
    SettingsFolders folders() const {
        SettingsFolders f;
        f.folders = {"/log/",   text::bytesOf(dir.path() + u'/'),
                     "/list/",  "/auto/",
                     "/up/",    "/bup/",
                     "/tdown/", "/bdown/"};
        return f;
    }

    QString path(const QString &name) const { return dir.path() + u'/' + name; }

    // The six fields of what the builder made; empty when it made nothing.
    QByteArrayList fieldsOf(Builder builder) {
        std::optional<PatrolEntry> e = builder(context);
        if (!e)
            return {};
        return {e->command, e->param1, e->param2, e->param3, e->param4, e->days};
    }
};

} // namespace kirano::testing

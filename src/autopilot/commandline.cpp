#include "autopilot/commandline.h"
#include "autopilot/demo.h"
#include "autopilot/patrolcheck.h"
#include "autopilot/patrolrun.h"
#include "dialogs/settingsfile.h"
#include "text/files.h"
#include "text/sjis.h"

#include <QDate>
#include <QElapsedTimer>

namespace kirano::autopilot {

namespace {

constexpr int kBadInput = 2;

const QString kUsage = QStringLiteral(
    u"使い方:\n"
    u"  kirano-autopilot check 巡回リスト [--settings 設定ファイル]\n"
    u"  kirano-autopilot run 巡回リスト [--settings 設定ファイル]\n"
    u"                   [--day 日|月|火|水|木|金|土 | --all] [--seed N] [--large]\n"
    u"  kirano-autopilot demo フォルダ [--kirano プログラム] [--seed N] [--large]\n"
    u"設定ファイルを指定しないときは、このプログラムと同じフォルダの環境設定.txtを読みます。");

struct Arguments {
    QString command;
    QString target;
    QString settings;
    QString kirano;
    std::optional<int> day;
    bool all = false;
    quint64 seed = 1;
    ServiceSize size = ServiceSize::Default;
};

// Nothing, after saying why, for a command line that does not fit.
std::optional<Arguments> parse(const QStringList &arguments, QTextStream &err) {
    Arguments a;
    auto bad = [&err](const QString &why) {
        err << why << u'\n' << kUsage << Qt::endl;
        return std::nullopt;
    };
    if (arguments.size() < 2)
        return bad(QStringLiteral(u"コマンドと対象を指定してください"));
    a.command = arguments[0];
    a.target = arguments[1];
    if (a.command != u"check" && a.command != u"run" && a.command != u"demo")
        return bad(QStringLiteral(u"コマンド %1 はありません").arg(a.command));
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const QString value = hasValue ? arguments[i + 1] : QString();
        const bool forRun = a.command == u"run";
        const bool forList = a.command != u"demo";
        const bool usesService = a.command != u"check";
        if (option == u"--settings" && forList && hasValue) {
            a.settings = value;
        } else if (option == u"--kirano" && a.command == u"demo" && hasValue) {
            a.kirano = value;
        } else if (option == u"--day" && forRun && hasValue) {
            for (int day = 0; day < 7; ++day) {
                if (value == text::decode(weekdayCharacter(day)))
                    a.day = day;
            }
            if (!a.day)
                return bad(QStringLiteral(u"曜日 %1 はありません").arg(value));
        } else if (option == u"--seed" && usesService && hasValue) {
            bool ok = false;
            a.seed = value.toULongLong(&ok);
            if (!ok)
                return bad(QStringLiteral(u"--seed には数を指定してください"));
        } else if (option == u"--all" && forRun) {
            a.all = true;
            continue;
        } else if (option == u"--large" && usesService) {
            a.size = ServiceSize::Large;
            continue;
        } else {
            return bad(QStringLiteral(u"%1 はこのコマンドでは使えません").arg(option));
        }
        ++i; // the option's value
    }
    if (a.all && a.day)
        return bad(QStringLiteral(u"--day と --all は一緒に使えません"));
    return a;
}

std::optional<SettingsFolders> settings(const Arguments &a, const ProgramPlace &place,
                                        QTextStream &err) {
    const QString path = a.settings.isEmpty() ? place.folder + kSettingsFileName : a.settings;
    if (!text::fileExists(path)) {
        err << QStringLiteral(u"設定ファイル %1 がありません").arg(path) << Qt::endl;
        return std::nullopt;
    }
    text::IoError error;
    std::optional<SettingsFolders> folders = readSettingsFolders(path, &error);
    if (!folders)
        err << QStringLiteral(u"設定ファイル %1 を読めません (%2)").arg(path, error.text())
            << Qt::endl;
    return folders;
}

int check(const PatrolListFile &list, const SettingsFolders &folders, QTextStream &out) {
    const QStringList problems = checkPatrolList(list, folders);
    for (const QString &line : problems)
        out << line << u'\n';
    if (problems.isEmpty()) {
        out << QStringLiteral(u"問題はありません (%1項目)").arg(list.entries.size()) << Qt::endl;
        return 0;
    }
    out << QStringLiteral(u"問題が %1 件あります (%2項目)")
               .arg(problems.size())
               .arg(list.entries.size())
        << Qt::endl;
    return 1;
}

QString summary(const RunReport &report) {
    return QStringLiteral(u"完了 %1、対象外 %2、失敗 %3")
        .arg(report.count(RunReport::Done))
        .arg(report.count(RunReport::Skipped))
        .arg(report.count(RunReport::Failed));
}

int run(const Arguments &a, const PatrolListFile &list, const SettingsFolders &folders,
        QTextStream &out) {
    RunOptions options;
    options.now = QDateTime::currentDateTime();
    if (!a.all)
        options.day = a.day ? *a.day : weekdayOf(options.now.date());
    const RunReport report = runPatrolList(list, folders, SimService(a.seed, a.size), options);
    for (const QString &line : report.lines)
        out << line << u'\n';
    out << summary(report) << Qt::endl;
    return report.count(RunReport::Failed) > 0 || report.sessionFailed ? 1 : 0;
}

int demo(const Arguments &a, const ProgramPlace &place, QTextStream &out, QTextStream &err) {
    DemoOptions options;
    options.kirano = a.kirano.isEmpty() ? place.folder + QStringLiteral("kirano") : a.kirano;
#ifdef Q_OS_WIN
    if (a.kirano.isEmpty())
        options.kirano += QStringLiteral(".exe");
#endif
    options.companion = place.path;
    options.seed = a.seed;
    options.size = a.size;
    options.now = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    QString error;
    std::optional<Demo> made = makeDemo(a.target, options, &error);
    if (!made) {
        err << error << Qt::endl;
        return kBadInput;
    }
    for (int i = 0; i < made->report.outcomes.size(); ++i) {
        if (made->report.outcomes[i] == RunReport::Failed)
            out << made->report.lines[i] << u'\n';
    }
    out << QStringLiteral(u"デモを作りました: %1 (%2、%3ミリ秒)")
               .arg(made->programFolder, summary(made->report))
               .arg(timer.elapsed())
        << Qt::endl;
    return made->report.count(RunReport::Failed) > 0 || made->report.sessionFailed ? 1 : 0;
}

} // namespace

int runCommandLine(const QStringList &arguments, const ProgramPlace &place, QTextStream &out,
                   QTextStream &err) {
    std::optional<Arguments> a = parse(arguments, err);
    if (!a)
        return kBadInput;
    if (a->command == u"demo")
        return demo(*a, place, out, err);
    std::optional<SettingsFolders> folders = settings(*a, place, err);
    if (!folders)
        return kBadInput;
    QString error;
    std::optional<PatrolListFile> list = readPatrolListFile(a->target, &error);
    if (!list) {
        err << error << Qt::endl;
        return kBadInput;
    }
    return a->command == u"check" ? check(*list, *folders, out) : run(*a, *list, *folders, out);
}

} // namespace kirano::autopilot

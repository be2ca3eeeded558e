#include "autopilot/commandline.h"
#include "autopilot/demo.h"
#include "autopilot/patrolrun.h"
#include "patrol/weekdays.h"
#include "rules/patrolcheck.h"
#include "store/settingsfile.h"
#include "text/files.h"
#include "text/sjis.h"

#include <QCommandLineParser>
#include <QDate>
#include <QElapsedTimer>
#include <cerrno>

namespace kirano::autopilot {

namespace {

constexpr int kBadInput = 2;

const QStringList kCommands{QStringLiteral("check"), QStringLiteral("run"), QStringLiteral("demo")};

QString usage() {
    return QStringLiteral(
               u"使い方:\n"
               u"  kirano-autopilot check 巡回リスト [--settings 設定ファイル]\n"
               u"  kirano-autopilot run 巡回リスト [--settings 設定ファイル]\n"
               u"                   [--day 日|月|火|水|木|金|土 | --all] [--seed N] [--large]\n"
               u"  kirano-autopilot demo フォルダ [--kirano プログラム] [--seed N] [--large]\n"
               u"  kirano-autopilot --help | --version\n"
               u"--settings を指定しないときの設定ファイル:\n%1")
        .arg(settingsRuleText());
}

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

// An option's name as the parser knows it: dashes and any "=value" gone.
QString optionName(const QString &argument) {
    qsizetype dashes = 0;
    while (dashes < 2 && dashes < argument.size() && argument[dashes] == u'-')
        ++dashes;
    return argument.mid(dashes).section(u'=', 0, 0);
}

// The argument as it was typed that names the option.
QString asTyped(const QStringList &arguments, const QString &name) {
    for (const QString &argument : arguments) {
        if (argument.startsWith(u'-') && optionName(argument) == name)
            return argument;
    }
    return QStringLiteral("--") + name;
}

QString notForThisCommand(const QString &what) {
    return QStringLiteral(u"%1 はこのコマンドでは使えません").arg(what);
}

// The arguments of a command to carry out; nothing, with the exit status set,
// after the usage or the version was printed or the command line was refused.
std::optional<Arguments> parse(const QStringList &arguments, const ProgramPlace &place,
                               QTextStream &out, QTextStream &err, int *status) {
    auto bad = [&err, status](const QString &why) {
        err << why << u'\n' << usage() << Qt::endl;
        *status = kBadInput;
        return std::nullopt;
    };
    auto option = [](const char *name, const char *valueName = nullptr) {
        return QCommandLineOption(QString::fromLatin1(name), QString(),
                                  valueName ? QString::fromLatin1(valueName) : QString());
    };
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version = option("version");
    const QCommandLineOption settings = option("settings", "file");
    const QCommandLineOption kirano = option("kirano", "program");
    const QCommandLineOption day = option("day", "day");
    const QCommandLineOption seed = option("seed", "n");
    const QCommandLineOption all = option("all");
    const QCommandLineOption large = option("large");
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QCommandLineOption &o : {help, version, settings, kirano, day, seed, all, large})
        parser.addOption(o);
    const bool parsed = parser.parse(QStringList{QStringLiteral("kirano-autopilot")} + arguments);
    if (parser.isSet(help) || parser.isSet(version)) {
        // Asked once, alone or after a command line that fits: anything more
        // is refused like any argument too many.
        QStringList asked;
        QStringList rest;
        for (const QString &argument : arguments) {
            const bool answers =
                argument.startsWith(u'-') && !argument.contains(u'=') &&
                QStringList{help.names() + version.names()}.contains(optionName(argument));
            (answers ? asked : rest).append(argument);
        }
        if (asked.size() > 1)
            return bad(notForThisCommand(asked[1]));
        if (!rest.isEmpty() && !kCommands.contains(rest.first()))
            return bad(notForThisCommand(rest.first()));
        if (!rest.isEmpty() && !parse(rest, place, out, err, status))
            return std::nullopt;
    }
    if (parser.isSet(help)) {
        out << usage() << Qt::endl;
        *status = 0;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        out << QStringLiteral("kirano-autopilot ") << place.version << Qt::endl;
        *status = 0;
        return std::nullopt;
    }
    if (!parsed) {
        // The parser's own refusals are unknown options, and a value option
        // with nothing after it or a plain option given a value.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return bad(notForThisCommand(asTyped(arguments, unknown.first())));
        const QString last = optionName(arguments.last());
        for (const QCommandLineOption &o : {settings, kirano, day, seed}) {
            if (arguments.last().startsWith(u'-') && o.names().contains(last))
                return bad(QStringLiteral(u"%1 の値がありません").arg(arguments.last()));
        }
        for (const QString &argument : arguments) {
            for (const QCommandLineOption &o : {help, version, all, large}) {
                if (argument.startsWith(u'-') && argument.contains(u'=') &&
                    o.names().contains(optionName(argument)))
                    return bad(QStringLiteral(u"%1 には値を付けられません").arg(argument));
            }
        }
        return bad(parser.errorText());
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2)
        return bad(QStringLiteral(u"コマンドと対象を指定してください"));
    Arguments a;
    a.command = positional[0];
    a.target = positional[1];
    if (!kCommands.contains(a.command))
        return bad(QStringLiteral(u"コマンド %1 はありません").arg(a.command));
    if (positional.size() > 2)
        return bad(notForThisCommand(positional[2]));
    const bool forRun = a.command == u"run";
    const bool forList = a.command != u"demo";
    const bool usesService = a.command != u"check";
    const std::pair<const QCommandLineOption &, bool> allowed[] = {
        {settings, forList}, {kirano, !forList}, {day, forRun},
        {seed, usesService}, {all, forRun},      {large, usesService}};
    for (const auto &[o, ok] : allowed) {
        if (parser.isSet(o) && !ok)
            return bad(notForThisCommand(asTyped(arguments, o.names().first())));
    }
    a.settings = parser.value(settings);
    a.kirano = parser.value(kirano);
    if (parser.isSet(day)) {
        const QString value = parser.value(day);
        for (int d = 0; d < 7; ++d) {
            if (value == text::decode(weekdayCharacter(d)))
                a.day = d;
        }
        if (!a.day)
            return bad(QStringLiteral(u"曜日 %1 はありません").arg(value));
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        a.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return bad(QStringLiteral(u"--seed には数を指定してください"));
    }
    a.all = parser.isSet(all);
    a.size = parser.isSet(large) ? ServiceSize::Large : ServiceSize::Default;
    if (a.all && a.day)
        return bad(QStringLiteral(u"--day と --all は一緒に使えません"));
    // Kirano's rule for every path: one that would name another file once
    // stored as Shift_JIS is refused before anything is read or written.
    for (const QString &path : {a.target, a.settings, a.kirano}) {
        if (std::optional<QString> problem = text::pathProblem(path)) {
            err << *problem << Qt::endl;
            *status = kBadInput;
            return std::nullopt;
        }
    }
    return a;
}

QString settingsPath(const Arguments &a, const ProgramPlace &place) {
    return a.settings.isEmpty() ? settingsFilePath(place.folder) : a.settings;
}

text::Result<SettingsFolders> settings(const QString &path) {
    if (!text::fileExists(path))
        return text::IoError(QStringLiteral(u"設定ファイル %1 がありません").arg(path), ENOENT);
    text::Result<SettingsFolders> folders = readSettingsFolders(path);
    if (!folders)
        return text::IoError(
            QStringLiteral(u"設定ファイル %1 を読めません (%2)").arg(path, folders.error().text()),
            folders.error().code());
    return folders;
}

int check(const QStringList &problems, qsizetype entries, QTextStream &out) {
    for (const QString &line : problems)
        out << line << u'\n';
    if (problems.isEmpty()) {
        out << QStringLiteral(u"問題はありません (%1項目)").arg(entries) << Qt::endl;
        return 0;
    }
    out << QStringLiteral(u"問題が %1 件あります (%2項目)").arg(problems.size()).arg(entries)
        << Qt::endl;
    return 1;
}

QString summary(const RunReport &report) {
    QString line = QStringLiteral(u"完了 %1、対象外 %2、失敗 %3")
                       .arg(report.count(RunReport::Done))
                       .arg(report.count(RunReport::Skipped))
                       .arg(report.count(RunReport::Failed));
    if (report.sessionFailed)
        line += QStringLiteral(u"、記録に失敗");
    return line;
}

int failedStatus(const RunReport &report) {
    return report.count(RunReport::Failed) > 0 || report.sessionFailed ? 1 : 0;
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
    return failedStatus(report);
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
    const text::Result<Demo> made = makeDemo(a.target, options);
    if (!made) {
        err << made.error().text() << Qt::endl;
        return kBadInput;
    }
    return reportDemo(*made, timer.elapsed(), out);
}

} // namespace

int reportDemo(const Demo &demo, qint64 elapsedMs, QTextStream &out) {
    const RunReport &report = demo.report;
    for (int i = 0; i < report.lines.size(); ++i) {
        // The entries that failed, then whatever failed of the session.
        if (i >= report.outcomes.size() || report.outcomes[i] == RunReport::Failed)
            out << report.lines[i] << u'\n';
    }
    const int status = failedStatus(report);
    out << (status == 0 ? QStringLiteral(u"デモを作りました: %1 (%2、%3ミリ秒)")
                        : QStringLiteral(u"デモを作りましたが、最初の巡回に失敗しました: "
                                         u"%1 (%2、%3ミリ秒)"))
               .arg(demo.programFolder, summary(report))
               .arg(elapsedMs)
        << Qt::endl;
    return status;
}

int runCommandLine(const QStringList &arguments, const ProgramPlace &place, QTextStream &out,
                   QTextStream &err) {
    int status = 0;
    std::optional<Arguments> a = parse(arguments, place, out, err, &status);
    if (!a)
        return status;
    if (a->command == u"demo")
        return demo(*a, place, out, err);
    const QString path = settingsPath(*a, place);
    const text::Result<SettingsFolders> folders = settings(path);
    if (!folders) {
        err << folders.error().text() << Qt::endl;
        return kBadInput;
    }
    // Folders are prefixes: a missing or unterminated one would put the
    // run's files into the working folder or beside the folder meant.
    const QStringList settingsLines = rules::settingsProblems(path, *folders);
    if (a->command == u"run" && !settingsLines.isEmpty()) {
        for (const QString &line : settingsLines)
            err << line << u'\n';
        err << QStringLiteral(u"この設定では巡回しません") << Qt::endl;
        return kBadInput;
    }
    if (a->command == u"check") {
        // Entry by entry: a list of a million entries is never held whole.
        rules::ListCheck checking(*folders);
        const text::Result<PatrolListShape> shape = scanRunnablePatrolList(
            a->target, [&checking](const PatrolEntry &entry) { checking.add(entry); });
        if (!shape) {
            err << shape.error().text() << Qt::endl;
            return kBadInput;
        }
        return check(settingsLines + checking.finish(shape->leftoverLines), shape->entries, out);
    }
    const text::Result<PatrolListFile> list = readRunnablePatrolList(a->target);
    if (!list) {
        err << list.error().text() << Qt::endl;
        return kBadInput;
    }
    return run(*a, *list, *folders, out);
}

} // namespace kirano::autopilot

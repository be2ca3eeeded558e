#include "autopilot/demo.h"
#include "autopilot/listrules.h"
#include "builders/accountbuilders.h"
#include "store/patiofile.h"
#include "store/settingsfile.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kirano::autopilot {

namespace {

QByteArray sjis(const char16_t *text) {
    return text::bytesOf(QStringView(text));
}

QList<QByteArray> sjisLines(std::initializer_list<const char16_t *> texts) {
    QList<QByteArray> lines;
    for (const char16_t *t : texts)
        lines.append(sjis(t));
    return lines;
}

PatrolEntry entry(Command command, const QByteArray &p1 = "0", const QByteArray &p2 = "0",
                  const QByteArray &p3 = "0", const QByteArray &p4 = "0",
                  const QByteArray &days = sjis(u"日月火水木金土")) {
    return PatrolEntry{keywordOf(command), p1, p2, p3, p4, days};
}

class DemoMaker {
  public:
    DemoMaker(const QString &root, const DemoOptions &options)
        : root_(root), options_(options), service_(options.seed, options.size) {}

    std::optional<Demo> make(QString *error) {
        // Folders are settings lines: Shift_JIS bytes ending with the separator.
        // makeDemo has made sure that they name this folder again.
        const QByteArray rootBytes = text::bytesOf(QDir::toNativeSeparators(root_));
        const char separator = QDir::separator().toLatin1();
        const char *names[SettingsFolders::Count] = {
            "log",         "data",          "patrol",        "autopilot",
            "upload/text", "upload/binary", "download/text", "download/binary"};
        for (int i = 0; i < SettingsFolders::Count; ++i) {
            QByteArray folder = rootBytes + separator + names[i] + separator;
            folder.replace('/', separator);
            folders_.folders[i] = folder;
            if (!QDir().mkpath(text::nativePath(folder)))
                return fail(
                    error,
                    QStringLiteral(u"フォルダ %1 を作成できません").arg(text::nativePath(folder)));
        }
        const QString program = root_ + QStringLiteral("/program/");
        if (!QDir().mkpath(program))
            return fail(error, QStringLiteral(u"フォルダ %1 を作成できません").arg(program));
        if (!copyProgram(options_.kirano, program, error) ||
            (!options_.companion.isEmpty() && !copyProgram(options_.companion, program, error)))
            return std::nullopt;
        if (!write(program + kSettingsFileName, SettingsFlags{}, error) || !writeSamples(error))
            return std::nullopt;
        const QString listPath = pathIn(folders_.patrolListFolder(), sjis(u"デモ巡回.txt"));
        QList<QByteArray> lines;
        for (const PatrolEntry &e : sampleList())
            for (int field = 0; field < PatrolEntry::kFieldCount; ++field)
                lines.append(e.field(field));
        if (!writeLines(listPath, lines, error))
            return std::nullopt;
        // Read back as any list is, so the demo runs exactly what was saved.
        std::optional<PatrolListFile> list = readPatrolListFile(listPath, error);
        if (!list)
            return std::nullopt;
        RunOptions run;
        run.now = options_.now;
        return Demo{program, listPath, runPatrolList(*list, folders_, service_, run)};
    }

  private:
    std::nullopt_t fail(QString *error, const QString &why) {
        *error = why;
        return std::nullopt;
    }

    // Through the one writer, as every file of the demo: a failed copy is
    // reported, never left as a program cut short.
    bool copyProgram(const QString &from, const QString &folder, QString *error) {
        const QString to = folder + QFileInfo(from).fileName();
        text::IoError failure;
        std::optional<QByteArray> program = text::readFile(from, &failure);
        std::optional<text::IoError> written;
        if (program)
            written = text::writeFile(
                to, *program, QFile::permissions(from) | QFile::ExeOwner | QFile::ReadOwner);
        if (!program || written) {
            *error = QStringLiteral(u"%1 を %2 に複写できません (%3)")
                         .arg(from, folder, (program ? *written : failure).text());
            return false;
        }
        return true;
    }

    bool writeLines(const QString &path, const QList<QByteArray> &lines, QString *error) {
        return writeBytes(path, text::joinCrLf(lines), error);
    }

    bool writeBytes(const QString &path, const QByteArray &content, QString *error) {
        if (std::optional<text::IoError> failure = text::writeFile(path, content)) {
            *error = cannotWrite(path, *failure);
            return false;
        }
        return true;
    }

    bool write(const QString &settingsPath, const SettingsFlags &flags, QString *error) {
        if (std::optional<text::IoError> failure = writeSettings(settingsPath, flags, folders_)) {
            *error = cannotWrite(settingsPath, *failure);
            return false;
        }
        return true;
    }

    QString file(const QByteArray &folder, const char16_t *name) const {
        return pathIn(folder, sjis(name));
    }

    // The patio list, the two notices to read, and the files to post and send.
    bool writeSamples(QString *error) {
        const QString patios = pathIn(folders_.dataFolder(), kPatioListFileName);
        if (std::optional<text::IoError> failure = writePatioList(patios, service_.patios())) {
            *error = cannotWrite(patios, *failure);
            return false;
        }
        QList<QByteArray> chosen;
        for (const QByteArray &row : service_.noticeRows().mid(0, 2))
            chosen.append(row.mid(6));
        const QByteArray &text = folders_.textUploadFolder();
        const QByteArray &binary = folders_.binaryUploadFolder();
        if (!writeLines(pathIn(folders_.dataFolder(), kNoticeSelectionFileName), chosen, error) ||
            !writeLines(file(text, u"発言.txt"),
                        sjisLines({u"皆さん、こんにちは。",
                                   u"週末の集まりの写真をライブラリィに上げました。",
                                   u"感想をお寄せください。"}),
                        error) ||
            !writeLines(file(text, u"掲示板.txt"),
                        sjisLines({u"ワープロ専用機をお譲りします。", u"取扱説明書付きです。"}),
                        error) ||
            !writeLines(file(text, u"パティオ発言.txt"),
                        sjisLines({u"次の集まりは来月の第一日曜日です。"}), error) ||
            !writeLines(file(binary, u"メール.txt"),
                        sjisLines({u"先日はありがとうございました。", u"また遊びに来てください。"}),
                        error))
            return false;
        return writeBytes(file(binary, u"写真.gif"),
                          QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14), error);
    }

    QByteArray log(const QByteArray &name) const { return folders_.logFolder() + name; }

    // Every forum's rooms and libraries, every library's files, some rooms
    // read and posted to, a download, the notices, fees, patios, the board
    // and both mails; a few on chosen weekdays only.
    QList<PatrolEntry> sampleList() const {
        const bool large = service_.size() == ServiceSize::Large;
        const QByteArray &textUp = folders_.textUploadFolder();
        const QByteArray &binaryUp = folders_.binaryUploadFolder();
        QList<PatrolEntry> list{entry(Command::Myforum), entry(Command::Newtitle),
                                entry(Command::Bill, "0", "0", "0", "0", sjis(u"月")),
                                entry(Command::New, log(sjis(u"お知らせ.txt")))};
        const int forums = large ? 2 : service_.forumCount();
        for (int f = 0; f < forums; ++f) {
            const QByteArray code = service_.forumCode(f);
            list << entry(Command::Mestitlea, code) << entry(Command::Dltitlea, code);
            const int libraries = large ? 3 : service_.libraryCount(f);
            for (int library = 1; library <= libraries; ++library)
                list << entry(Command::Dltitleb, code, QByteArray::number(library), "960101");
        }
        const QByteArray code = service_.forumCode(0);
        const QByteArray stem = code.chopped(1);
        const LibraryFile first = service_.libraryFiles(0, 1).first();
        list << entry(Command::Mesread, code, "1", log(stem + "_01.txt"))
             << entry(Command::Mesread, code, "2", log(stem + "_02.txt"), "0", sjis(u"月水金"))
             << entry(Command::Mesup, code, "1", textUp + sjis(u"発言.txt"), "0", sjis(u"土"))
             << entry(Command::Mesrc, code, "3", "20")
             << entry(Command::Dldown, code, "1", QByteArray::number(first.number), first.name);
        const QList<PatioRecord> patios = service_.patios();
        for (const PatioRecord &patio : patios)
            list << entry(Command::Patioread, patio.id, patio.password,
                          log(sjis(u"パティオ_") + patio.id + ".txt"));
        list << entry(Command::Patioup, patios[0].id, patios[0].password,
                      textUp + sjis(u"パティオ発言.txt"), "0", sjis(u"日"))
             << entry(Command::Patiorc, patios[0].id, patios[0].password, "25")
             << entry(Command::Bbsup, "5", "3", textUp + sjis(u"掲示板.txt"))
             << entry(Command::Mailuptxt, binaryUp + sjis(u"メール.txt"))
             << entry(Command::Mailupbin, binaryUp + sjis(u"写真.gif"), sjis(u"旅行の写真"),
                      "GHB04321");
        return list;
    }

    QString root_;
    const DemoOptions &options_;
    SimService service_;
    SettingsFolders folders_;
};

} // namespace

std::optional<Demo> makeDemo(const QString &folder, const DemoOptions &options, QString *error) {
    const QString root = QDir(folder).absolutePath();
    // The eight folders are stored as Shift_JIS: a look-alike character
    // would store the name of another folder, and the demo would be made
    // there.
    if (std::optional<QString> problem = pathProblem(QDir::toNativeSeparators(root))) {
        *error = *problem;
        return std::nullopt;
    }
    const bool existed = QFileInfo::exists(root);
    if (existed &&
        (!QFileInfo(root).isDir() || !QDir(root).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                         QDir::Hidden | QDir::System))) {
        *error = QStringLiteral(u"%1 は空のフォルダではありません。デモは新しいフォルダに作ります")
                     .arg(root);
        return std::nullopt;
    }
    std::optional<Demo> demo = DemoMaker(root, options).make(error);
    if (!demo) {
        // Half a demo would be taken for a whole one on the next start.
        QDir(root).removeRecursively();
        if (existed)
            QDir().mkpath(root);
    }
    return demo;
}

} // namespace kirano::autopilot

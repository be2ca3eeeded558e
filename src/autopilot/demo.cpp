#include "autopilot/demo.h"
#include "rules/fieldrules.h"
#include "rules/filerules.h"
#include "store/datafolder.h"
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

// The lines, each ended by CR LF, as every text file of the demo.
QByteArray sjisLines(std::initializer_list<const char16_t *> texts) {
    QList<QByteArray> lines;
    for (const char16_t *t : texts)
        lines.append(sjis(t));
    return text::joinCrLf(lines);
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

    text::Result<Demo> make() {
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
            if (text::Result<> made = makeFolder(text::nativePath(folder)); !made)
                return made.error();
        }
        const QString program = root_ + QStringLiteral("/program/");
        if (text::Result<> made = makeFolder(program); !made)
            return made.error();
        if (text::Result<> copied = copyProgram(options_.kirano, program); !copied)
            return copied.error();
        if (!options_.companion.isEmpty()) {
            if (text::Result<> copied = copyProgram(options_.companion, program); !copied)
                return copied.error();
        }
        if (text::Result<> written = writeSettingsFile(program + kSettingsFileName); !written)
            return written.error();
        if (text::Result<> written = writeSamples(); !written)
            return written.error();
        const QString listPath = text::pathIn(folders_.patrolListFolder(), sjis(u"デモ巡回.txt"));
        if (text::Result<> written = writePatrolList(listPath, sampleList()); !written)
            return text::cannotWrite(listPath, written.error());
        // Read back as any list is, so the demo runs exactly what was saved.
        text::Result<PatrolListFile> list = readRunnablePatrolList(listPath);
        if (!list)
            return list.error();
        RunOptions run;
        run.now = options_.now;
        return Demo{program, listPath, runPatrolList(*list, folders_, service_, run)};
    }

  private:
    static text::Result<> makeFolder(const QString &folder) {
        if (QDir().mkpath(folder))
            return {};
        return text::IoError(QStringLiteral(u"フォルダ %1 を作成できません").arg(folder));
    }

    // Through the one writer, as every file of the demo: a failed copy is
    // reported, never left as a program cut short.
    static text::Result<> copyProgram(const QString &from, const QString &folder) {
        const QString to = folder + QFileInfo(from).fileName();
        const text::Result<QByteArray> program = text::readFile(from);
        text::Result<> written =
            program ? text::writeFile(to, *program,
                                      QFile::permissions(from) | QFile::ExeOwner | QFile::ReadOwner)
                    : program.error();
        if (!written)
            return text::IoError(QStringLiteral(u"%1 を %2 に複写できません (%3)")
                                     .arg(from, folder, written.error().text()),
                                 written.error().code());
        return {};
    }

    static text::Result<> writeBytes(const QString &path, const QByteArray &content) {
        if (text::Result<> written = text::writeFile(path, content); !written)
            return text::cannotWrite(path, written.error());
        return {};
    }

    text::Result<> writeSettingsFile(const QString &settingsPath) const {
        if (text::Result<> written = writeSettings(settingsPath, SettingsFlags{}, folders_);
            !written)
            return text::cannotWrite(settingsPath, written.error());
        return {};
    }

    QString file(const QByteArray &folder, const char16_t *name) const {
        return text::pathIn(folder, sjis(name));
    }

    // The patio list, the two notices to read, and the files to post and send.
    text::Result<> writeSamples() const {
        const DataFolder data(folders_.dataFolder());
        const QString patios = text::nativePath(data.patioList());
        if (text::Result<> written = writePatioList(patios, service_.patios()); !written)
            return text::cannotWrite(patios, written.error());
        QList<QByteArray> chosen;
        for (const QByteArray &row : service_.noticeRows().mid(0, 2))
            chosen.append(row.mid(6));
        const QByteArray &text = folders_.textUploadFolder();
        const QByteArray &binary = folders_.binaryUploadFolder();
        const QList<std::pair<QString, QByteArray>> files{
            {text::nativePath(data.noticeSelection()), text::joinCrLf(chosen)},
            {file(text, u"発言.txt"),
             sjisLines({u"皆さん、こんにちは。", u"週末の集まりの写真をライブラリィに上げました。",
                        u"感想をお寄せください。"})},
            {file(text, u"掲示板.txt"),
             sjisLines({u"ワープロ専用機をお譲りします。", u"取扱説明書付きです。"})},
            {file(text, u"パティオ発言.txt"), sjisLines({u"次の集まりは来月の第一日曜日です。"})},
            {file(binary, u"メール.txt"),
             sjisLines({u"先日はありがとうございました。", u"また遊びに来てください。"})},
            {file(binary, u"写真.gif"), QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14)}};
        for (const auto &[path, content] : files) {
            if (text::Result<> written = writeBytes(path, content); !written)
                return written;
        }
        return {};
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

text::Result<Demo> makeDemo(const QString &folder, const DemoOptions &options) {
    const QString root = QDir(folder).absolutePath();
    // The eight folders are stored as Shift_JIS: a look-alike character
    // would store the name of another folder, and the demo would be made
    // there.
    if (std::optional<QString> problem = text::pathProblem(QDir::toNativeSeparators(root)))
        return text::IoError(*problem);
    const bool existed = QFileInfo::exists(root);
    if (existed &&
        (!QFileInfo(root).isDir() || !QDir(root).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                         QDir::Hidden | QDir::System)))
        return text::IoError(
            QStringLiteral(u"%1 は空のフォルダではありません。デモは新しいフォルダに作ります")
                .arg(root));
    text::Result<Demo> demo = DemoMaker(root, options).make();
    if (!demo) {
        // Half a demo would be taken for a whole one on the next start.
        QDir(root).removeRecursively();
        if (existed)
            QDir().mkpath(root);
    }
    return demo;
}

} // namespace kirano::autopilot

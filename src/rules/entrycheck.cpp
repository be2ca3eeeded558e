#include "rules/entrycheck.h"
#include "patrol/weekdays.h"
#include "rules/fieldrules.h"
#include "rules/filerules.h"
#include "rules/filestates.h"
#include "store/capturedfiles.h"
#include "store/datafolder.h"
#include "store/forumlist.h"
#include "store/patiofile.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QMap>
#include <QSet>
#include <cerrno>
#include <optional>

namespace kirano::rules {

namespace {

// The problems of one entry and the paths they rest on, as they are found.
struct Collected {
    Findings found;

    void problem(Problem p) { found.problems |= p; }
    void consult(int id) {
        Q_ASSERT(found.consultedCount < Findings::kMaxConsulted);
        if (id >= 0 && found.consultedCount < Findings::kMaxConsulted)
            found.consulted[found.consultedCount++] = id;
    }
};

} // namespace

struct EntryChecker::State {
    explicit State(const SettingsFolders &f) : folders(f), data(f.dataFolder()) {}

    const SettingsFolders folders;
    const DataFolder data;
    // Every path the checks consulted, by id.
    FileStates states;

    int forumListId = -1;
    int patioListId = -1;
    int feesId = -1;
    int noticesId = -1;
    // The files too large to read, by id, and what names them.
    QMap<int, QString> unreadable;
    std::optional<QSet<QByteArray>> forums;
    bool forumsKnown = true; // false while the forum list is too large to read
    bool patiosKnown = true;
    int forumListReadings = 0;
    // What each forum named was found to be: whether the forum list as last
    // read holds it, and its lists' ids.
    struct Forum {
        int judgedAt = -1; // forumListReadings when judged
        bool listed = false;
        int rooms = -1, libraries = -1, topPage = -1;
        QHash<qint32, int> libraryFiles;
    };
    QHash<QByteArray, Forum> forumInfo;
    // A list names one forum row after row: the last one found, until the
    // next forum is added (which may move them all).
    QByteArray lastForumCode;
    Forum *lastForum = nullptr;
    std::optional<QHash<QByteArray, QByteArray>> patioPasswords;

    QHash<QString, qsizetype> nameMaxes;
    // Each download name's verdict and the folder it lands in.
    struct Name {
        std::optional<QString> problem;
        int folder = -1;
        int file = -1; // where it is stored, once its folder can be written
    };
    QHash<QByteArray, Name> names;
    // A list holds a handful of days texts, most often the same one row
    // after row.
    QByteArray lastDays;
    bool lastDaysBad = false;
    bool daysSeen = false;

    const NameMax nameMax = [this](const QString &folder) {
        auto found = nameMaxes.constFind(folder);
        if (found == nameMaxes.constEnd())
            found = nameMaxes.insert(folder, text::nameMaxIn(folder));
        return *found;
    };
    const NameRule nameRule = [this](const QByteArray &name) { return nameOf(name).problem; };

    // After a change: a folder may now lie on another file system.
    void forgetNameLengths() {
        nameMaxes.clear();
        names.clear();
    }

    Name &nameOf(const QByteArray &name) {
        auto found = names.find(name);
        if (found == names.end()) {
            Name verdict;
            verdict.problem = downloadNameProblem(folders, name, nameMax);
            verdict.folder = states.file(downloadFolder(folders, name));
            found = names.insert(name, verdict);
        }
        return *found;
    }

    // A list that cannot be read for its size: named once, and nothing to
    // go by. Any other failure reads as an empty list.
    bool tooLarge(int id, const text::IoError &error) {
        if (error.code() != EFBIG)
            return false;
        unreadable.insert(id, text::cannotReadText(states.native(id), error));
        return true;
    }

    const QSet<QByteArray> &forumCodes() {
        if (!forums) {
            // Only the codes are kept: a million names are never copied.
            forums.emplace();
            const text::Result<ForumList> list = tryReadForumList(states.native(forumListId));
            forumsKnown = list || !tooLarge(forumListId, list.error());
            if (list) {
                forums->reserve(list->size());
                for (qsizetype i = 0; i < list->size(); ++i)
                    forums->insert(list->code(i).toByteArray());
            }
        }
        return *forums;
    }

    const QHash<QByteArray, QByteArray> &patios() {
        if (!patioPasswords) {
            patioPasswords.emplace();
            const text::Result<QList<PatioRecord>> read = readPatioList(states.native(patioListId));
            patiosKnown = read || !tooLarge(patioListId, read.error());
            if (read) {
                for (const PatioRecord &patio : *read)
                    patioPasswords->insert(patio.id, patio.password);
            }
        }
        return *patioPasswords;
    }

    // A file the entry writes; consulted.
    void writes(int id, Collected &c) {
        c.consult(id);
        if (states.at(id).isUnwritable())
            c.problem(UnwritableFile);
    }

    // True when the list is missing (nothing to go by) or holds the number:
    // the leading number of each row's first `width` bytes, or of the whole
    // row. The list is consulted.
    bool listed(int id, int width, qint32 number, Collected &c) {
        c.consult(id);
        PathState &list = states.at(id);
        if (!list.loaded || list.width != width) {
            list.loaded = true;
            list.width = width;
            list.numbers.reset();
            if (list.isRegular()) {
                const text::Result<CapturedRows> read = readCapturedRows(states.native(id));
                if (read || !tooLarge(id, read.error())) {
                    list.numbers.emplace();
                    for (const QByteArray &row : read ? read->rows : QList<QByteArray>())
                        list.numbers->insert(
                            text::leadingNumber(width > 0 ? text::bytesAt(row, 1, width) : row));
                }
            }
        }
        return !list.numbers || list.numbers->contains(number);
    }

    // The forum's files the entry writes, as filesWritten() names them.
    template <typename Number>
    void forumWrites(Command command, const PatrolEntry &e, Forum &forum, const Number &number,
                     Collected &c) {
        if (forum.topPage < 0)
            forum.topPage = states.file(data.topPage(e.param1));
        writes(forum.topPage, c);
        switch (command) {
        case Command::Mestitlea:
            if (forum.rooms < 0)
                forum.rooms = states.file(data.rooms(e.param1));
            writes(forum.rooms, c);
            break;
        case Command::Dltitlea:
            if (forum.libraries < 0)
                forum.libraries = states.file(data.libraries(e.param1));
            writes(forum.libraries, c);
            break;
        case Command::Dltitleb:
            writes(libraryFiles(forum, e.param1, number()), c);
            break;
        case Command::Bill:
        case Command::Myforum:
        case Command::Mesread: // a log or a download: looked at with its folder
        case Command::Mesup:
        case Command::Mailuptxt:
        case Command::Mailupbin:
        case Command::Mesrc:
        case Command::Dldown:
        case Command::New:
        case Command::Patioread:
        case Command::Patioup:
        case Command::Patiorc:
        case Command::Bbsup:
        case Command::Newtitle:
            break;
        }
    }

    int libraryFiles(Forum &forum, const QByteArray &code, qint32 number) {
        int list = forum.libraryFiles.value(number, -1);
        if (list < 0) {
            list = states.file(data.libraryFiles(code, number));
            forum.libraryFiles.insert(number, list);
        }
        return list;
    }

    void forumProblems(Command command, const PatrolEntry &e, Collected &c) {
        c.consult(forumListId);
        if (!lastForum || e.param1 != lastForumCode) {
            lastForum = &forumInfo[e.param1];
            lastForumCode = e.param1;
        }
        Forum &forum = *lastForum;
        // Read once, and only when needed: most entries of a forum not
        // listed never need it.
        std::optional<qint32> read;
        const auto numberOf = [&read, &e] {
            if (!read)
                read = roomOrLibraryNumber(e);
            return *read;
        };
        forumWrites(command, e, forum, numberOf, c);
        if (forum.judgedAt != forumListReadings) {
            forum.judgedAt = forumListReadings;
            forum.listed = forumCodes().contains(e.param1) || !forumsKnown;
        }
        if (!forum.listed)
            return c.problem(UnlistedForum);
        const qint32 number = numberOf();
        if (paramWith(command, Param::RoomNumber)) {
            if (forum.rooms < 0)
                forum.rooms = states.file(data.rooms(e.param1));
            if (!listed(forum.rooms, 2, number, c))
                return c.problem(UnlistedRoom);
        }
        if (paramWith(command, Param::LibraryNumber)) {
            if (forum.libraries < 0)
                forum.libraries = states.file(data.libraries(e.param1));
            if (!listed(forum.libraries, 4, number, c))
                return c.problem(UnlistedLibrary);
        }
        if (const int download = paramWith(command, Param::DownloadNumber)) {
            const int list = libraryFiles(forum, e.param1, number);
            if (!listed(list, 0, text::strictInteger(e.field(download)).value_or(0), c))
                c.problem(UnlistedDownload);
        }
    }

    void patioProblems(const PatrolEntry &e, Collected &c) {
        c.consult(patioListId);
        const QHash<QByteArray, QByteArray> &known = patios();
        if (!patiosKnown)
            return;
        const auto found = known.constFind(e.param1);
        if (found == known.constEnd())
            c.problem(UnlistedPatio);
        else if (*found != e.param2)
            c.problem(WrongPatioPassword);
    }

    bool badDays(const QByteArray &days) {
        if (!daysSeen || days != lastDays) {
            daysSeen = true;
            lastDays = days;
            lastDaysBad = daysProblem(days).has_value();
        }
        return lastDaysBad;
    }
};

EntryChecker::EntryChecker(const SettingsFolders &folders) : d(new State(folders)) {
    d->forumListId = d->states.file(d->data.forumList());
    d->patioListId = d->states.file(d->data.patioList());
    d->feesId = d->states.file(d->data.fees());
    d->noticesId = d->states.file(d->data.notices());
}

EntryChecker::~EntryChecker() = default;

Findings EntryChecker::check(const PatrolEntry &e) {
    Collected c;
    const std::optional<Command> command = commandOf(e.command);
    // The download name's rule asks its folder's file system: each name is
    // judged once.
    const int name = command ? paramWith(*command, Param::DownloadName) : 0;
    State::Name *verdict = name ? &d->nameOf(e.field(name)) : nullptr;
    if (verdict)
        c.consult(verdict->folder);
    const NameRule judged = [verdict](const QByteArray &) { return verdict->problem; };
    if (!command || !fieldProblems(e, *command, d->folders, judged).isEmpty()) {
        c.problem(FieldProblems);
    } else {
        const CommandInfo &info = commandInfo(*command);
        if (info.target == Target::Forum)
            d->forumProblems(*command, e, c);
        if (info.target == Target::Patio)
            d->patioProblems(e, c);
        if (const int send = paramWith(*command, Param::SendFile)) {
            const int id = d->states.file(e.field(send));
            c.consult(id);
            if (d->states.sendCode(id) != 0)
                c.problem(MissingSendFile);
        }
        // A log or a download is looked at once its folder can be written:
        // until then the folder is the entry's problem.
        if (const int log = paramWith(*command, Param::LogFile)) {
            const int id = d->states.logFolder(e.field(log));
            c.consult(id);
            if (!d->states.at(id).isWritableFolder())
                c.problem(UnwritableLogFolder);
            else
                d->writes(d->states.file(e.field(log)), c);
        }
        if (verdict && !d->states.at(verdict->folder).isWritableFolder()) {
            c.problem(UnwritableDownloadFolder);
        } else if (verdict) {
            if (verdict->file < 0)
                verdict->file =
                    d->states.file(downloadFolder(d->folders, e.field(name)) + e.field(name));
            d->writes(verdict->file, c);
        }
        // What the command itself needs or writes besides its fields'
        // files, as the run does it.
        switch (*command) {
        case Command::Bill:
            d->writes(d->feesId, c);
            break;
        case Command::Myforum:
            d->writes(d->forumListId, c);
            break;
        case Command::Newtitle:
            d->writes(d->noticesId, c);
            break;
        case Command::New: {
            const int id = d->states.file(d->data.noticeSelection());
            c.consult(id);
            if (!d->states.at(id).isRegular())
                c.problem(NoNoticeSelection);
            break;
        }
        case Command::Mestitlea:
        case Command::Dltitlea:
        case Command::Mesread:
        case Command::Mesup:
        case Command::Mailuptxt:
        case Command::Mailupbin:
        case Command::Mesrc:
        case Command::Dltitleb:
        case Command::Dldown:
        case Command::Patioread:
        case Command::Patioup:
        case Command::Patiorc:
        case Command::Bbsup:
            break;
        }
    }
    if (d->badDays(e.days))
        c.problem(BadDays);
    return c.found;
}

QStringList EntryChecker::words(const PatrolEntry &e, quint32 problems) {
    if (problems == 0)
        return {};
    QStringList lines;
    if (problems & FieldProblems)
        lines << fieldProblems(e, d->folders, d->nameRule);
    const std::optional<Command> command = commandOf(e.command);
    const auto field = [&](Param param) {
        return command ? e.field(paramWith(*command, param)) : QByteArray();
    };
    const qint32 number = roomOrLibraryNumber(e);
    if (problems & UnlistedForum)
        lines << QStringLiteral(u"フォーラム「%1」が %2 にありません")
                     .arg(text::decode(e.param1), text::shownName(d->data.forumList()));
    if (problems & UnlistedRoom)
        lines << QStringLiteral(u"%1番会議室が %2 の会議室リストにありません")
                     .arg(number)
                     .arg(text::decode(e.param1));
    if (problems & UnlistedLibrary)
        lines << QStringLiteral(u"%1番ライブラリィが %2 のライブラリィリストにありません")
                     .arg(number)
                     .arg(text::decode(e.param1));
    if (problems & UnlistedDownload)
        lines << QStringLiteral(u"ダウンロード番号 %1 が %2 にありません")
                     .arg(text::strictInteger(field(Param::DownloadNumber)).value_or(0))
                     .arg(text::shownName(d->data.libraryFiles(e.param1, number)));
    if (problems & UnlistedPatio)
        lines << QStringLiteral(u"パティオＩＤ「%1」が %2 にありません")
                     .arg(text::decode(e.param1), text::shownName(d->data.patioList()));
    if (problems & WrongPatioPassword)
        lines << QStringLiteral(u"パティオＩＤ「%1」のパスワードが %2 と違います")
                     .arg(text::decode(e.param1), text::shownName(d->data.patioList()));
    if (problems & MissingSendFile) {
        const QByteArray &file = field(Param::SendFile);
        const int id = d->states.idOf(file);
        lines << sendFileProblem(file, id >= 0 ? d->states.sendCode(id) : ENOENT);
    }
    const QString unwritable = QStringLiteral(u"%1のフォルダ「%2」に書き込めません");
    if (problems & UnwritableLogFolder)
        lines << unwritable.arg(QStringLiteral(u"ログ"), logFolderOf(field(Param::LogFile)));
    if (problems & UnwritableDownloadFolder)
        lines << unwritable.arg(
            QStringLiteral(u"ダウンロード"),
            text::nativePath(downloadFolder(d->folders, field(Param::DownloadName))));
    if ((problems & UnwritableFile) && command) {
        for (const WrittenFile &file : filesWritten(e, *command, d->folders)) {
            const int id = d->states.idOf(file.path);
            if (id >= 0 && d->states.at(id).isUnwritable())
                lines << text::cannotWrite(text::nativePath(file.path), text::notRegularFile())
                             .text();
        }
    }
    if (problems & NoNoticeSelection)
        lines << noNoticeSelection(d->folders);
    if (problems & BadDays)
        lines << daysProblem(e.days).value_or(QString());
    return lines;
}

QStringList EntryChecker::problems(const PatrolEntry &e, QList<int> *consulted) {
    const Findings found = check(e);
    if (consulted) {
        for (int i = 0; i < found.consultedCount; ++i)
            consulted->append(found.consulted[i]);
    }
    return words(e, found.problems);
}

QStringList EntryChecker::unreadableFiles() const {
    return d->unreadable.values();
}

QList<EntryChecker::WatchRequest> EntryChecker::foldersToWatch(qsizetype most) {
    return d->states.foldersToWatch(most);
}

void EntryChecker::unwatched(const QString &folder, bool refused) {
    d->states.unwatched(folder, refused);
}

bool EntryChecker::noteChange(const QString &folder, const QString &name) {
    return d->states.noteChange(folder, name);
}

void EntryChecker::noteContents(const QString &folder) {
    d->states.noteContents(folder);
}

void EntryChecker::noteAll() {
    d->states.noteAll();
}

void EntryChecker::noteRefused() {
    d->states.noteRefused();
}

bool EntryChecker::anyRefused() const {
    return d->states.anyRefused();
}

bool EntryChecker::lookAgain(const QDeadlineTimer &deadline, QList<int> *changed) {
    const qsizetype before = changed->size();
    const bool done = d->states.lookAgain(deadline, changed);
    // What was read of a path that changed is forgotten with it.
    for (qsizetype i = before; i < changed->size(); ++i) {
        const int id = changed->at(i);
        d->unreadable.remove(id);
        if (id == d->forumListId) {
            d->forums.reset();
            ++d->forumListReadings;
        }
        if (id == d->patioListId)
            d->patioPasswords.reset();
    }
    if (changed->size() > before)
        d->forgetNameLengths();
    return done;
}

QList<int> EntryChecker::refresh() {
    QList<int> changed;
    noteAll();
    lookAgain(QDeadlineTimer(QDeadlineTimer::Forever), &changed);
    return changed;
}

qsizetype EntryChecker::pathCount() const {
    return d->states.pathCount();
}

} // namespace kirano::rules

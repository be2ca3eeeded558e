// Every reader of the program fed every kind of hostile file, through the
// real window: no hang (the test's timeout), no crash, no message where none
// belongs, and the view each kind must give. Also: bytes the user never
// touched are written back as they were.

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "dialogs/patioeditor.h"
#include "scriptedprompts.h"
#include "testfiles.h"
#include "testmain.h"
#include "text/sjis.h"
#include "version.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

enum class Kind {
    RandomBytes,
    LoneLeadByte,
    NulAtStart,
    NulInMiddle,
    NulAtEnd,
    SubAtStart,
    SubInMiddle,
    SubAtEnd,
    TenMegabyteLine,
    MillionEmptyLines,
    Folder,
    Fifo,
    DanglingLink,
    LinkLoop,
    DeviceLink,
};

// Where the hostile file sits and what the user does to make it read.
enum class Reader { Settings, ForumList, PatioList, Rooms, TopPage, PatrolFile };

constexpr int kUnchecked = -1;
constexpr int kHugeLine = 10 * 1000 * 1000;

// "one", "two", "three" on CR LF lines, with `c` put in at `where`.
QByteArray threeLinesWith(char c, int where) {
    const QByteArray mark(1, c);
    if (where == 0)
        return mark + "one\r\ntwo\r\nthree\r\n";
    if (where == 1)
        return "one\r\ntwo" + mark + "\r\nthree\r\n";
    return "one\r\ntwo\r\nthree\r\n" + mark;
}

void makeHostile(const QString &path, Kind kind) {
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::RandomBytes: {
        QRandomGenerator random(10);
        QByteArray bytes(64 * 1024, '\0');
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        return writeBytes(path, bytes);
    }
    case Kind::LoneLeadByte:
        return writeBytes(path, "abc\x82");
    case Kind::NulAtStart:
    case Kind::NulInMiddle:
    case Kind::NulAtEnd:
        return writeBytes(path, threeLinesWith('\0', int(kind) - int(Kind::NulAtStart)));
    case Kind::SubAtStart:
    case Kind::SubInMiddle:
    case Kind::SubAtEnd:
        return writeBytes(path, threeLinesWith('\x1a', int(kind) - int(Kind::SubAtStart)));
    case Kind::TenMegabyteLine:
        return writeBytes(path, QByteArray(kHugeLine, 'x'));
    case Kind::MillionEmptyLines: {
        QByteArray lines;
        lines.reserve(2 * 1000 * 1000);
        for (int i = 0; i < 1000 * 1000; ++i)
            lines += "\r\n";
        return writeBytes(path, lines);
    }
    case Kind::Folder:
        QVERIFY(QDir().mkpath(path));
        return;
    case Kind::Fifo:
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        return;
    case Kind::DanglingLink:
        QCOMPARE(::symlink("no-such-file", native.constData()), 0);
        return;
    case Kind::LinkLoop:
        QCOMPARE(::symlink(native.constData(), native.constData()), 0);
        return;
    case Kind::DeviceLink:
        QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        return;
    }
}

// What a kind amounts to for a file that must exist to be shown.
enum class Outcome { Read, Missing, Unreadable };

Outcome outcomeOf(Kind kind) {
    switch (kind) {
    case Kind::Folder:
    case Kind::DanglingLink:
    case Kind::LinkLoop:
        return Outcome::Missing;
    case Kind::Fifo:
    case Kind::DeviceLink:
        return Outcome::Unreadable;
    default:
        return Outcome::Read;
    }
}

const char *nameOf(Kind kind) {
    static const char *names[] = {
        "random bytes",  "lone lead byte", "NUL at start",  "NUL in middle", "NUL at end",
        "0x1A at start", "0x1A in middle", "0x1A at end",   "10 MB line",    "1e6 empty lines",
        "folder",        "FIFO",           "dangling link", "link loop",     "link to device"};
    return names[int(kind)];
}

// A program folder whose settings file names data/ as the data folder, with
// one forum "F" whose files are under data/F/.
struct Program {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;

    QString folder() const { return dir.path() + u'/'; }
    QString data() const { return folder() + u"data/"_s; }
    QString settingsPath() const { return folder() + u"環境設定.txt"_s; }

    void writeSettings() {
        QByteArray content = "1\r\n1\r\n1\r\n";
        for (int i = 0; i < 8; ++i)
            content += text::bytesOf(i == 1 ? data() : folder()) + "\r\n";
        writeBytes(settingsPath(), content);
        QDir().mkpath(data() + u"F"_s);
        writeBytes(data() + u"forumlist.txt"_s, "Forum\r\nF/\r\n");
    }
    MainWindow &start() {
        window = std::make_unique<MainWindow>(folder(), prompts);
        createDialogs(*window, prompts);
        window->show();
        [[maybe_unused]] const bool shown = QTest::qWaitForWindowExposed(window.get());
        return *window;
    }
    template <typename T> T *child(const QString &name) { return window->findChild<T *>(name); }
    // A left click on the row, as the user makes it.
    void clickRow(const char *list, int row) {
        auto *view = child<DataListView>(QString::fromLatin1(list));
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
  private slots:
    void everyReaderEveryKind_data();
    void everyReaderEveryKind();
    void throwDuringStartUpIsReported();
    void patioChangeKeepsUntouchedBytes();
};

void TestHostileFiles::everyReaderEveryKind_data() {
    QTest::addColumn<int>("reader");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("messages");
    // Rows shown, or kUnchecked; and the first row as shown, when not null.
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstRow");

    const QString missingSettings = u"message|環境設定.txtがありません"_s;
    const QString denied = u"message|ﾌｧｲﾙへのｱｸｾｽが拒否されました"_s;
    const QString loadFailed = u"message|読み込みに失敗しました"_s;
    const QString loneLead = u"abc\uFFFD"_s;

    // Rows per kind for the readers that read line by line (0x1A ends the
    // file, NUL is a byte) and for those that load the whole file (NUL ends
    // the text, 0x1A is a byte shown as itself).
    struct Counts {
        int forums, patios, captured, patrolEntries;
    };
    const std::map<Kind, Counts> counts = {
        {Kind::LoneLeadByte, {1, 1, 1, 0}},
        {Kind::NulAtStart, {2, 1, 0, 0}},
        {Kind::NulInMiddle, {2, 1, 2, 0}},
        {Kind::NulAtEnd, {2, 2, 3, 0}},
        {Kind::SubAtStart, {0, 0, 3, 0}},
        {Kind::SubInMiddle, {1, 1, 3, 0}},
        {Kind::SubAtEnd, {2, 1, 4, 0}},
        {Kind::TenMegabyteLine, {1, 1, 1, 0}},
        {Kind::MillionEmptyLines, {500000, 333334, 1000000, 166666}},
    };

    for (int k = 0; k <= int(Kind::DeviceLink); ++k) {
        const Kind kind = Kind(k);
        const Outcome outcome = outcomeOf(kind);
        const bool known = counts.count(kind) > 0;
        const Counts c = known ? counts.at(kind) : Counts{0, 0, 0, 0};
        const auto read = [&](int n) {
            return outcome != Outcome::Read ? 0 : known ? n : kUnchecked;
        };
        QString first;
        if (kind == Kind::LoneLeadByte)
            first = loneLead;
        const auto row = [&](Reader reader, const QStringList &messages, int rows,
                             const QString &firstRow = QString()) {
            static const char *readers[] = {"settings", "forumlist", "patiolist",
                                            "mes.txt",  "top.txt",   "patrol list"};
            QTest::addRow("%s: %s", readers[int(reader)], nameOf(kind))
                << int(reader) << k << messages << rows << firstRow;
        };

        // The settings file: missing says so, unreadable shows the error,
        // anything readable starts quietly.
        row(Reader::Settings,
            outcome == Outcome::Missing      ? QStringList{missingSettings}
            : outcome == Outcome::Unreadable ? QStringList{denied}
                                             : QStringList{},
            kUnchecked);
        // The lists read at start-up: never a message.
        row(Reader::ForumList, {}, read(c.forums), first);
        row(Reader::PatioList, {}, read(c.patios), first);
        // A forum's rooms: missing gives the 20 placeholder rows, unreadable
        // an empty list; the 0x1A byte shows as itself.
        row(Reader::Rooms, {}, outcome == Outcome::Missing ? 20 : read(c.captured),
            kind == Kind::SubAtStart ? u"\u001Aone"_s : first);
        row(Reader::TopPage, {}, outcome == Outcome::Missing ? 1 : read(c.captured),
            outcome == Outcome::Missing ? u"ファイルがありません"_s : first);
        // "開く": a file that is not there ends the command quietly, one that
        // cannot be read says so.
        row(Reader::PatrolFile,
            outcome == Outcome::Unreadable ? QStringList{loadFailed}
            : kind == Kind::RandomBytes    ? QStringList{u"<unchecked>"_s}
                                           : QStringList{},
            read(c.patrolEntries));
    }
}

void TestHostileFiles::everyReaderEveryKind() {
    QFETCH(int, reader);
    QFETCH(int, kind);
    QFETCH(QStringList, messages);
    QFETCH(int, rows);
    QFETCH(QString, firstRow);

    Program p;
    QStringList shownRows;
    if (Reader(reader) == Reader::Settings) {
        makeHostile(p.settingsPath(), Kind(kind));
        p.start();
        QCOMPARE(p.prompts.takeAsked(), messages);
        QVERIFY(p.window->isVisible());
        return;
    }
    p.writeSettings();
    const QString target = Reader(reader) == Reader::ForumList   ? p.data() + u"forumlist.txt"_s
                           : Reader(reader) == Reader::PatioList ? p.data() + u"patiolist.txt"_s
                           : Reader(reader) == Reader::Rooms     ? p.data() + u"F/mes.txt"_s
                           : Reader(reader) == Reader::TopPage   ? p.data() + u"F/top.txt"_s
                                                                 : p.folder() + u"list.txt"_s;
    if (Reader(reader) == Reader::ForumList)
        QFile::remove(target);
    makeHostile(target, Kind(kind));
    p.start();

    QAbstractItemView *view = nullptr;
    switch (Reader(reader)) {
    case Reader::ForumList:
        view = p.child<DataListView>(u"ListBox2"_s);
        break;
    case Reader::PatioList:
        view = p.child<DataListView>(u"ListBox3"_s);
        break;
    case Reader::Rooms:
        p.clickRow("ListBox2", 0);
        view = p.child<DataListView>(u"ListBox4"_s);
        if (rows == 0)
            QCOMPARE(p.child<QLabel>(u"Panel3"_s)->text(), u"     データ取得日--------------"_s);
        break;
    case Reader::TopPage: {
        p.clickRow("ListBox2", 0);
        const QList<QByteArray> &lines = p.child<TextPane>(u"Label2"_s)->lines();
        if (rows != kUnchecked)
            QCOMPARE(lines.size(), rows);
        if (!firstRow.isNull())
            QCOMPARE(text::decode(lines.value(0)), firstRow);
        break;
    }
    case Reader::PatrolFile:
        p.prompts.answer({target});
        p.child<QAction>(u"Open1"_s)->trigger();
        p.prompts.asked.removeFirst(); // the open-file dialog itself
        view = p.child<QAbstractItemView>(u"lsv1"_s);
        break;
    case Reader::Settings:
        break;
    }
    if (messages != QStringList{u"<unchecked>"_s})
        QCOMPARE(p.prompts.takeAsked(), messages);
    if (!view)
        return;
    if (rows != kUnchecked)
        QCOMPARE(view->model()->rowCount(), rows);
    if (!firstRow.isNull())
        QCOMPARE(view->model()->index(0, 0).data().toString(), firstRow);
    if (Kind(kind) == Kind::TenMegabyteLine && view->model()->rowCount() > 0) {
        // Only what is drawn is cut; the row keeps every byte.
        const QString shown = view->model()->index(0, 0).data().toString();
        QVERIFY2(shown.size() <= text::kShownBytes + 1 && shown.endsWith(QChar(0x2026)),
                 qPrintable(QString::number(shown.size())));
        QElapsedTimer paint;
        paint.start();
        view->viewport()->repaint();
        QVERIFY2(paint.elapsed() < 1000, "a row of megabytes paints at once");
    }
}

void TestHostileFiles::throwDuringStartUpIsReported() {
    // The start-up's one message throws, as a failing read would.
    struct ThrowingPrompts : ScriptedPrompts {
        void message(const QString &text) override { throw std::runtime_error(text.toStdString()); }
    };
    auto *app = static_cast<KiranoApplication *>(QCoreApplication::instance());
    QStringList reported;
    app->setErrorReporter([&reported](const QString &text) { reported << text; });
    QTemporaryDir dir;
    ThrowingPrompts prompts;
    MainWindow window(dir.path() + u'/', prompts);
    app->setErrorReporter(nullptr);
    QCOMPARE(reported, QStringList{u"環境設定.txtがありません"_s});
    QCOMPARE(window.windowTitle(), u"Kirano  Ver." KIRANO_VERSION ""_s);
}

void TestHostileFiles::patioChangeKeepsUntouchedBytes() {
    Program p;
    p.writeSettings();
    // An invalid byte, a lone lead byte at the end, an NEC-selected character
    // that decodes like its IBM twin.
    const QByteArray original = "Tea\x80room\r\nID\xed\x40\r\npw\x82\r\n";
    writeBytes(p.data() + u"patiolist.txt"_s, original);
    p.start();
    auto *editor = p.child<PatioEditor>(u"TForm3"_s);
    editor->show();
    const QString name = u"Tea\uFFFDroom"_s;
    const QString id = text::decode("ID\xed\x40");
    const QString password = u"pw\uFFFD"_s;
    // Confirmed as shown, all three keep their bytes.
    p.prompts.answer({name, id, password});
    QTest::mouseClick(editor->findChild<QPushButton *>(u"Button7"_s), Qt::LeftButton);
    QTest::mouseClick(editor->findChild<QPushButton *>(u"Button5"_s), Qt::LeftButton);
    QCOMPARE(p.prompts.takeAsked(),
             (QStringList{u"query|パティオ編集|名称|"_s + name, u"query|パティオ編集|ＩＤ|"_s + id,
                          u"query|パティオ編集|パスワード|"_s + password}));
    QCOMPARE(readBytes(p.data() + u"patiolist.txt"_s), original);

    // A field typed anew is stored as typed; the others still keep theirs.
    p.prompts.answer({name, u"new"_s, password});
    QTest::mouseClick(editor->findChild<QPushButton *>(u"Button7"_s), Qt::LeftButton);
    QTest::mouseClick(editor->findChild<QPushButton *>(u"Button5"_s), Qt::LeftButton);
    p.prompts.takeAsked();
    QCOMPARE(readBytes(p.data() + u"patiolist.txt"_s),
             QByteArray("Tea\x80room\r\nNEW\r\npw\x82\r\n"));
    editor->hide();
}

KIRANO_GUI_TEST_MAIN(TestHostileFiles)
#include "test_app_hostilefiles.moc"

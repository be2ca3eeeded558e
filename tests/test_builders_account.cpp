// The account, notice, BBS and patio commands, and "patiolist.txt".

#include "builderharness.h"
#include "builders/accountbuilders.h"
#include "builders/patiobuilders.h"
#include "store/bbscategories.h"
#include "store/patiofile.h"
#include "testmain.h"
#include "text/sjis.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <deque>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(kirano::PatioRecord)

namespace {

Builder builderNamed(const QByteArray &name) {
    static const std::pair<const char *, Builder> all[] = {
        {"bill", buildBill},           {"myforum", buildMyforum},     {"newtitle", buildNewtitle},
        {"mailuptxt", buildMailuptxt}, {"mailupbin", buildMailupbin}, {"new", buildNew},
        {"bbsup", buildBbsup},         {"patioread", buildPatioread}, {"patioup", buildPatioup},
        {"patiorc", buildPatiorc}};
    for (const auto &[n, b] : all) {
        if (name == n)
            return b;
    }
    qFatal("no builder %s", name.constData());
}

const QByteArrayList kPatioBuilders{"patioread", "patioup", "patiorc"};
const QByteArrayList kAllBuilders =
    QByteArrayList{"bill", "myforum", "newtitle", "mailuptxt", "mailupbin", "new", "bbsup"} +
    kPatioBuilders;

const QString kSubjectInput = u"input|バイナリメールアップ|題名|"_s;
const QString kRecipientInput = u"input|バイナリメールアップ|送り先ＩＤ|"_s;
const QString kMailBinOpen = u"open|バイナリメール用ファイル|/bup/|clear"_s;
const QString kReadCountInput = u"input|パティオ|既読数|"_s;
// Stands for the patio password in compared fields, so that no failure
// output ever shows it.
const QByteArray kHidden = "<password>";

struct Harness : BuilderHarness {
    Harness() {
        context.patioId = QByteArray("PT01");
        context.patioPassword = QByteArray("k7q-pw");
    }

    QString noticeFile() const { return path(u"Newtitle.txt"_s); }

    QByteArrayList run(const QByteArray &builder) {
        QByteArrayList fields = fieldsOf(builderNamed(builder));
        for (QByteArray &field : fields) {
            if (context.patioPassword && field == *context.patioPassword)
                field = kHidden;
        }
        return fields;
    }
};

QByteArrayList entry(const QByteArray &command, const QByteArray &p1 = "0",
                     const QByteArray &p2 = "0", const QByteArray &p3 = "0") {
    return {command, p1, p2, p3, "0", Harness::days()};
}

QByteArray crlf(const QByteArrayList &lines) {
    QByteArray all;
    for (const QByteArray &l : lines)
        all += l + "\r\n";
    return all;
}

} // namespace

class TestAccountBuilders : public QObject {
    Q_OBJECT
  private slots:
    void commandsWithoutParameters_data() {
        QTest::addColumn<QByteArray>("builder");
        for (const char *b : {"bill", "myforum", "newtitle"})
            QTest::newRow(b) << QByteArray(b);
    }
    void commandsWithoutParameters() {
        QFETCH(QByteArray, builder);
        Harness h;
        QCOMPARE(h.run(builder), entry(builder));
        QCOMPARE(h.prompts.asked, QStringList{kDays});
        QCOMPARE(h.dayReads, 1);
    }

    void noWeekdayAsksNothing_data() {
        QTest::addColumn<QByteArray>("builder");
        for (const QByteArray &b : kAllBuilders)
            QTest::newRow(b.constData()) << b;
    }
    void noWeekdayAsksNothing() {
        QFETCH(QByteArray, builder);
        Harness h;
        h.dayAnswers = {std::nullopt};
        h.context.selectedNotices = {"001 * a"};
        QCOMPARE(h.run(builder), QByteArrayList{});
        QCOMPARE(h.prompts.asked, QStringList{kDays});
        QCOMPARE(h.dayReads, 1);
        QVERIFY(!QFile::exists(h.noticeFile()));
    }

    void noPatioSelectedStops_data() {
        QTest::addColumn<QByteArray>("builder");
        for (const QByteArray &b : kPatioBuilders)
            QTest::newRow(b.constData()) << b;
    }
    void noPatioSelectedStops() {
        QFETCH(QByteArray, builder);
        Harness h;
        h.context.patioId.reset();
        h.context.patioPassword.reset();
        QCOMPARE(h.run(builder), QByteArrayList{});
        QCOMPARE(h.prompts.asked, QStringList{kDays});
    }

    void fileFromTheOpenDialog_data() {
        QTest::addColumn<QByteArray>("builder");
        QTest::addColumn<QString>("chosen"); // "{dir}" is the temporary folder
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("message");
        const QString dirFile = u"{dir}/発言.txt"_s, bad = u"{dir}/café.txt"_s;
        for (const char *b : {"mailuptxt", "bbsup", "patioup"}) {
            QTest::addRow("%s exists", b) << QByteArray(b) << dirFile << true << true << QString();
            QTest::addRow("%s missing", b)
                << QByteArray(b) << dirFile << false << false << QString();
            QTest::addRow("%s folder", b)
                << QByteArray(b) << u"{dir}"_s << false << false << QString();
            QTest::addRow("%s cancel", b)
                << QByteArray(b) << QString() << false << false << QString();
            QTest::addRow("%s unencodable", b)
                << QByteArray(b) << bad << true << false << kBadFileName;
        }
        for (const char *b : {"patioread", "new"}) {
            QTest::addRow("%s need not exist", b)
                << QByteArray(b) << u"/log/新規.log"_s << false << true << QString();
            QTest::addRow("%s cancel", b)
                << QByteArray(b) << QString() << false << false << QString();
            QTest::addRow("%s unencodable", b)
                << QByteArray(b) << u"/log/café.log"_s << false << false << kBadFileName;
        }
    }
    void fileFromTheOpenDialog() {
        QFETCH(QByteArray, builder);
        QFETCH(QString, chosen);
        QFETCH(bool, create);
        QFETCH(bool, added);
        QFETCH(QString, message);
        Harness h;
        chosen.replace(u"{dir}"_s, h.dir.path());
        if (create)
            writeBytes(chosen, "text\r\n");
        h.prompts.answer({chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen)});
        const QByteArray file = text::encode(chosen).value_or(QByteArray());
        const QMap<QByteArray, std::pair<QString, QByteArrayList>> expected{
            {"mailuptxt", {u"テキストメール用ファイル|/bup/"_s, entry("mailuptxt", file)}},
            {"bbsup", {u"掲示板アップ用ファイル|/up/"_s, entry("bbsup", "0", "0", file)}},
            {"patioup", {u"パティオ発言ファイル|/up/"_s, entry("patioup", "PT01", kHidden, file)}},
            {"patioread", {u"ログファイル|/log/"_s, entry("patioread", "PT01", kHidden, file)}},
            {"new", {u"ログファイル|/log/"_s, entry("new", file)}}};
        QCOMPARE(h.run(builder), added ? expected[builder].second : QByteArrayList{});
        QStringList asked{kDays, u"open|%1|clear"_s.arg(expected[builder].first)};
        if (!message.isEmpty())
            asked << message;
        QCOMPARE(h.prompts.asked, asked);
        QCOMPARE(QFile::exists(h.noticeFile()), builder == "new" && added);
    }

    void binaryMailTakesSubjectAndRecipient_data() {
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QByteArray>("param3");
        QTest::newRow("ascii") << u"abc01z"_s << QByteArray("ABC01Z");
        QTest::newRow("capitals kept") << u"AbC-9"_s << QByteArray("ABC-9");
        QTest::newRow("wide letters") << u"ａｂｃ"_s << sjis(u"ａｂｃ");
        QTest::newRow("trail bytes like letters") << u"xッツホy"_s << sjis(u"XッツホY");
        QTest::newRow("half-width kana") << u"ｱa"_s << sjis(u"ｱA");
        QTest::newRow("kanji") << u"山田b"_s << sjis(u"山田B");
    }
    void binaryMailTakesSubjectAndRecipient() {
        QFETCH(QString, recipient);
        QFETCH(QByteArray, param3);
        QCOMPARE(sjis(u"ッツホ"), QByteArray("\x83\x62\x83\x63\x83\x7a"));
        Harness h;
        const QString file = h.path(u"mail.bin"_s);
        writeBytes(file, "\x01\x02");
        h.prompts.answer({file, u" 今月の 報告 "_s, recipient});
        QCOMPARE(h.run("mailupbin"),
                 entry("mailupbin", text::bytesOf(file), sjis(u" 今月の 報告 "), param3));
        QCOMPARE(h.prompts.asked,
                 (QStringList{kDays, kMailBinOpen, kSubjectInput, kRecipientInput}));
    }

    void binaryMailStops_data() {
        QTest::addColumn<QList<std::optional<QString>>>("answers"); // after the file
        QTest::addColumn<bool>("create");
        QTest::addColumn<QStringList>("after"); // questions after the open dialog
        using Answers = QList<std::optional<QString>>;
        QTest::newRow("cancel file") << Answers{} << true << QStringList{};
        QTest::newRow("missing file") << Answers{} << false << QStringList{};
        QTest::newRow("empty subject") << Answers{QString()} << true << QStringList{kSubjectInput};
        QTest::newRow("unencodable subject")
            << Answers{u"é"_s} << true << QStringList{kSubjectInput, kBadTyped};
        QTest::newRow("empty recipient")
            << Answers{u"s"_s, QString()} << true << QStringList{kSubjectInput, kRecipientInput};
        QTest::newRow("unencodable recipient")
            << Answers{u"s"_s, u"é"_s} << true
            << QStringList{kSubjectInput, kRecipientInput, kBadTyped};
    }
    void binaryMailStops() {
        QFETCH(QList<std::optional<QString>>, answers);
        QFETCH(bool, create);
        QFETCH(QStringList, after);
        Harness h;
        const QString file = h.path(u"mail.bin"_s);
        if (create)
            writeBytes(file, "x");
        const bool cancel = QByteArray(QTest::currentDataTag()) == "cancel file";
        h.prompts.answer({cancel ? std::nullopt : std::optional<QString>(file)});
        h.prompts.answers.insert(h.prompts.answers.end(), answers.begin(), answers.end());
        QCOMPARE(h.run("mailupbin"), QByteArrayList{});
        QCOMPARE(h.prompts.asked, (QStringList{kDays, kMailBinOpen} + after));
    }

    void noticeSelectionIsWrittenForNew() {
        Harness h;
        const QString log = u"/log/n.log"_s;
        h.context.selectedNotices = {"001 * Spring", sjis(u"002   春のお知らせ"),
                                     sjis(u"新着番号本文")};
        h.prompts.answer({log});
        QCOMPARE(h.run("new"), entry("new", "/log/n.log"));
        QCOMPARE(readBytes(h.noticeFile()),
                 crlf({"Spring", sjis(u"春のお知らせ"), sjis(u"号本文")}));
        h.context.selectedNotices = {"003 * one"};
        h.prompts.answer({log});
        QCOMPARE(h.run("new"), entry("new", "/log/n.log"));
        QCOMPARE(readBytes(h.noticeFile()), QByteArray("one\r\n"));
        h.context.selectedNotices.clear();
        h.prompts.answer({log});
        QCOMPARE(h.run("new"), entry("new", "/log/n.log"));
        QCOMPARE(readBytes(h.noticeFile()), QByteArray());
        QCOMPARE(h.dayReads, 3);
    }

    void newKeepsTheOldSelectionWhenStopped() {
        Harness h;
        writeBytes(h.noticeFile(), "old\r\n");
        h.context.selectedNotices = {"001 * new"};
        h.prompts.answer({std::nullopt, u"/log/café.log"_s});
        QCOMPARE(h.run("new"), QByteArrayList{});
        QCOMPARE(h.run("new"), QByteArrayList{});
        QCOMPARE(readBytes(h.noticeFile()), QByteArray("old\r\n"));
        QCOMPARE(h.prompts.asked, (QStringList{kDays, u"open|ログファイル|/log/|clear"_s, kDays,
                                               u"open|ログファイル|/log/|clear"_s, kBadFileName}));
    }

    void newShowsTheWriteError() {
        Harness h;
        h.context.folders.folders[SettingsFolders::Data] = text::bytesOf(h.path(u"none/"_s));
        h.context.selectedNotices = {"001 * a"};
        h.prompts.answer({u"/log/n.log"_s});
        QCOMPARE(h.run("new"), QByteArrayList{});
        QCOMPARE(h.prompts.asked, (QStringList{kDays, u"open|ログファイル|/log/|clear"_s,
                                               u"message|I/O ｴﾗｰ (%1)"_s.arg(ENOENT)}));
    }

    void bbsNumbersFollowTheSelectedRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QByteArray>("subNumber");
        QTest::newRow("none") << -1 << QByteArray("0") << QByteArray("0");
        QTest::newRow("first") << 0 << QByteArray("2") << QByteArray("0");
        QTest::newRow("word processors") << 3 << QByteArray("5") << QByteArray("1");
        QTest::newRow("NEC") << 5 << QByteArray("5") << QByteArray("3");
        QTest::newRow("buying") << 10 << QByteArray("6") << QByteArray("0");
        QTest::newRow("last") << 13 << QByteArray("9") << QByteArray("0");
    }
    void bbsNumbersFollowTheSelectedRow() {
        QFETCH(int, row);
        QFETCH(QByteArray, number);
        QFETCH(QByteArray, subNumber);
        QCOMPARE(bbsCategoryRows().value(5), sjis(u"売ります-パソコン (ＮＥＣ)"));
        QCOMPARE(bbsCategoryRows().value(10), sjis(u"買います"));
        Harness h;
        h.context.bbsRow = row;
        const QString file = h.path(u"bbs.txt"_s);
        writeBytes(file, "x");
        h.prompts.answer({file});
        QCOMPARE(h.run("bbsup"), entry("bbsup", number, subNumber, text::bytesOf(file)));
        QCOMPARE(h.prompts.asked,
                 (QStringList{kDays, u"open|掲示板アップ用ファイル|/up/|clear"_s}));
    }

    void readCountIsStoredAsTyped_data() {
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<QByteArray>("param3"); // empty: no entry
        QTest::addColumn<QString>("message");
        QTest::newRow("number") << std::optional(u"12"_s) << QByteArray("12") << QString();
        QTest::newRow("letters") << std::optional(u"abc"_s) << QByteArray("abc") << QString();
        QTest::newRow("blanks") << std::optional(u" 12 "_s) << QByteArray(" 12 ") << QString();
        QTest::newRow("wide digit") << std::optional(u"５"_s) << QByteArray() << kWideDigits;
        QTest::newRow("empty") << std::optional(QString()) << QByteArray() << QString();
        QTest::newRow("cancel") << std::optional<QString>() << QByteArray() << QString();
        QTest::newRow("unencodable") << std::optional(u"é"_s) << QByteArray() << kBadTyped;
    }
    void readCountIsStoredAsTyped() {
        QFETCH(std::optional<QString>, typed);
        QFETCH(QByteArray, param3);
        QFETCH(QString, message);
        Harness h;
        h.prompts.answer({typed});
        QCOMPARE(h.run("patiorc"),
                 param3.isEmpty() ? QByteArrayList{} : entry("patiorc", "PT01", kHidden, param3));
        QStringList asked{kDays, kReadCountInput};
        if (!message.isEmpty())
            asked << message;
        QCOMPARE(h.prompts.asked, asked);
    }

    void patioListIsReadLineByLine_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<PatioRecord>>("records");
        const QByteArray name = sjis(u"雑談パティオ");
        QTest::newRow("two") << crlf({name, "P1", "pw1", "b", "P2", "pw2"})
                             << QList<PatioRecord>{{name, "P1", "pw1"}, {"b", "P2", "pw2"}};
        QTest::newRow("four lines") << crlf({"a", "P1", "pw1", "b"})
                                    << QList<PatioRecord>{{"a", "P1", "pw1"}, {"b", "", ""}};
        QTest::newRow("empty") << QByteArray() << QList<PatioRecord>{};
        QTest::newRow("extra line end")
            << crlf({"a", "P1", "pw1", ""}) << QList<PatioRecord>{{"a", "P1", "pw1"}, {"", "", ""}};
        QTest::newRow("same name twice")
            << crlf({"a", "P1", "pw1", "a", "P2", "pw2"})
            << QList<PatioRecord>{{"a", "P1", "pw1"}, {"a", "P2", "pw2"}};
        QTest::newRow("bare LF stays")
            << QByteArray("a\nb\r\nP1\r\npw1\r\n") << QList<PatioRecord>{{"a\nb", "P1", "pw1"}};
        QTest::newRow("CR alone") << QByteArray("a\rP1\rpw1")
                                  << QList<PatioRecord>{{"a", "P1", "pw1"}};
        QTest::newRow("0x1A ends") << crlf({"a", "P1", "pw1"}) + "\x1a" + crlf({"b", "P2", "pw2"})
                                   << QList<PatioRecord>{{"a", "P1", "pw1"}};
    }
    void patioListIsReadLineByLine() {
        QFETCH(QByteArray, content);
        QFETCH(QList<PatioRecord>, records);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"patiolist.txt"_s);
        writeBytes(path, content);
        text::Result<QList<PatioRecord>> read = readPatioList(path);
        QVERIFY(read.has_value());
        QCOMPARE(*read, records);
    }

    void missingPatioListIsAnError() {
        QTemporaryDir dir;
        const text::Result<QList<PatioRecord>> read =
            readPatioList(dir.filePath(u"patiolist.txt"_s));
        QVERIFY(!read.has_value());
        QCOMPARE(read.error().code(), ENOENT);
    }

    void patioListIsWrittenOwnerOnly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"patiolist.txt"_s);
        const QList<PatioRecord> records{
            {sjis(u"雑談"), "P1", "pw1"}, {"", "", ""}, {"b", "P2", ""}};
        QVERIFY(writePatioList(path, records).has_value());
        // Compared without QCOMPARE: the bytes hold passwords.
        QVERIFY(readBytes(path) == crlf({sjis(u"雑談"), "P1", "pw1", "", "", "", "b", "P2", ""}));
        QCOMPARE(readPatioList(path).value_or(QList<PatioRecord>{}), records);
        const QFileDevice::Permissions perms = QFile::permissions(path);
        QVERIFY(perms.testFlag(QFileDevice::ReadOwner) && perms.testFlag(QFileDevice::WriteOwner));
        QVERIFY(!(perms & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                           QFileDevice::ReadOther | QFileDevice::WriteOther)));
    }

    void replacedPatioListKeepsItsPermissions() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"patiolist.txt"_s);
        writeBytes(path, crlf({"old", "P0", "pw0"}));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QVERIFY(writePatioList(path, {{"a", "P1", "pw1"}}).has_value());
        QVERIFY(readBytes(path) == crlf({"a", "P1", "pw1"}));
        const QFileDevice::Permissions perms = QFile::permissions(path);
        QVERIFY(perms.testFlag(QFileDevice::ReadGroup));
        QVERIFY(perms.testFlag(QFileDevice::ReadOther));
        QVERIFY(perms.testFlag(QFileDevice::WriteOwner));
    }

    void patioListInMissingFolderFails() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"none/patiolist.txt"_s);
        const text::Result<> written = writePatioList(path, {{"a", "P1", "pw1"}});
        QVERIFY(!written.has_value());
        QCOMPARE(written.error().code(), ENOENT);
        QVERIFY(!QFile::exists(path));
    }
};

KIRANO_CORE_TEST_MAIN(TestAccountBuilders)
#include "test_builders_account.moc"

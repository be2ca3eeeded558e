#include "builderharness.h"
#include "builders/forumbuilders.h"
#include "store/datafolder.h"
#include "testmain.h"
#include "text/sjis.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

Builder builderNamed(const QByteArray &name) {
    static const std::pair<const char *, Builder> all[] = {
        {"mestitlea", buildMestitlea}, {"dltitlea", buildDltitlea},
        {"mesread", buildMesread},     {"mesup", buildMesup},
        {"mesrc", buildMesrc},         {"dltitleb", buildDltitleb},
        {"dldown", buildDldown},       {"dldownFromList", buildDldownFromList}};
    for (const auto &[n, b] : all) {
        if (name == n)
            return b;
    }
    qFatal("no builder %s", name.constData());
}

const QByteArrayList kRoomBuilders{"mesread", "mesup", "mesrc"};
const QByteArrayList kLibraryBuilders{"dltitleb", "dldown", "dldownFromList"};
const QByteArrayList kAllBuilders =
    QByteArrayList{"mestitlea", "dltitlea"} + kRoomBuilders + kLibraryBuilders;

const QString kMesrcInput = u"input|会議室|未読数入力|"_s;
const QString kDateInput = u"input|ライブラリィ|日付（例 980101）|"_s;
const QString kNumberInput = u"input|ライブラリィ|ダウンロード番号|"_s;
const QString kNameQuery = u"query|ライブラリィ|ファイル名|"_s;

struct Harness : BuilderHarness {
    Harness() {
        context.forumCode = QByteArray("FOR1");
        context.roomRow = sjis(u"01  雑談の部屋");
        context.libraryRow = sjis(u"0003 フリーソフト");
    }

    QString listPath() const { return path(u"FOR1dl3.txt"_s); }

    QByteArrayList run(const QByteArray &builder) { return fieldsOf(builderNamed(builder)); }
};

QByteArrayList entry(const QByteArray &command, const QByteArray &p2, const QByteArray &p3,
                     const QByteArray &p4 = "0") {
    return {command, "FOR1", p2, p3, p4, Harness::days()};
}

// A library list row: `head` in bytes 1 to 39, `tail` from byte 40 on.
QByteArray listRow(const QByteArray &head, const QByteArray &tail) {
    return head.leftJustified(39, ' ') + tail;
}

QByteArray crlf(const QByteArrayList &lines) {
    QByteArray all;
    for (const QByteArray &l : lines)
        all += l + "\r\n";
    return all;
}

} // namespace

class TestForumBuilders : public QObject {
    Q_OBJECT
  private slots:
    void forumCommandsTakeOnlyTheCode_data() {
        QTest::addColumn<QByteArray>("builder");
        QTest::newRow("mestitlea") << QByteArray("mestitlea");
        QTest::newRow("dltitlea") << QByteArray("dltitlea");
    }
    void forumCommandsTakeOnlyTheCode() {
        QFETCH(QByteArray, builder);
        Harness h;
        QCOMPARE(h.run(builder), entry(builder, "0", "0"));
        QCOMPARE(h.prompts.asked, QStringList{kDays});
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
        QCOMPARE(h.run(builder), QByteArrayList{});
        QCOMPARE(h.prompts.asked, QStringList{kDays});
        QCOMPARE(h.dayReads, 1);
    }

    void noForumSelectedStops_data() { noWeekdayAsksNothing_data(); }
    void noForumSelectedStops() {
        QFETCH(QByteArray, builder);
        Harness h;
        h.context.forumCode.reset();
        QCOMPARE(h.run(builder), QByteArrayList{});
        QCOMPARE(h.prompts.asked, QStringList{kDays});
    }

    void noRoomOrLibraryNumberStops_data() {
        QTest::addColumn<QByteArray>("builder");
        QTest::addColumn<bool>("selected");
        for (const QByteArray &b : kRoomBuilders + kLibraryBuilders) {
            QTest::addRow("%s no row", b.constData()) << b << false;
            QTest::addRow("%s row without number", b.constData()) << b << true;
        }
    }
    void noRoomOrLibraryNumberStops() {
        QFETCH(QByteArray, builder);
        QFETCH(bool, selected);
        Harness h;
        std::optional<QByteArray> row;
        if (selected)
            row = kRoomBuilders.contains(builder) ? sjis(u"ab 会議室") : sjis(u"abcdライブラリ");
        (kRoomBuilders.contains(builder) ? h.context.roomRow : h.context.libraryRow) = row;
        QCOMPARE(h.run(builder), QByteArrayList{});
        QCOMPARE(h.prompts.asked, QStringList{kDays});
    }

    void roomNumberFromTheFirstTwoBytes_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("room"); // empty: stops
        QTest::newRow("leading zero") << sjis(u"01  雑談") << QByteArray("1");
        QTest::newRow("blank before") << QByteArray(" 7  talk") << QByteArray("7");
        QTest::newRow("two digits") << QByteArray("12") << QByteArray("12");
        QTest::newRow("third digit not read") << QByteArray("123 talk") << QByteArray("12");
        QTest::newRow("digit then letter") << QByteArray("4a") << QByteArray("4");
        QTest::newRow("zero") << QByteArray("00  talk") << QByteArray();
        QTest::newRow("empty row") << QByteArray() << QByteArray();
    }
    void roomNumberFromTheFirstTwoBytes() {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, room);
        Harness h;
        h.context.roomRow = row;
        if (!room.isEmpty())
            h.prompts.answer({u"5"_s});
        QCOMPARE(h.run("mesrc"), room.isEmpty() ? QByteArrayList{} : entry("mesrc", room, "5"));
        QCOMPARE(h.prompts.asked,
                 room.isEmpty() ? QStringList{kDays} : (QStringList{kDays, kMesrcInput}));
    }

    void libraryNumberFromTheFirstFourBytes_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("library"); // empty: stops
        QTest::newRow("leading zeros") << sjis(u"0003 フリー") << QByteArray("3");
        QTest::newRow("blanks before") << QByteArray("  12 misc") << QByteArray("12");
        QTest::newRow("fifth digit not read") << QByteArray("12345") << QByteArray("1234");
        QTest::newRow("zero") << QByteArray("0000 misc") << QByteArray();
    }
    void libraryNumberFromTheFirstFourBytes() {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, library);
        Harness h;
        h.context.libraryRow = row;
        if (!library.isEmpty())
            h.prompts.answer({u"980101"_s});
        QCOMPARE(h.run("dltitleb"),
                 library.isEmpty() ? QByteArrayList{} : entry("dltitleb", library, "980101"));
        QCOMPARE(h.prompts.asked,
                 library.isEmpty() ? QStringList{kDays} : (QStringList{kDays, kDateInput}));
    }

    void roomFileFromTheOpenDialog_data() {
        QTest::addColumn<QByteArray>("builder");
        QTest::addColumn<QString>("chosen"); // "{dir}" is the temporary folder
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("message");
        QTest::newRow("log need not exist")
            << QByteArray("mesread") << u"/log/新規.log"_s << false << true << QString();
        QTest::newRow("log cancel")
            << QByteArray("mesread") << QString() << false << false << QString();
        QTest::newRow("log unencodable")
            << QByteArray("mesread") << u"/log/café.log"_s << false << false << kBadFileName;
        QTest::newRow("upload exists")
            << QByteArray("mesup") << u"{dir}/発言.txt"_s << true << true << QString();
        QTest::newRow("upload missing")
            << QByteArray("mesup") << u"{dir}/none.txt"_s << false << false << QString();
        QTest::newRow("upload cancel")
            << QByteArray("mesup") << QString() << false << false << QString();
        QTest::newRow("upload unencodable")
            << QByteArray("mesup") << u"{dir}/café.txt"_s << true << false << kBadFileName;
        QTest::newRow("log with a line feed")
            << QByteArray("mesread") << u"/log/a\nb.log"_s << false << false << kBadFileName;
        QTest::newRow("upload named with a wave dash")
            << QByteArray("mesup") << u"{dir}/メール\u301C.txt"_s << true << false << kBadFileName;
    }
    void roomFileFromTheOpenDialog() {
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
        QCOMPARE(h.run(builder),
                 added ? entry(builder, "1", text::bytesOf(chosen)) : QByteArrayList{});
        QStringList asked{kDays, builder == "mesread" ? u"open|ログファイル|/log/|clear"_s
                                                      : u"open|発言ファイル|/up/|clear"_s};
        if (!message.isEmpty())
            asked << message;
        QCOMPARE(h.prompts.asked, asked);
    }

    void unreadCountIsChecked_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("message");
        const QString bad = u"message|未読数が正しくありません"_s;
        QTest::newRow("0") << u"0"_s << true << QString();
        QTest::newRow("999") << u"999"_s << true << QString();
        QTest::newRow("blank before") << u" 7"_s << true << QString();
        QTest::newRow("plus sign") << u"+5"_s << true << QString();
        QTest::newRow("hex") << u"$1F"_s << true << QString();
        QTest::newRow("1000") << u"1000"_s << false << bad;
        QTest::newRow("negative") << u"-1"_s << false << bad;
        QTest::newRow("blank after") << u"5 "_s << false << bad;
        QTest::newRow("letters") << u"abc"_s << false << bad;
        QTest::newRow("wide digit") << u"５"_s << false << kWideDigits;
        QTest::newRow("wide digit after half-width") << u"1０"_s << false << kWideDigits;
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("unencodable") << u"é"_s << false << kBadTyped;
    }
    void unreadCountIsChecked() {
        QFETCH(QString, typed);
        QFETCH(bool, added);
        QFETCH(QString, message);
        Harness h;
        h.prompts.answer({typed});
        QCOMPARE(h.run("mesrc"),
                 added ? entry("mesrc", "1", text::bytesOf(typed)) : QByteArrayList{});
        QStringList asked{kDays, kMesrcInput};
        if (!message.isEmpty())
            asked << message;
        QCOMPARE(h.prompts.asked, asked);
    }

    void unreadCountCancelStops() {
        Harness h;
        h.prompts.answer({std::nullopt});
        QCOMPARE(h.run("mesrc"), QByteArrayList{});
        QCOMPARE(h.prompts.asked, (QStringList{kDays, kMesrcInput}));
    }

    void libraryDateIsStoredAsTyped_data() {
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<QByteArray>("param3"); // empty: no entry
        QTest::addColumn<QString>("message");
        QTest::newRow("date") << std::optional(u"980101"_s) << QByteArray("980101") << QString();
        QTest::newRow("blank kept") << std::optional(u" 98"_s) << QByteArray(" 98") << QString();
        QTest::newRow("kanji") << std::optional(u"今日"_s) << sjis(u"今日") << QString();
        QTest::newRow("wide digits")
            << std::optional(u"９８０１０１"_s) << QByteArray() << kWideDigits;
        QTest::newRow("empty") << std::optional(QString()) << QByteArray() << QString();
        QTest::newRow("cancel") << std::optional<QString>() << QByteArray() << QString();
        QTest::newRow("unencodable") << std::optional(u"é"_s) << QByteArray() << kBadTyped;
        QTest::newRow("line break") << std::optional(u"98\r\n01"_s) << QByteArray() << kBadTyped;
    }
    void libraryDateIsStoredAsTyped() {
        QFETCH(std::optional<QString>, typed);
        QFETCH(QByteArray, param3);
        QFETCH(QString, message);
        Harness h;
        h.prompts.answer({typed});
        QCOMPARE(h.run("dltitleb"),
                 param3.isEmpty() ? QByteArrayList{} : entry("dltitleb", "3", param3));
        QStringList asked{kDays, kDateInput};
        if (!message.isEmpty())
            asked << message;
        QCOMPARE(h.prompts.asked, asked);
    }

    void downloadByNumber_data() {
        QTest::addColumn<std::optional<QString>>("number");
        QTest::addColumn<std::optional<QString>>("name");
        QTest::addColumn<QByteArray>("param3"); // empty: no entry
        QTest::addColumn<QStringList>("after"); // questions after the number input
        const std::optional<QString> none;
        QTest::newRow("leading number") << std::optional(u"12abc"_s) << std::optional(u"A.LZH"_s)
                                        << QByteArray("12") << QStringList{kNameQuery};
        QTest::newRow("blanks and hex") << std::optional(u" $1F"_s) << std::optional(u"夏.LZH"_s)
                                        << QByteArray("31") << QStringList{kNameQuery};
        QTest::newRow("no number")
            << std::optional(u"abc"_s) << none << QByteArray() << QStringList{};
        QTest::newRow("zero") << std::optional(u"0"_s) << none << QByteArray() << QStringList{};
        QTest::newRow("cancel number") << none << none << QByteArray() << QStringList{};
        QTest::newRow("unencodable number")
            << std::optional(u"12é"_s) << none << QByteArray() << QStringList{kBadTyped};
        QTest::newRow("wide digits")
            << std::optional(u"２１"_s) << none << QByteArray() << QStringList{kWideDigits};
        QTest::newRow("cancel name")
            << std::optional(u"5"_s) << none << QByteArray() << QStringList{kNameQuery};
        QTest::newRow("empty name") << std::optional(u"5"_s) << std::optional(QString())
                                    << QByteArray() << QStringList{kNameQuery};
        QTest::newRow("unencodable name") << std::optional(u"5"_s) << std::optional(u"é.LZH"_s)
                                          << QByteArray() << QStringList{kNameQuery, kBadTyped};
    }
    void downloadByNumber() {
        QFETCH(std::optional<QString>, number);
        QFETCH(std::optional<QString>, name);
        QFETCH(QByteArray, param3);
        QFETCH(QStringList, after);
        Harness h;
        h.prompts.answer({number});
        if (after.contains(kNameQuery))
            h.prompts.answer({name});
        QCOMPARE(h.run("dldown"), param3.isEmpty()
                                      ? QByteArrayList{}
                                      : entry("dldown", "3", param3, text::bytesOf(*name)));
        QCOMPARE(h.prompts.asked, (QStringList{kDays, kNumberInput} + after));
    }

    void listPathUsesTheNumberWithoutZeros() {
        QCOMPARE(DataFolder("/data/").libraryFiles("FOR1", 3), QByteArray("/data/FOR1dl3.txt"));
    }

    void chosenRowGivesNumberAndProposal_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("param3"); // empty: stops before the query
        QTest::addColumn<QString>("proposal");
        const QByteArray head = sjis(u"  12 ゲーム集");
        QTest::newRow("plain") << listRow(head, "FILE.LZH     1234") << QByteArray("12")
                               << u"FILE.LZH"_s;
        QTest::newRow("controls trimmed")
            << listRow(head, "\t A.LZH \x1f   x") << QByteArray("12") << u"A.LZH"_s;
        QTest::newRow("inner blank kept")
            << listRow(head, "MY FILE.TXT  9") << QByteArray("12") << u"MY FILE.TXT"_s;
        QTest::newRow("cut after byte 51")
            << listRow(head, "ABCDEFGHIJKLMNOP") << QByteArray("12") << u"ABCDEFGHIJKL"_s;
        QTest::newRow("kanji name")
            << listRow("0007", sjis(u"夏休み.LZH  ")) << QByteArray("7") << u"夏休み.LZH"_s;
        QTest::newRow("row ends before byte 40")
            << QByteArray("  12 short") << QByteArray("12") << QString();
        QTest::newRow("no number") << listRow("----", "X.LZH") << QByteArray() << QString();
        QTest::newRow("number zero") << listRow("   0", "X.LZH") << QByteArray() << QString();
    }
    void chosenRowGivesNumberAndProposal() {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, param3);
        QFETCH(QString, proposal);
        Harness h;
        writeBytes(h.listPath(), crlf({listRow("   1 other", "OTHER.LZH"), row}));
        const QString typed = proposal.isEmpty() ? u"GET.LZH"_s : proposal;
        h.prompts.answer({u"1"_s});
        if (!param3.isEmpty())
            h.prompts.answer({typed});
        QCOMPARE(h.run("dldownFromList"), param3.isEmpty()
                                              ? QByteArrayList{}
                                              : entry("dldown", "3", param3, text::bytesOf(typed)));
        QStringList asked{kDays, u"choose|2"_s};
        if (!param3.isEmpty())
            asked << kNameQuery + proposal;
        QCOMPARE(h.prompts.asked, asked);
        QCOMPARE(h.prompts.chooserRows.value(1), row);
    }

    // Confirmed as shown, the proposed name keeps its bytes, even those the
    // screen cannot give back.
    void confirmedProposalKeepsItsBytes_data() {
        QTest::addColumn<QByteArray>("tail"); // bytes 40 on of the row
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("NEC-selected kanji")
            << QByteArray("\xed\x40.LZH") << QByteArray("\xed\x40.LZH");
        QTest::newRow("invalid byte") << QByteArray("A\x80.LZH") << QByteArray("A\x80.LZH");
        QTest::newRow("kanji cut at byte 51")
            << QByteArray("ABCDEFGHIJK\x82\xa0") << QByteArray("ABCDEFGHIJK\x82");
    }
    void confirmedProposalKeepsItsBytes() {
        QFETCH(QByteArray, tail);
        QFETCH(QByteArray, name);
        Harness h;
        writeBytes(h.listPath(), crlf({listRow("   7 x", tail)}));
        h.prompts.answer({u"0"_s, text::decode(name)});
        QCOMPARE(h.run("dldownFromList"), entry("dldown", "3", "7", name));
    }

    void chooserGetsRowsAndDateLine_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("rows");
        QTest::addColumn<QByteArray>("status");
        const QByteArray date = sjis(u"データ取得日 98/12/31 23:59");
        const QByteArray placeholder = sjis(u"    データ取得日--------------");
        const QByteArray a = listRow("   1 a", "A.LZH"), b = listRow("   2 b", "B.LZH");
        QTest::newRow("date line last")
            << crlf({a, b, date}) << QByteArrayList{a, b} << QByteArray("    ") + date;
        QTest::newRow("no date line") << crlf({a, b}) << QByteArrayList{a, b} << placeholder;
        QTest::newRow("date line not last")
            << crlf({date, a}) << QByteArrayList{date, a} << placeholder;
        QTest::newRow("last line without end")
            << a + "\r\n" + date << QByteArrayList{a} << QByteArray("    ") + date;
        QTest::newRow("empty file") << QByteArray() << QByteArrayList{} << placeholder;
    }
    void chooserGetsRowsAndDateLine() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, rows);
        QFETCH(QByteArray, status);
        Harness h;
        writeBytes(h.listPath(), content);
        h.prompts.answer({std::nullopt});
        QCOMPARE(h.run("dldownFromList"), QByteArrayList{});
        QCOMPARE(h.prompts.asked, (QStringList{kDays, u"choose|%1"_s.arg(rows.size())}));
        QCOMPARE(h.prompts.chooserRows, rows);
        QCOMPARE(h.prompts.chooserStatus, status);
    }

    void listFileNameQueryCanStop_data() {
        QTest::addColumn<std::optional<QString>>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancel") << std::optional<QString>() << QString();
        QTest::newRow("empty") << std::optional(QString()) << QString();
        QTest::newRow("unencodable") << std::optional(u"é.LZH"_s) << kBadTyped;
    }
    void listFileNameQueryCanStop() {
        QFETCH(std::optional<QString>, name);
        QFETCH(QString, message);
        Harness h;
        writeBytes(h.listPath(), crlf({listRow("  12", "B.LZH")}));
        h.prompts.answer({u"0"_s, name});
        QCOMPARE(h.run("dldownFromList"), QByteArrayList{});
        QStringList asked{kDays, u"choose|1"_s, kNameQuery + u"B.LZH"_s};
        if (!message.isEmpty())
            asked << message;
        QCOMPARE(h.prompts.asked, asked);
    }

    void missingListFallsBackToNumberInput() {
        Harness h;
        h.prompts.answer({u"8"_s, u"C.LZH"_s});
        QCOMPARE(h.run("dldownFromList"), entry("dldown", "3", "8", "C.LZH"));
        QCOMPARE(h.prompts.asked, (QStringList{kDays, u"message|リストがありません"_s, kDays,
                                               kNumberInput, kNameQuery}));
        QCOMPARE(h.dayReads, 2);
    }

    void missingListFallbackReadsTheDaysAgain() {
        Harness h;
        h.dayAnswers = {Harness::days(), std::nullopt};
        QCOMPARE(h.run("dldownFromList"), QByteArrayList{});
        QCOMPARE(h.prompts.asked, (QStringList{kDays, u"message|リストがありません"_s, kDays}));
    }

    void listOfAnotherLibraryIsNotUsed() {
        Harness h;
        writeBytes(h.path(u"FOR1dl0003.txt"_s), crlf({listRow("  12", "B.LZH")}));
        writeBytes(h.path(u"FOR2dl3.txt"_s), crlf({listRow("  12", "B.LZH")}));
        h.prompts.answer({std::nullopt});
        QCOMPARE(h.run("dldownFromList"), QByteArrayList{});
        QCOMPARE(h.prompts.asked,
                 (QStringList{kDays, u"message|リストがありません"_s, kDays, kNumberInput}));
    }
};

KIRANO_CORE_TEST_MAIN(TestForumBuilders)
#include "test_builders_forum.moc"

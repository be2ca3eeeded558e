// Line splitting, number parsing, path and Shift_JIS helpers, file writing.

#include "testfiles.h"
#include "testmain.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kirano::text;
using kirano::testing::makeSpecial;
using kirano::testing::Special;

namespace {

// Bytes of a literal, embedded NULs included.
template <qsizetype N> QByteArray raw(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

// Every entry below root with its content, so a failed write can be shown to
// have changed nothing.
QMap<QString, QByteArray> snapshot(const QString &root) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(path, it.fileInfo().isDir() ? QByteArrayLiteral("<dir>")
                                                   : readFile(path).value_or("<unreadable>"));
    }
    return entries;
}

} // namespace

class TestText : public QObject {
    Q_OBJECT

  private slots:
    void lineReader_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("CR") << raw("a\rb\r") << QByteArrayList{"a", "b"};
        QTest::newRow("LF only is one line") << raw("a\nb\n") << QByteArrayList{"a\nb\n"};
        QTest::newRow("CR LF") << raw("a\r\nb\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("CR CR") << raw("a\r\rb\r\n") << QByteArrayList{"a", "", "b"};
        QTest::newRow("LF before CR stays") << raw("a\n\rb") << QByteArrayList{"a\n", "b"};
        QTest::newRow("second LF stays") << raw("a\r\n\nb\r\n") << QByteArrayList{"a", "\nb"};
        QTest::newRow("0x1A mid-file") << raw("a\r\nb\x1a"
                                              "c\r\nd\r\n")
                                       << QByteArrayList{"a", "b"};
        QTest::newRow("0x1A after CR") << raw("a\r\x1a\nb") << QByteArrayList{"a"};
        QTest::newRow("0x1A first") << raw("\x1a"
                                           "a\r\n")
                                    << QByteArrayList{};
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("no final line end") << raw("a\r\nlast") << QByteArrayList{"a", "last"};
        QTest::newRow("long line") << QByteArray(100000, 'x') + "\r\n"
                                   << QByteArrayList{QByteArray(100000, 'x')};
    }
    void lineReader() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, lines);
        LineReader reader(content);
        for (const QByteArray &line : lines) {
            QVERIFY(!reader.atEnd());
            QCOMPARE(reader.readLine(), line);
        }
        QVERIFY(reader.atEnd());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(reader.readLine(), QByteArray());
        QVERIFY(reader.atEnd());
    }

    void splitLines_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("no line end") << raw("a") << QByteArrayList{"a"};
        QTest::newRow("trailing CR LF") << raw("a\r\n") << QByteArrayList{"a"};
        QTest::newRow("only CR LF") << raw("\r\n") << QByteArrayList{""};
        QTest::newRow("last without end") << raw("a\r\nb") << QByteArrayList{"a", "b"};
        QTest::newRow("LF LF") << raw("a\n\nb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("CR CR") << raw("a\r\rb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("LF CR is two ends") << raw("a\n\rb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("mixed") << raw("a\r\nb\rc\nd") << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("blank last line") << raw("a\r\n\r\n") << QByteArrayList{"a", ""};
        QTest::newRow("NUL ends") << raw("a\r\nb\0c\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("NUL first") << raw("\0a\r\n") << QByteArrayList{};
        QTest::newRow("0x1A is text") << raw("a\x1a\r\nb") << QByteArrayList{"a\x1a", "b"};
    }
    void splitLines() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArrayList, lines);
        QCOMPARE(kirano::text::splitLines(content), lines);
    }

    void joinCrLf_data() {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("joined");
        QTest::newRow("none") << QByteArrayList{} << QByteArray();
        QTest::newRow("one empty") << QByteArrayList{""} << raw("\r\n");
        QTest::newRow("two") << QByteArrayList{"a", "b"} << raw("a\r\nb\r\n");
        QTest::newRow("empty middle") << QByteArrayList{"a", "", "b"} << raw("a\r\n\r\nb\r\n");
    }
    void joinCrLf() {
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArray, joined);
        QCOMPARE(kirano::text::joinCrLf(lines), joined);
        QCOMPARE(kirano::text::splitLines(joined), lines);
    }

    void leadingNumber_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("digits then text") << raw("12abc") << 12;
        QTest::newRow("leading zero") << raw("03") << 3;
        QTest::newRow("zeros") << raw("0003") << 3;
        QTest::newRow("blanks") << raw("  7") << 7;
        QTest::newRow("minus") << raw("-5") << -5;
        QTest::newRow("plus") << raw("+8") << 8;
        QTest::newRow("hex upper") << raw("$1F") << 31;
        QTest::newRow("hex lower") << raw("$ff") << 255;
        QTest::newRow("hex stops") << raw("$1g") << 1;
        QTest::newRow("stops at blank") << raw("12 34") << 12;
        QTest::newRow("no digits") << raw("abc") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("dollar alone") << raw("$") << 0;
        QTest::newRow("two signs") << raw("+-3") << 0;
        QTest::newRow("too big") << raw("99999999999") << 2147483647;
        QTest::newRow("too small") << raw("-99999999999") << -2147483647 - 1;
    }
    void leadingNumber() {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QCOMPARE(kirano::text::leadingNumber(text), value);
    }

    void strictInteger_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("leading blank") << raw(" 7") << true << 7;
        QTest::newRow("trailing blank") << raw("7 ") << false << 0;
        QTest::newRow("letters") << raw("abc") << false << 0;
        QTest::newRow("digits then letter") << raw("12a") << false << 0;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("blanks") << raw("   ") << false << 0;
        QTest::newRow("plus") << raw("+12") << true << 12;
        QTest::newRow("minus zero") << raw("-0") << true << 0;
        QTest::newRow("min") << raw("-2147483648") << true << -2147483647 - 1;
        QTest::newRow("below min") << raw("-2147483649") << false << 0;
        QTest::newRow("max") << raw("2147483647") << true << 2147483647;
        QTest::newRow("above max") << raw("2147483648") << false << 0;
        QTest::newRow("hex all ones") << raw("$FFFFFFFF") << true << -1;
        QTest::newRow("hex max") << raw("$7fffffff") << true << 2147483647;
        QTest::newRow("hex too long") << raw("$100000000") << false << 0;
        QTest::newRow("dollar alone") << raw("$") << false << 0;
        QTest::newRow("minus alone") << raw("-") << false << 0;
        QTest::newRow("two numbers") << raw("1 2") << false << 0;
    }
    void strictInteger() {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const std::optional<qint32> result = kirano::text::strictInteger(text);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(*result, value);
    }

    void fill2d_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("one digit") << 3 << raw(" 3");
        QTest::newRow("zero") << 0 << raw(" 0");
        QTest::newRow("two digits") << 12 << raw("12");
        QTest::newRow("three digits") << 123 << raw("123");
        QTest::newRow("negative") << -5 << raw("-5");
    }
    void fill2d() {
        QFETCH(int, value);
        QFETCH(QByteArray, text);
        QCOMPARE(kirano::text::fill2d(value), text);
    }

    void fileNamePart_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("drive and folder") << raw("C:\\LOG\\F1.TXT") << raw("F1.TXT");
        QTest::newRow("name only") << raw("F1.TXT") << raw("F1.TXT");
        QTest::newRow("digit") << raw("0") << raw("0");
        QTest::newRow("ends in separator") << raw("C:\\dir\\") << QByteArray();
        QTest::newRow("drive only") << raw("C:F.TXT") << raw("F.TXT");
        QTest::newRow("slashes") << raw("/home/u/a.txt") << raw("a.txt");
        QTest::newRow("trail byte 0x5C") << raw("C:\\\x95\x5c.txt") << raw("\x95\x5c.txt");
        QTest::newRow("double-byte alone") << raw("\x95\x5c") << raw("\x95\x5c");
        QTest::newRow("double-byte folder") << raw("\x95\x5c\\a") << raw("a");
        QTest::newRow("half-width kana") << raw("\xb1\\b") << raw("b");
        QTest::newRow("lone lead byte") << raw("a\\\x95") << raw("\x95");
    }
    void fileNamePart() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, name);
        QCOMPARE(kirano::text::fileNamePart(path), name);
    }

    void isDateLine_data() {
        const QByteArray marker = bytesOf(u"データ取得");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("date");
        QTest::newRow("marker") << marker << true;
        QTest::newRow("marker and more") << bytesOf(u"データ取得日時 2024/01/02") << true;
        QTest::newRow("one byte short") << marker.left(9) << false;
        QTest::newRow("other word") << bytesOf(u"データ送信") << false;
        QTest::newRow("ascii") << raw("data") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void isDateLine() {
        QFETCH(QByteArray, line);
        QFETCH(bool, date);
        QCOMPARE(kirano::text::isDateLine(line), date);
    }

    void encodeRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("kanji 0x5C") << QStringLiteral(u"表") << raw("\x95\x5c");
        QTest::newRow("half-width kana") << QStringLiteral(u"ｱ") << raw("\xb1");
        QTest::newRow("mixed") << QStringLiteral(u"A表ｱ") << raw("A\x95\x5c\xb1");
        QTest::newRow("sentence") << QStringLiteral(u"環境設定を保存しました。") << QByteArray();
    }
    void encodeRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const std::optional<QByteArray> encoded = encode(text);
        QVERIFY(encoded);
        if (!bytes.isEmpty())
            QCOMPARE(*encoded, bytes);
        QCOMPARE(decode(*encoded), text);
        QCOMPARE(kirano::text::encodedLength(text), encoded->size());
    }

    void decodeShowsEveryByte_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("invalid byte") << raw("Tea\x80room") << QStringLiteral(u"Tea\uFFFDroom");
        QTest::newRow("bytes never used")
            << raw("\xa0\xfd\xfe\xff") << QStringLiteral(u"\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("lone lead byte at end") << raw("pw\x82") << QStringLiteral(u"pw\uFFFD");
        QTest::newRow("lead byte before a control")
            << raw("\x82\x1a") << QStringLiteral(u"\uFFFD\u001A");
        QTest::newRow("lead byte before 0x7F")
            << raw("\x81\x7f") << QStringLiteral(u"\uFFFD\u007F");
        QTest::newRow("lead byte before LF") << raw("\x81\nA") << QStringLiteral(u"\uFFFD\nA");
        QTest::newRow("unassigned pair") << raw("\x85\x40") << QStringLiteral(u"\uFFFD");
        QTest::newRow("controls as themselves")
            << raw("\x1a\x1c\x7f\x01\x1b") << QStringLiteral(u"\u001A\u001C\u007F\u0001\u001B");
        QTest::newRow("controls between kanji")
            << raw("\x95\x5c\x1a\x95\x5c") << QStringLiteral(u"表\u001A表");
        QTest::newRow("NEC-selected kanji") << raw("\xed\x40") << QStringLiteral(u"\u7E8A");
        QTest::newRow("plain") << raw("A\x95\x5c\xb1") << QStringLiteral(u"A表ｱ");
    }
    void decodeShowsEveryByte() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(decode(bytes), shown);
    }

    void encodeControlsAsThemselves() {
        QCOMPARE(encode(QStringLiteral(u"\u001Aa\u001C\u007F")).value_or("<none>"),
                 raw("\x1a"
                     "a\x1c\x7f"));
        QVERIFY(!encode(QStringLiteral(u"\uFFFD")));
    }

    void shownTextCutsLongRows_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << raw("ab\x95\x5c") << 4 << QStringLiteral(u"ab表");
        QTest::newRow("cut before a kanji") << raw("ab\x95\x5c"
                                                   "c")
                                            << 3 << QStringLiteral(u"ab…");
        QTest::newRow("cut after a kanji") << raw("ab\x95\x5c"
                                                  "c")
                                           << 4 << QStringLiteral(u"ab表…");
        QTest::newRow("10 MB") << QByteArray(10000000, 'x') << int(kShownBytes)
                               << QString(kShownBytes, u'x') + u'…';
    }
    void shownTextCutsLongRows() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, limit);
        QFETCH(QString, shown);
        QCOMPARE(shownText(bytes, limit), shown);
    }

    // Only regular files are read; nothing else is even opened, so a FIFO
    // cannot block. A file larger than memory is refused before a byte is
    // read, naming its size. Its size alone is learned as sending it would
    // learn it: the same verdicts, but any size.
    void readFileOnlyRegularFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code"); // 0: read
        QTest::newRow("regular") << QStringLiteral("file") << 0;
        QTest::newRow("link to a regular file") << QStringLiteral("link") << 0;
        QTest::newRow("folder") << QStringLiteral("folder") << int(EISDIR);
        QTest::newRow("FIFO") << QStringLiteral("fifo") << int(ENODEV);
        QTest::newRow("link to a device") << QStringLiteral("device") << int(ENODEV);
        QTest::newRow("dangling link") << QStringLiteral("dangling") << int(ENOENT);
        QTest::newRow("link loop") << QStringLiteral("loop") << int(ENOENT);
        QTest::newRow("2 TB sparse file") << QStringLiteral("sparse") << int(EFBIG);
        QTest::newRow("memory of a process") << QStringLiteral("mem") << int(EIO);
    }
    void readFileOnlyRegularFiles() {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        const QByteArray native = QFile::encodeName(path);
        const QString regular = dir.filePath(QStringLiteral("regular.txt"));
        QFile file(regular);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a\r\n");
        file.close();
        if (kind == u"file")
            QVERIFY(QFile::rename(regular, path));
        else if (kind == u"link")
            QCOMPARE(::symlink("regular.txt", native.constData()), 0);
        else if (kind == u"folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind == u"fifo")
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        else if (kind == u"device")
            QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        else if (kind == u"dangling")
            QCOMPARE(::symlink("none.txt", native.constData()), 0);
        else if (kind == u"loop")
            QCOMPARE(::symlink(native.constData(), native.constData()), 0);
        else if (kind == u"sparse")
            QVERIFY(QFile::rename(regular, path) && QFile::resize(path, qint64(2) << 40));
        else if (kind == u"mem")
            QCOMPARE(::symlink("/proc/self/mem", native.constData()), 0);
        const Result<QByteArray> content = readFile(path);
        QCOMPARE(content.has_value(), code == 0);
        if (code == 0)
            QCOMPARE(*content, raw("a\r\n"));
        else
            QCOMPARE(content.error().code(), code);
        if (code == EFBIG)
            QCOMPARE(content.error().text(),
                     QStringLiteral(u"大きすぎます (2199023255552 バイト)"));
        QCOMPARE(fileExists(path), kind == u"file" || kind == u"link" || kind == u"fifo" ||
                                       kind == u"device" || kind == u"sparse" || kind == u"mem");
        const Result<qint64> size = readableFileSize(path);
        QCOMPARE(size.has_value(), code == 0 || code == EFBIG);
        if (size)
            QCOMPARE(*size, code == 0 ? 3 : qint64(2) << 40);
        else
            QCOMPARE(size.error().code(), code);
    }

    void encodeLookAlikes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash") << QStringLiteral(u"\u301C") << raw("\x81\x60");
        QTest::newRow("fullwidth tilde") << QStringLiteral(u"\uFF5E") << raw("\x81\x60");
        QTest::newRow("double vertical line") << QStringLiteral(u"\u2016") << raw("\x81\x61");
        QTest::newRow("minus sign") << QStringLiteral(u"\u2212") << raw("\x81\x7c");
        QTest::newRow("cent") << QStringLiteral(u"\u00A2") << raw("\x81\x91");
        QTest::newRow("pound") << QStringLiteral(u"\u00A3") << raw("\x81\x92");
        QTest::newRow("not sign") << QStringLiteral(u"\u00AC") << raw("\x81\xca");
    }
    void encodeLookAlikes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encode(text).value_or("<none>"), bytes);
    }

    // A path is kept only when its bytes name it again; a typed text may take
    // the look-alike forms. Neither may hold a line break.
    void encodeExact_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("kept");
        QTest::newRow("plain path") << QStringLiteral(u"/log/会議室.txt") << true;
        QTest::newRow("fullwidth tilde") << QStringLiteral(u"予定\uFF5Eリスト.txt") << true;
        QTest::newRow("wave dash") << QStringLiteral(u"予定\u301Cリスト.txt") << false;
        QTest::newRow("minus sign") << QStringLiteral(u"a\u2212b.lst") << false;
        QTest::newRow("not sign") << QStringLiteral(u"\u00AC.txt") << false;
        QTest::newRow("line feed") << QStringLiteral(u"a\nb.txt") << false;
        QTest::newRow("carriage return") << QStringLiteral(u"a\rb.txt") << false;
        QTest::newRow("NUL") << QString(QStringLiteral(u"a") + QChar(0) + u'b') << false;
        QTest::newRow("no code") << QStringLiteral(u"é.txt") << false;
    }
    void encodeExact() {
        QFETCH(QString, text);
        QFETCH(bool, kept);
        const std::optional<QByteArray> bytes = kirano::text::encodeExact(text);
        QCOMPARE(bytes.has_value(), kept);
        if (bytes)
            QCOMPARE(decode(*bytes), text);
        QCOMPARE(holdsLineBreak(text),
                 text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(0)));
    }

    void shownLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("maxCells");
        QTest::addColumn<QByteArray>("shown");
        const QByteArray dots = kirano::text::bytesOf(u"…");
        QTest::newRow("plain") << QByteArray("abc") << 10 << QByteArray("abc");
        QTest::newRow("tab to eight") << QByteArray("ab\tc") << 40 << QByteArray("ab      c");
        QTest::newRow("tab at a stop")
            << QByteArray("12345678\tX") << 40 << QByteArray("12345678        X");
        QTest::newRow("double-byte counts two")
            << raw("\x95\x5c\tX") << 40 << raw("\x95\x5c      X");
        QTest::newRow("cut") << QByteArray("abcdefgh") << 5 << "abcde" + dots;
        QTest::newRow("never inside a double-byte character")
            << raw("abcd\x95\x5c") << 5 << "abcd" + dots;
        QTest::newRow("a tab past the end") << QByteArray("abc\tX") << 6 << "abc   " + dots;
        QTest::newRow("lone lead byte at the end") << raw("ab\x95") << 10 << raw("ab\x95");
    }
    void shownLine() {
        QFETCH(QByteArray, line);
        QFETCH(int, maxCells);
        QFETCH(QByteArray, shown);
        QCOMPARE(kirano::text::shownLine(line, maxCells), shown);
    }

    void encodedLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("encodable");
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << QString() << true << 0;
        QTest::newRow("ascii") << QStringLiteral(u"abc") << true << 3;
        QTest::newRow("kanji") << QStringLiteral(u"表示") << true << 4;
        QTest::newRow("e acute") << QStringLiteral(u"aé") << false << 3;
        QTest::newRow("emoji") << QStringLiteral(u"a\U0001F600b") << false << 4;
        QTest::newRow("hangul") << QStringLiteral(u"한") << false << 2;
    }
    void encodedLength() {
        QFETCH(QString, text);
        QFETCH(bool, encodable);
        QFETCH(int, length);
        QCOMPARE(encode(text).has_value(), encodable);
        QCOMPARE(kirano::text::encodedLength(text), length);
    }

    void ioErrorText_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QString denied = QStringLiteral(u"ﾌｧｲﾙへのｱｸｾｽが拒否されました");
        QTest::newRow("EACCES") << int(EACCES) << denied;
        QTest::newRow("EPERM") << int(EPERM) << denied;
        QTest::newRow("ENOSPC") << int(ENOSPC) << QStringLiteral(u"ﾃﾞｨｽｸがいっぱいです");
        QTest::newRow("EIO") << 5 << QStringLiteral(u"I/O ｴﾗｰ (5)");
        QTest::newRow("ENOENT") << 2 << QStringLiteral(u"I/O ｴﾗｰ (2)");
    }
    void ioErrorText() {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(IoError{code}.text(), text);
    }

    void cannotCreate() {
        QCOMPARE(cannotCreateText(QStringLiteral(u"/x/y")),
                 QStringLiteral(u"ﾌｧｲﾙ /x/y を作成できません"));
    }

    void writeAndRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral(u"f.txt"));
        QVERIFY(writeLines(path, {"old", "longer content"}));
        QVERIFY(writeLines(path, {"a", "b"}));
        QCOMPARE(readFile(path).value_or("<none>"), raw("a\r\nb\r\n"));
        QVERIFY(writeLines(path, {raw("\x95\x5c\0\x1a")}));
        QCOMPARE(readFile(path).value_or("<none>"), raw("\x95\x5c\0\x1a\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral(u"f.txt")});

        const Result<QByteArray> none = readFile(dir.filePath(QStringLiteral(u"none.txt")));
        QVERIFY(!none);
        QCOMPARE(none.error().code(), ENOENT);
    }

    // What stands at the target is left as it was: only a regular file is
    // ever replaced, and a write that fails leaves no file behind.
    void writeFailureChangesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("sizeLimit");
        QTest::addColumn<int>("special"); // made at "special" first, or -1
        QTest::addColumn<bool>("viaLink");
        QTest::addColumn<int>("code"); // 0: any
        auto row = [](const char *name, const char16_t *target, int code = 0,
                      bool sizeLimit = false) {
            QTest::newRow(name) << QString::fromUtf16(target) << sizeLimit << -1 << false << code;
        };
        row("missing folder", u"missing/f.txt");
        row("folder is a file", u"old.txt/f.txt");
        row("target is a folder", u"folder", ENODEV);
        row("file too large", u"old.txt", EFBIG, true);
        for (bool viaLink : {false, true}) {
            for (const auto &[name, kind] :
                 {std::pair{"FIFO", Special::Fifo}, std::pair{"socket", Special::Socket},
                  std::pair{"device", Special::Device}}) {
                const QByteArray tag = QByteArray(viaLink ? "link to a " : "target is a ") + name;
                QTest::newRow(tag.constData())
                    << QStringLiteral(u"special") << false << int(kind) << viaLink << int(ENODEV);
            }
        }
    }
    void writeFailureChangesNothing() {
        QFETCH(QString, target);
        QFETCH(bool, sizeLimit);
        QFETCH(int, special);
        QFETCH(bool, viaLink);
        QFETCH(int, code);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral(u"folder")));
        QVERIFY(writeLines(dir.filePath(QStringLiteral(u"folder/keep.txt")), {"keep"}));
        QVERIFY(writeLines(dir.filePath(QStringLiteral(u"old.txt")), {"old", "content"}));
        if (special >= 0 && !makeSpecial(dir.filePath(target), Special(special), viaLink))
            QSKIP("the system does not let this test make it");
        const auto before = snapshot(dir.path());

        // A file size limit makes writing fail even for root; the limit is
        // lifted before anything is reported.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (sizeLimit) {
            rlimit small = saved;
            small.rlim_cur = 16;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const auto written = writeLines(dir.filePath(target), {QByteArray(100, 'x')});
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QVERIFY(written.error().code() != 0);
        if (code != 0)
            QCOMPARE(written.error().code(), code);
        QCOMPARE(snapshot(dir.path()), before);
        // Nor is anything added to it.
        const Result<> appended = appendLines(dir.filePath(target), {QByteArray(100, 'x')});
        if (special >= 0 || target == u"folder")
            QCOMPARE(appended.error().code(), ENODEV);
        if (special >= 0)
            QCOMPARE(snapshot(dir.path()), before);
    }

    // A link to a file is followed and stays; the file keeps its mode, a new
    // one gets the mode asked for.
    void writeKeepsLinksAndModes() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("file.txt"));
        const QString link = dir.filePath(QStringLiteral("link.txt"));
        QVERIFY(writeLines(file, {"old"}));
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(file, link));
        QVERIFY(writeLines(link, {"new"}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), file);
        QCOMPARE(readFile(file).value_or("<none>"), raw("new\r\n"));
        QCOMPARE(QFile::permissions(file), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadUser | QFile::WriteUser);
        const QString made = dir.filePath(QStringLiteral("made.txt"));
        QVERIFY(writeLines(made, {"x"}, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(QFile::permissions(made),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("file.txt"), QStringLiteral("link.txt"),
                              QStringLiteral("made.txt")}));
    }

    // A writer killed in the middle leaves its temporary file; the next
    // sweep of the folder removes it, but not one a live writer holds, nor
    // anything else.
    void leftTemporariesAreRemoved() {
        QTemporaryDir dir;
        const QStringList names = {QStringLiteral(".kirano-abcd1234.tmp"),
                                   QStringLiteral(".kirano-live0000.tmp"),
                                   QStringLiteral(".kirano-ABCD1234.tmp"),
                                   QStringLiteral("kirano-abcd1234.tmp"), QStringLiteral("f.txt")};
        for (const QString &name : names)
            QVERIFY(writeLines(dir.filePath(name), {"x"}));
        QFile live(dir.filePath(names[1]));
        QVERIFY(live.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(live.handle(), LOCK_EX), 0);
        removeLeftTemporaries(dir.path());
        QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QStringList kept = names.mid(1);
        kept.sort();
        QCOMPARE(left, kept);
    }
};

KIRANO_CORE_TEST_MAIN(TestText)
#include "test_text.moc"

// Reading and writing the settings file: three flag lines, eight folder lines.

#include "store/settingsfile.h"
#include "testmain.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

using namespace kirano;

namespace {

QByteArray crLf(const QByteArrayList &lines) {
    return text::joinCrLf(lines);
}

bool writeRaw(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The flags as "1"/"0" characters in file order.
QByteArray flagText(const SettingsFlags &f) {
    return QByteArray(f.logoutAfterPatrol ? "1" : "0") + (f.saveReceivedMail ? "1" : "0") +
           (f.receiveBinaryMail ? "1" : "0");
}

const QByteArrayList kEleven{"1",          "0",         "1",          "C:\\LOG\\",
                             "C:\\DATA\\", "C:\\PAT\\", "C:\\AUTO\\", "C:\\TUP\\",
                             "C:\\BUP\\",  "C:\\TDN\\", "C:\\BDN\\"};

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

  private slots:
    void read_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArrayList>("folders");
        const QByteArrayList none(8);
        const QByteArrayList all = kEleven.mid(3);
        QTest::newRow("empty file") << QByteArray() << QByteArray("000") << none;
        QTest::newRow("three lines") << crLf({"1", "0", "1"}) << QByteArray("101") << none;
        QTest::newRow("five lines")
            << crLf({"0", "1", "0", "C:\\LOG\\", "C:\\DATA\\"}) << QByteArray("010")
            << QByteArrayList{"C:\\LOG\\", "C:\\DATA\\", "", "", "", "", "", ""};
        QTest::newRow("eleven lines") << crLf(kEleven) << QByteArray("101") << all;
        QTest::newRow("extra lines ignored")
            << crLf(kEleven + QByteArrayList{"extra", "more"}) << QByteArray("101") << all;
        QTest::newRow("no final line end") << crLf(kEleven).chopped(2) << QByteArray("101") << all;
        QTest::newRow("CR only") << kEleven.join('\r') << QByteArray("101") << all;
        QTest::newRow("LF only is one line") << kEleven.join('\n') << QByteArray("000") << none;
        QTest::newRow("0x1A ends the file")
            << crLf({"1", "1", "1", "C:\\LOG\\\x1a", "C:\\DATA\\"}) << QByteArray("111")
            << QByteArrayList{"C:\\LOG\\", "", "", "", "", "", "", ""};
    }
    void read() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, flags);
        QFETCH(QByteArrayList, folders);
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        QVERIFY(writeRaw(path, content));

        const auto readFlags = readSettingsFlags(path);
        QVERIFY(readFlags);
        QCOMPARE(flagText(*readFlags), flags);
        const auto readFolders = readSettingsFolders(path);
        QVERIFY(readFolders);
        QCOMPARE(QByteArrayList(readFolders->folders.begin(), readFolders->folders.end()), folders);
    }

    void flagLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("blank before") << QByteArray(" 1") << false;
        QTest::newRow("blank after") << QByteArray("1 ") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("yes") << QByteArray("yes") << false;
        QTest::newRow("11") << QByteArray("11") << false;
        QTest::newRow("fullwidth 1") << text::bytesOf(u"１") << false;
    }
    void flagLine() {
        QFETCH(QByteArray, line);
        QFETCH(bool, on);
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        QVERIFY(writeRaw(path, crLf({line, line, line})));
        const auto flags = readSettingsFlags(path);
        QVERIFY(flags);
        QCOMPARE(flagText(*flags), on ? QByteArray("111") : QByteArray("000"));
    }

    void missingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        const text::Result<SettingsFolders> folders = readSettingsFolders(path);
        QVERIFY(!folders);
        QCOMPARE(folders.error().code(), ENOENT);
        const text::Result<SettingsFlags> flags = readSettingsFlags(path);
        QVERIFY(!flags);
        QCOMPARE(flags.error().code(), ENOENT);
    }

    void writeThenRead_data() {
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("plain") << QByteArray("101") << QByteArray("C:\\KIRANO\\");
        QTest::newRow("japanese and spaces")
            << QByteArray("010") << text::bytesOf(u"C:\\マイ ドキュメント\\表 示\\");
        QTest::newRow("blanks around") << QByteArray("111") << QByteArray(" D:\\A B\\ ");
        QTest::newRow("empty") << QByteArray("000") << QByteArray();
    }
    void writeThenRead() {
        QFETCH(QByteArray, flags);
        QFETCH(QByteArray, folder);
        SettingsFolders folders;
        QByteArrayList expectedLines{flags.mid(0, 1), flags.mid(1, 1), flags.mid(2, 1)};
        for (int i = 0; i < SettingsFolders::Count; ++i) {
            folders.folders[i] = folder.isEmpty() ? folder : folder + QByteArray::number(i);
            expectedLines.append(folders.folders[i]);
        }
        const SettingsFlags written{flags[0] == '1', flags[1] == '1', flags[2] == '1'};

        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        // A longer previous file must not leave anything behind.
        QVERIFY(writeRaw(path, crLf(QByteArrayList(20, "previous content"))));
        QVERIFY(writeSettings(path, written, folders));

        QCOMPARE(text::readFile(path).value_or("<none>"), crLf(expectedLines));
        const auto readFlags = readSettingsFlags(path);
        QVERIFY(readFlags);
        QCOMPARE(flagText(*readFlags), flags);
        QVERIFY(readSettingsFolders(path) == folders);
    }

    void writeIntoMissingFolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral(u"missing/") + kSettingsFileName);
        const auto written =
            writeSettings(path, SettingsFlags{}, SettingsFolders::allSetTo(QByteArray("C:\\")));
        QVERIFY(!written);
        QVERIFY(written.error().code() != 0);
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

KIRANO_CORE_TEST_MAIN(TestSettingsFile)
#include "test_store_settingsfile.moc"

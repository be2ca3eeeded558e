#include "app/mainwindow.h"
#include "browser/datalistview.h"
#include "dialogs/patioeditor.h"
#include "dialogs/settingsdialog.h"
#include "guitestsupport.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

// A program folder with a settings file whose data folder is data/.
struct Program : Fixture {
    TForm1 *w = nullptr;

    QString patioFile() const { return data() + u"patiolist.txt"_s; }
    void startWith(const QByteArray &patioList) {
        writeSettings("1\r\n0\r\n1\r\n", true);
        if (!patioList.isNull())
            writeBytes(patioFile(), patioList);
        w = &start();
    }
    PatioEditor *editor() { return w->findChild<PatioEditor *>(u"TForm3"_s); }
    SettingsDialog *settings() { return w->findChild<SettingsDialog *>(u"TForm4"_s); }
    QStringList boxes() {
        QStringList texts;
        for (const char *n : {"Edit1", "Edit2", "Edit3"})
            texts << editor()->findChild<QLineEdit *>(QString::fromLatin1(n))->text();
        return texts;
    }
    void press(QWidget *dialog, const char *button) {
        dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }
    PatioEditor *openEditor() {
        editor()->show();
        return editor();
    }
};

const QString kNoRecord = u"message|データが無いのでPATIOリストを削除しました"_s;
const QString kAskSave = u"yesno|データが変更されています\r\n保存しますか"_s;

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
  private slots:
    void editorWithoutAFile() {
        Program p;
        p.startWith(QByteArray());
        PatioEditor *e = p.openEditor();
        QCOMPARE(p.boxes(), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(e->currentIndex(), -1);
        QCOMPARE(e->lastIndex(), -1);
        p.press(e, "Button1");
        p.press(e, "Button2");
        p.press(e, "Button7");
        p.press(e, "Button4");
        p.press(e, "Button5");
        QCOMPARE(p.prompts.takeAsked(), (QStringList{u"message|変更できません"_s,
                                                     u"message|削除できません"_s, kNoRecord}));
        QVERIFY(!QFile::exists(p.patioFile()));
        QVERIFY(!e->modified());
        e->close();
        QVERIFY(!e->isVisible());
    }

    void addUpperCasesTheId() {
        Program p;
        p.startWith(QByteArray());
        PatioEditor *e = p.openEditor();
        p.prompts.answer({u"Tea room"_s, u"abc12x"_s, u"Secret"_s});
        p.press(e, "Button3");
        QCOMPARE(p.prompts.takeAsked(),
                 (QStringList{u"input|パティオ編集|パティオの名称|"_s,
                              u"input|パティオ編集|パティオのＩＤ|"_s,
                              u"input|パティオ編集|パティオのパスワード|"_s}));
        QCOMPARE(p.boxes(), (QStringList{u"Tea room"_s, u"ABC12X"_s, u"Secret"_s}));
        QVERIFY(e->modified());
        p.press(e, "Button5");
        QCOMPARE(readBytes(p.patioFile()), QByteArray("Tea room\r\nABC12X\r\nSecret\r\n"));
        QVERIFY(!e->modified());
        e->close();
        QVERIFY(p.prompts.asked.isEmpty());
    }

    void cancelledAddAddsNothing() {
        Program p;
        p.startWith("a\r\nA\r\nPA\r\n");
        PatioEditor *e = p.openEditor();
        p.prompts.answer({u"name"_s, std::nullopt});
        p.press(e, "Button3");
        QCOMPARE(e->records().size(), 1);
        QVERIFY(!e->modified());
        QCOMPARE(p.boxes(), (QStringList{u"a"_s, u"A"_s, u"PA"_s}));
    }

    void browsingWraps() {
        Program p;
        p.startWith("a\r\nA\r\n1\r\nb\r\nB\r\n2\r\nc\r\nC\r\n3\r\n");
        PatioEditor *e = p.openEditor();
        QCOMPARE(p.boxes().first(), u"a"_s);
        p.press(e, "Button1");
        QCOMPARE(p.boxes().first(), u"c"_s);
        p.press(e, "Button2");
        QCOMPARE(p.boxes().first(), u"a"_s);
        p.press(e, "Button2");
        p.press(e, "Button2");
        QCOMPARE(p.boxes().first(), u"c"_s);
        p.press(e, "Button2");
        QCOMPARE(p.boxes().first(), u"a"_s);
        QVERIFY(!e->modified());
    }

    void deleteShowsTheFirstRecord() {
        Program p;
        p.startWith("a\r\nA\r\n1\r\nb\r\nB\r\n2\r\nc\r\nC\r\n3\r\n");
        PatioEditor *e = p.openEditor();
        p.press(e, "Button2");
        p.prompts.answer({u"yes"_s});
        p.press(e, "Button4");
        QCOMPARE(p.prompts.takeAsked(), QStringList{u"yesno|削除しますか"_s});
        QCOMPARE(p.boxes().first(), u"a"_s);
        p.press(e, "Button5");
        QCOMPARE(readBytes(p.patioFile()), QByteArray("a\r\nA\r\n1\r\nc\r\nC\r\n3\r\n"));
    }

    void deletingTheOnlyRecordAndSavingDeletesTheFile() {
        Program p;
        p.startWith("a\r\nA\r\n1\r\n");
        PatioEditor *e = p.openEditor();
        p.prompts.answer({u"yes"_s});
        p.press(e, "Button4");
        QCOMPARE(e->currentIndex(), -1);
        QCOMPARE(p.boxes(), (QStringList{QString(), QString(), QString()}));
        p.press(e, "Button5");
        QCOMPARE(p.prompts.takeAsked().last(), kNoRecord);
        QVERIFY(!QFile::exists(p.patioFile()));
    }

    void changeAcceptsEmptyAnswers() {
        Program p;
        p.startWith("a\r\nA\r\n1\r\n");
        PatioEditor *e = p.openEditor();
        p.prompts.answer({QString(), u"new id"_s, u"pw"_s});
        p.press(e, "Button7");
        QCOMPARE(p.prompts.takeAsked(),
                 (QStringList{u"query|パティオ編集|名称|a"_s, u"query|パティオ編集|ＩＤ|A"_s,
                              u"query|パティオ編集|パスワード|1"_s}));
        QCOMPARE(p.boxes(), (QStringList{QString(), u"NEW ID"_s, u"pw"_s}));
        p.prompts.answer({u"x"_s, std::nullopt});
        p.press(e, "Button7"); // Cancel leaves the record as it was
        QCOMPARE(p.boxes(), (QStringList{QString(), u"NEW ID"_s, u"pw"_s}));
    }

    void closingAsksToSave_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("はい") << true;
        QTest::newRow("いいえ") << false;
    }
    void closingAsksToSave() {
        QFETCH(bool, save);
        Program p;
        p.startWith("old\r\nOLD\r\nPW\r\n");
        PatioEditor *e = p.editor();
        QTimer::singleShot(0, e, [&p, e, save] {
            p.prompts.answer({u"new"_s, u"n"_s, u"p"_s});
            p.press(e, "Button3");
            p.prompts.answer({save ? std::optional<QString>(u"yes"_s) : std::nullopt});
            p.press(e, "Button6");
        });
        p.w->N4Click();
        QCOMPARE(p.prompts.asked.last(), kAskSave);
        QVERIFY(!e->isVisible());
        const QByteArray old("old\r\nOLD\r\nPW\r\n");
        QCOMPARE(readBytes(p.patioFile()), save ? old + "new\r\nN\r\np\r\n" : old);
        auto *patios = p.w->findChild<DataListView *>(u"ListBox3"_s);
        QCOMPARE(patios->model()->rowCount(), save ? 2 : 1);
    }

    void shortAndPaddedFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("records");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("four lines") << QByteArray("a\r\nA\r\n1\r\nb\r\n") << 2
                                    << QByteArray("a\r\nA\r\n1\r\nb\r\n\r\n\r\n");
        QTest::newRow("one extra line end")
            << QByteArray("a\r\nA\r\n1\r\n\r\n") << 2 << QByteArray("a\r\nA\r\n1\r\n\r\n\r\n\r\n");
    }
    void shortAndPaddedFiles() {
        QFETCH(QByteArray, file);
        QFETCH(int, records);
        QFETCH(QByteArray, saved);
        Program p;
        p.startWith(file);
        PatioEditor *e = p.openEditor();
        QCOMPARE(e->records().size(), records);
        p.press(e, "Button5");
        QCOMPARE(readBytes(p.patioFile()), saved);
    }

    void failedSaveKeepsTheEditorOpen() {
        Program p;
        p.startWith("a\r\nA\r\n1\r\n");
        QVERIFY(QFile::remove(p.patioFile()));
        QVERIFY(QDir().mkdir(p.patioFile())); // a folder where the file should be
        PatioEditor *e = p.openEditor();
        p.prompts.answer({u"n"_s, u"i"_s, u"p"_s, u"yes"_s});
        p.press(e, "Button3");
        e->close();
        const QString failed = u"message|ﾌｧｲﾙ "_s + p.patioFile() + u" を作成できません"_s;
        QCOMPARE(p.prompts.takeAsked().mid(3), (QStringList{kAskSave, failed}));
        QVERIFY(e->isVisible());
        QVERIFY(e->modified());
        p.prompts.answer({std::nullopt});
        e->close(); // asks again; "いいえ" closes
        QCOMPARE(p.prompts.takeAsked(), QStringList{kAskSave});
        QVERIFY(!e->isVisible());
    }

    void editorBeforeAnySettings() {
        Fixture f;
        TForm1 &w = f.start();
        f.prompts.takeAsked();
        auto *e = w.findChild<PatioEditor *>(u"TForm3"_s);
        e->show();
        QCOMPARE(e->records().size(), 0);
        f.prompts.answer({u"n"_s, u"i"_s, u"p"_s});
        e->N3Click();
        QVERIFY(!e->N1Click());
        QCOMPARE(f.prompts.takeAsked().last(), u"message|ﾌｧｲﾙ  を作成できません"_s);
    }

    void settingsWithoutAFile() {
        Fixture f;
        TForm1 &w = f.start();
        auto *s = w.findChild<SettingsDialog *>(u"TForm4"_s);
        s->show();
        for (int i = 1; i <= 3; ++i)
            QVERIFY(s->findChild<QCheckBox *>(u"CheckBox%1"_s.arg(i))->isChecked());
        QCOMPARE(s->findChild<QLabel *>(u"Label16"_s)->text(), f.folder());
        s->close();
        QByteArray expected("1\r\n1\r\n1\r\n");
        for (int i = 0; i < 8; ++i)
            expected += text::bytesOf(f.folder()) + "\r\n";
        QCOMPARE(readBytes(f.settingsPath()), expected);
    }

    void flagLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("blank then 1") << QByteArray(" 1") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void flagLines() {
        QFETCH(QByteArray, line);
        QFETCH(bool, on);
        Program p;
        p.startWith(QByteArray());
        QByteArray content = readBytes(p.settingsPath());
        content.replace(0, 1, line); // the first flag line
        writeBytes(p.settingsPath(), content);
        p.settings()->show();
        QCOMPARE(p.settings()->findChild<QCheckBox *>(u"CheckBox1"_s)->isChecked(), on);
        QVERIFY(!p.settings()->findChild<QCheckBox *>(u"CheckBox2"_s)->isChecked());
        p.settings()->close();
        QVERIFY(readBytes(p.settingsPath()).startsWith(on ? "1\r\n0\r\n1\r\n" : "0\r\n0\r\n1\r\n"));
    }

    void pickingFolders() {
        Program p;
        p.startWith(QByteArray());
        const QString japanese = p.folder() + u"データ 保存"_s;
        QVERIFY(QDir().mkpath(japanese));
        SettingsDialog *s = p.settings();
        s->show();
        auto *tree = s->findChild<QTreeView *>(u"dul1"_s);
        auto *model = static_cast<QFileSystemModel *>(tree->model());
        tree->setCurrentIndex(model->index(japanese));
        p.press(s, "Button2");
        p.press(s, "Button4"); // the same folder in two rows
        tree->setCurrentIndex(model->index(u"/"_s));
        p.press(s, "Button9");
        QCOMPARE(s->findChild<QLabel *>(u"Label4"_s)->text(), japanese + u'/');
        QCOMPARE(s->findChild<QLabel *>(u"Label6"_s)->text(), japanese + u'/');
        QCOMPARE(s->findChild<QLabel *>(u"Label16"_s)->text(), u"/"_s);
        s->close();
        const QList<QByteArray> lines = readBytes(p.settingsPath()).split('\n');
        QCOMPARE(lines[3], text::bytesOf(japanese) + "/\r");
        QCOMPARE(lines[5], text::bytesOf(japanese) + "/\r");
        QCOMPARE(lines[10], QByteArray("/\r"));
        QCOMPARE(lines[4], text::bytesOf(p.data()) + "\r");
    }

    void closingTheSettingsRereadsTheFolders() {
        Program p;
        p.startWith("patio\r\nID\r\nPW\r\n");
        writeBytes(p.data() + u"forumlist.txt"_s, "forum\r\nF/\r\n");
        const QByteArray before = readBytes(p.settingsPath());
        SettingsDialog *s = p.settings();
        QTimer::singleShot(0, s, [s] { s->close(); });
        p.w->N5Click();
        QCOMPARE(readBytes(p.settingsPath()), before);
        QCOMPARE(p.w->folders().dataFolder(), text::bytesOf(p.data()));
        QCOMPARE(p.w->findChild<DataListView *>(u"ListBox2"_s)->model()->rowCount(), 1);
        QCOMPARE(p.w->findChild<DataListView *>(u"ListBox3"_s)->model()->rowCount(), 1);
    }

    void failedSettingsWriteKeepsTheDialogOpen() {
        Program p;
        p.startWith(QByteArray());
        SettingsDialog *s = p.settings();
        s->show();
        QVERIFY(QFile::remove(p.settingsPath()));
        QVERIFY(QDir().mkdir(p.settingsPath()));
        s->close();
        QVERIFY(s->isVisible());
        QVERIFY(p.prompts.takeAsked().last().startsWith(u"message|"_s));
        QVERIFY(QDir().rmdir(p.settingsPath()));
        s->close();
        QVERIFY(!s->isVisible());
        QVERIFY(readBytes(p.settingsPath()).startsWith("1\r\n0\r\n1\r\n"));
    }

    void driveNotReadyKeepsTheTree() {
        Program p;
        p.startWith(QByteArray());
        SettingsDialog *s = p.settings();
        s->show();
        auto *drives = s->findChild<QComboBox *>(u"DriveComboBox1"_s);
        auto *tree = s->findChild<QTreeView *>(u"dul1"_s);
        const QModelIndex root = tree->rootIndex();
        drives->addItem(p.folder() + u"no-such-drive/"_s);
        drives->setCurrentIndex(drives->count() - 1);
        s->DriveComboBox1Change();
        QCOMPARE(p.prompts.takeAsked(), QStringList{u"message|ドライブの準備ができていません"_s});
        QCOMPARE(tree->rootIndex(), root);
        QCOMPARE(drives->currentIndex(), drives->count() - 1);
    }
};

KIRANO_GUI_TEST_MAIN(TestDialogs)
#include "test_dialogs.moc"

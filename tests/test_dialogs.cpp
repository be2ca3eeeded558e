#include "app/mainwindow.h"
#include "app/patrollistpane.h"
#include "app/patrolmarks.h"
#include "autopilot/commandline.h"
#include "browser/datalistview.h"
#include "dialogs/chooserdialog.h"
#include "dialogs/patioeditor.h"
#include "dialogs/settingsdialog.h"
#include "guitestsupport.h"
#include "testmain.h"
#include "version.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <optional>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

// The row is on screen from top to bottom and its start shows: the tree
// scrolls sideways for names longer than it is wide.
bool rowInView(QTreeView *tree, const QModelIndex &index) {
    const QRect row = tree->visualRect(index);
    const QRect shown = tree->viewport()->rect();
    return row.top() >= shown.top() && row.bottom() <= shown.bottom() &&
           shown.contains(row.topLeft());
}

// A program folder with a settings file whose data folder is data/.
struct Program : Fixture {
    MainWindow *w = nullptr;

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
    // A mouse click on the dialog's button, which must be shown.
    void press(QWidget *dialog, const char *button) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }
    PatioEditor *openEditor() { return shown(editor()); }
    SettingsDialog *openSettings() { return shown(settings()); }
    template <typename Dialog> Dialog *shown(Dialog *dialog) {
        if (!showAndWait(dialog))
            qWarning("the dialog was not exposed");
        return dialog;
    }
};

// Clicks a folder of the settings tree, scrolled into view with its parents
// opened, as the user would; the folders load in the background. The click
// goes to the part of the name that shows: a deep folder's row reaches past
// the narrow tree's right edge, and a click at its middle would land on the
// dialog beside the tree.
void clickFolder(QTreeView *tree, const QString &path) {
    // Persistent: the folders are sorted again as they load.
    const QPersistentModelIndex index = static_cast<QFileSystemModel *>(tree->model())->index(path);
    QVERIFY(index.isValid());
    tree->scrollTo(index);
    QTRY_VERIFY(!tree->visualRect(index).isEmpty());
    tree->scrollTo(index);
    const QRect shown = tree->visualRect(index) & tree->viewport()->rect();
    QVERIFY(!shown.isEmpty());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, shown.center());
    QCOMPARE(tree->currentIndex(), index);
}

// Opens the drive list with the mouse and clicks the drive.
void chooseDrive(QComboBox *drives, const QString &drive) {
    const int row = drives->findText(drive);
    QVERIFY2(row >= 0, qPrintable(drive));
    QTest::mouseClick(drives, Qt::LeftButton);
    QAbstractItemView *list = drives->view();
    QTRY_VERIFY(list->isVisible());
    // The open list takes no release until a double-click's time has passed.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    clickRow(list, row);
    QTRY_VERIFY(!list->isVisible());
}

// The process's current folder for one test, put back however it ends.
struct CurrentFolder {
    const QString saved = QDir::currentPath();
    explicit CurrentFolder(const QString &folder) { QDir::setCurrent(folder); }
    ~CurrentFolder() { QDir::setCurrent(saved); }
};

// A file that cannot be deleted while this lives: in a read-only folder for
// a user, immutable for root, who may delete in any folder. Undone at the
// end, so that the temporary folder can go.
class Undeletable {
  public:
    explicit Undeletable(const QString &file) : file_(file) {
#ifdef Q_OS_LINUX
        if (::geteuid() != 0) {
            folder_ = QFileInfo(file).absolutePath();
            done_ = QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            return;
        }
        done_ = setImmutable(true);
#endif
    }
    ~Undeletable() {
        if (!done_)
            return;
        if (!folder_.isEmpty())
            QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
        else
            setImmutable(false);
    }
    bool done() const {
        return done_;
    }

  private:
    bool setImmutable([[maybe_unused]] bool on) {
#ifdef Q_OS_LINUX
        const int fd = ::open(QFile::encodeName(file_).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        set = set && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return set;
#else
        return false;
#endif
    }
    QString file_;
    QString folder_;
    bool done_ = false;
};

// Environment variables set for one test, put back however it ends.
struct Environment {
    QList<std::pair<const char *, std::optional<QByteArray>>> saved;
    void set(const char *name, const std::optional<QByteArray> &value) {
        saved.append({name, qEnvironmentVariableIsSet(name)
                                ? std::optional<QByteArray>(qgetenv(name))
                                : std::nullopt});
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~Environment() {
        for (auto it = saved.crbegin(); it != saved.crend(); ++it) {
            if (it->second)
                qputenv(it->first, *it->second);
            else
                qunsetenv(it->first);
        }
    }
};

// A folder the user may not write in while this lives (by its permission
// bits, which root's settings rule heeds too).
struct ReadOnlyFolder {
    QString folder;
    explicit ReadOnlyFolder(const QString &f) : folder(f) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~ReadOnlyFolder() {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
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
        p.press(e, "Button6");
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
        p.press(e, "Button6");
        QVERIFY(!e->isVisible());
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
        whenModal([&p, e, save](QWidget *dialog) {
            QCOMPARE(dialog, e);
            p.prompts.answer({u"new"_s, u"n"_s, u"p"_s});
            p.press(e, "Button3");
            p.prompts.answer({save ? std::optional<QString>(u"yes"_s) : std::nullopt});
            p.press(e, "Button6");
        });
        trigger(p.w, "N4");
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
        p.press(e, "Button6");
        const QString failed = u"message|ﾌｧｲﾙ "_s + p.patioFile() + u" を作成できません"_s;
        QCOMPARE(p.prompts.takeAsked().mid(3), (QStringList{kAskSave, failed}));
        QVERIFY(e->isVisible());
        QVERIFY(e->modified());
        p.prompts.answer({std::nullopt});
        QTest::keyClick(e, Qt::Key_Escape); // asks again; "いいえ" closes
        QCOMPARE(p.prompts.takeAsked(), QStringList{kAskSave});
        QVERIFY(!e->isVisible());
    }

    // Saving no records deletes the file. When that fails the passwords are
    // still on disk: the editor says so, as for a write that fails, and keeps
    // its changes.
    void failedDeleteIsReported_data() {
        QTest::addColumn<bool>("folderInItsPlace");
        QTest::newRow("a folder in its place") << true;
        QTest::newRow("a file that cannot be deleted") << false;
    }
    void failedDeleteIsReported() {
        QFETCH(bool, folderInItsPlace);
        Program p;
        p.startWith("a\r\nA\r\n1\r\n");
        PatioEditor *e = p.openEditor();
        std::optional<Undeletable> undeletable;
        if (folderInItsPlace) {
            QVERIFY(QFile::remove(p.patioFile()));
            QVERIFY(QDir().mkdir(p.patioFile()));
        } else if (!undeletable.emplace(p.patioFile()).done()) {
            QSKIP("no file here can be made undeletable");
        }
        p.prompts.answer({u"yes"_s});
        p.press(e, "Button4");
        p.press(e, "Button5");
        const QString failed = u"message|ﾌｧｲﾙ "_s + p.patioFile() +
                               u" を削除できません\r\nﾌｧｲﾙへのｱｸｾｽが拒否されました"_s;
        QCOMPARE(p.prompts.takeAsked(), (QStringList{u"yesno|削除しますか"_s, failed}));
        QVERIFY(e->modified());
        QVERIFY(folderInItsPlace || QFile::exists(p.patioFile()));
        p.prompts.answer({std::nullopt});
        p.press(e, "Button6"); // asks again; "いいえ" closes
        QCOMPARE(p.prompts.takeAsked(), QStringList{kAskSave});
        QVERIFY(!e->isVisible());
    }

    void editorBeforeAnySettings() {
        Fixture f;
        MainWindow &w = f.start();
        f.prompts.takeAsked();
        auto *e = w.findChild<PatioEditor *>(u"TForm3"_s);
        QVERIFY(showAndWait(e));
        QCOMPARE(e->records().size(), 0);
        f.prompts.answer({u"n"_s, u"i"_s, u"p"_s});
        QTest::mouseClick(e->findChild<QPushButton *>(u"Button3"_s), Qt::LeftButton);
        QTest::mouseClick(e->findChild<QPushButton *>(u"Button5"_s), Qt::LeftButton);
        QCOMPARE(f.prompts.takeAsked().last(), u"message|ﾌｧｲﾙ  を作成できません"_s);
        QVERIFY(e->modified()); // nothing was saved
    }

    void settingsWithoutAFile() {
        Fixture f;
        MainWindow &w = f.start();
        auto *s = w.findChild<SettingsDialog *>(u"TForm4"_s);
        QVERIFY(showAndWait(s));
        for (int i = 1; i <= 3; ++i)
            QVERIFY(s->findChild<QCheckBox *>(u"CheckBox%1"_s.arg(i))->isChecked());
        QCOMPARE(s->findChild<QLabel *>(u"Label16"_s)->text(), f.folder());
        QTest::mouseClick(s->findChild<QPushButton *>(u"Button1"_s), Qt::LeftButton);
        QVERIFY(!s->isVisible());
        QByteArray expected("1\r\n1\r\n1\r\n");
        for (int i = 0; i < 8; ++i)
            expected += text::bytesOf(f.folder()) + "\r\n";
        QCOMPARE(readBytes(f.settingsPath()), expected);
    }

    // Where the settings file is, for Kirano (read at start, written by the
    // settings dialog) and for the autopilot without --settings alike.
    void settingsFileFollowsTheRule_data() {
        QTest::addColumn<bool>("inUsr");      // the program in /usr/bin/
        QTest::addColumn<bool>("writable");   // the program's folder
        QTest::addColumn<bool>("beside");     // a settings file beside the program
        QTest::addColumn<bool>("userFile");   // one in the user's settings folder
        QTest::addColumn<QString>("xdg");     // XDG_CONFIG_HOME: unset, absolute, relative
        QTest::addColumn<bool>("besideWins"); // else the user's file is used
        QTest::newRow("beside") << false << true << true << false << u"absolute"_s << true;
        QTest::newRow("beside, folder read-only")
            << false << false << true << false << u"absolute"_s << true;
        QTest::newRow("none, portable folder")
            << false << true << false << false << u"absolute"_s << true;
        QTest::newRow("user's only, portable folder")
            << false << true << false << true << u"absolute"_s << true;
        QTest::newRow("none, read-only, XDG set")
            << false << false << false << false << u"absolute"_s << false;
        QTest::newRow("none, read-only, XDG unset")
            << false << false << false << false << u"unset"_s << false;
        QTest::newRow("none, read-only, XDG relative")
            << false << false << false << false << u"relative"_s << false;
        QTest::newRow("user's, read-only, XDG set")
            << false << false << false << true << u"absolute"_s << false;
        QTest::newRow("user's, read-only, XDG unset")
            << false << false << false << true << u"unset"_s << false;
        QTest::newRow("both, read-only") << false << false << true << true << u"absolute"_s << true;
        QTest::newRow("both, portable folder")
            << false << true << true << true << u"unset"_s << true;
        // Root may write in /usr/bin, yet nothing is written there at run time.
        QTest::newRow("installed") << true << true << false << false << u"absolute"_s << false;
        QTest::newRow("installed, user's") << true << true << false << true << u"unset"_s << false;
    }
    void settingsFileFollowsTheRule() {
        QFETCH(bool, inUsr);
        QFETCH(bool, writable);
        QFETCH(bool, beside);
        QFETCH(bool, userFile);
        QFETCH(QString, xdg);
        QFETCH(bool, besideWins);
        QTemporaryDir home;
        QTemporaryDir programDir;
        const QString program = inUsr ? u"/usr/bin/"_s : programDir.path() + u'/';
        QVERIFY2(!inUsr || !QFileInfo::exists(program + u"環境設定.txt"_s),
                 "a settings file lies in /usr/bin");
        Environment environment;
        environment.set("HOME", QFile::encodeName(home.path()));
        environment.set("XDG_CONFIG_HOME", xdg == u"unset" ? std::nullopt
                                           : xdg == u"relative"
                                               ? std::optional<QByteArray>("config")
                                               : QFile::encodeName(home.path() + u"/xdg"_s));
        const QString userFolder =
            home.path() + (xdg == u"absolute" ? u"/xdg/kirano/"_s : u"/.config/kirano/"_s);
        const QString besidePath = program + u"環境設定.txt"_s;
        const QString userPath = userFolder + u"環境設定.txt"_s;
        // Each file names folders of its own, which are not there.
        auto settingsNaming = [&home](const QString &folder) {
            QByteArray content("0\r\n0\r\n0\r\n");
            for (int i = 0; i < 8; ++i)
                content += text::bytesOf(home.path() + u'/' + folder + u'/') + "\r\n";
            return content;
        };
        if (beside)
            writeBytes(besidePath, settingsNaming(u"beside"_s));
        if (userFile) {
            QVERIFY(QDir().mkpath(userFolder));
            writeBytes(userPath, settingsNaming(u"user"_s));
        }
        std::optional<ReadOnlyFolder> readOnly;
        if (!writable)
            readOnly.emplace(programDir.path());
        const QString used = besideWins ? besidePath : userPath;
        const QString unused = besideWins ? userPath : besidePath;
        const QByteArray unusedBefore = readBytes(unused);
        const bool existed = besideWins ? beside : userFile;

        ScriptedPrompts prompts;
        MainWindow w(program, prompts);
        createDialogs(w, prompts);
        QCOMPARE(w.folders().dataFolder(),
                 existed ? text::bytesOf(home.path() + (besideWins ? u"/beside/"_s : u"/user/"_s))
                         : text::bytesOf(program));
        QCOMPARE(prompts.takeAsked(),
                 existed ? QStringList() : QStringList{u"message|環境設定.txtがありません"_s});

        const QString list = home.path() + u"/list.txt"_s;
        writeBytes(list, "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n");
        QString said;
        QTextStream out(&said);
        const autopilot::ProgramPlace place{program, program + u"kirano-autopilot"_s,
                                            u"" KIRANO_VERSION ""_s};
        QCOMPARE(autopilot::runCommandLine({u"check"_s, list}, place, out, out), existed ? 1 : 2);
        out.flush();
        QVERIFY2(said.contains(u"設定ファイル %1 "_s.arg(used)), qPrintable(said));

        // A user may not save beside the program in a read-only folder; and
        // nothing is written in /usr/bin, even by a wrong rule run by root.
        if (besideWins && !writable)
            return;
        QCOMPARE(w.settingsFilePath(), used);
        auto *s = w.findChild<SettingsDialog *>(u"TForm4"_s);
        QVERIFY(showAndWait(s));
        QTest::mouseClick(s->findChild<QPushButton *>(u"Button1"_s), Qt::LeftButton);
        QVERIFY(!s->isVisible());
        QByteArray saved("1\r\n1\r\n1\r\n");
        for (int i = 0; i < 8; ++i)
            saved += text::bytesOf(program) + "\r\n";
        QCOMPARE(readBytes(used),
                 existed ? settingsNaming(besideWins ? u"beside"_s : u"user"_s) : saved);
        QCOMPARE(readBytes(unused), unusedBefore);
        // The user's settings folder, made on the first save, is the user's own.
        if (!besideWins && !userFile)
            QCOMPARE(QFileInfo(userFolder).permissions() &
                         (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                     QFileDevice::Permissions());
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
        SettingsDialog *s = p.openSettings();
        QCOMPARE(s->findChild<QCheckBox *>(u"CheckBox1"_s)->isChecked(), on);
        QVERIFY(!s->findChild<QCheckBox *>(u"CheckBox2"_s)->isChecked());
        p.press(s, "Button1");
        QVERIFY(readBytes(p.settingsPath()).startsWith(on ? "1\r\n0\r\n1\r\n" : "0\r\n0\r\n1\r\n"));
    }

    void pickingFolders() {
        Program p;
        p.startWith(QByteArray());
        const QString japanese = p.folder() + u"データ 保存"_s;
        QVERIFY(QDir().mkpath(japanese));
        SettingsDialog *s = p.openSettings();
        clickFolder(s->findChild<QTreeView *>(u"dul1"_s), japanese);
        p.press(s, "Button2");
        p.press(s, "Button4"); // the same folder in two rows
        // Choosing a drive leaves no folder selected: "決定" takes the drive.
        chooseDrive(s->findChild<QComboBox *>(u"DriveComboBox1"_s), u"/"_s);
        p.press(s, "Button9");
        QCOMPARE(s->findChild<QLabel *>(u"Label4"_s)->text(), japanese + u'/');
        QCOMPARE(s->findChild<QLabel *>(u"Label6"_s)->text(), japanese + u'/');
        QCOMPARE(s->findChild<QLabel *>(u"Label16"_s)->text(), u"/"_s);
        p.press(s, "Button1");
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
        whenModal([&p](QWidget *dialog) {
            QCOMPARE(dialog, p.settings());
            p.press(dialog, "Button1");
        });
        trigger(p.w, "N5");
        QCOMPARE(readBytes(p.settingsPath()), before);
        QCOMPARE(p.w->folders().dataFolder(), text::bytesOf(p.data()));
        QCOMPARE(p.w->findChild<DataListView *>(u"ListBox2"_s)->model()->rowCount(), 1);
        QCOMPARE(p.w->findChild<DataListView *>(u"ListBox3"_s)->model()->rowCount(), 1);
    }

    // Another data folder chosen in the dialog: once it closes, the patrol
    // list's marks are those of the new folder's captured files.
    void anotherDataFolderMarksTheListAnew() {
        Program p;
        p.startWith(QByteArray());
        writeBytes(p.data() + u"forumlist.txt"_s, "Forum\r\nF/\r\n");
        const QString other = p.folder() + u"data2"_s;
        QVERIFY(QDir().mkpath(other));
        writeBytes(other + u"/forumlist.txt"_s, "Other\r\nG/\r\n");
        writeBytes(p.folder() + u"list.txt"_s,
                   "mestitlea\r\nG/\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n");
        p.prompts.answer({p.folder() + u"list.txt"_s});
        QTRY_VERIFY(p.w->isActiveWindow());
        QTest::keyClick(p.w, Qt::Key_O, Qt::ControlModifier);
        auto *lsv1 = p.w->findChild<QTreeView *>(u"lsv1"_s);
        const auto tip = [lsv1] { return lsv1->model()->index(0, 0).data(Qt::ToolTipRole); };
        QTRY_COMPARE(tip().toString(), u"フォーラム「G/」が forumlist.txt にありません"_s);
        whenModal([&](QWidget *dialog) {
            clickFolder(dialog->findChild<QTreeView *>(u"dul1"_s), other);
            p.press(dialog, "Button3");
            p.press(dialog, "Button1");
        });
        trigger(p.w, "N5");
        QCOMPARE(p.w->folders().dataFolder(), text::bytesOf(other + u'/'));
        QTRY_COMPARE(tip().toString(), QString());
    }

    // A forum list too large to read is named by the marks again each time
    // its data folder is chosen anew, not once a run.
    void tooLargeListIsNamedAgainWhenItsFolderComesBack() {
        Program p;
        p.startWith(QByteArray());
        const QString list = p.data() + u"forumlist.txt"_s;
        writeBytes(list, QByteArray());
        QVERIFY(QFile::resize(list, qint64(1) << 32));
        const QString other = p.folder() + u"data2"_s;
        QVERIFY(QDir().mkpath(other));
        QSignalSpy said(p.w->patrolPane()->marks(), &PatrolMarks::note);
        writeBytes(p.folder() + u"list.txt"_s,
                   "mestitlea\r\nF/\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n");
        p.prompts.answer({p.folder() + u"list.txt"_s});
        QTRY_VERIFY(p.w->isActiveWindow());
        QTest::keyClick(p.w, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(said.size(), 1);
        for (const QString &folder : {other, p.data().chopped(1)}) {
            whenModal([&](QWidget *dialog) {
                clickFolder(dialog->findChild<QTreeView *>(u"dul1"_s), folder);
                p.press(dialog, "Button3");
                p.press(dialog, "Button1");
            });
            trigger(p.w, "N5");
        }
        QCOMPARE(p.w->folders().dataFolder(), text::bytesOf(p.data()));
        QTRY_COMPARE(said.size(), 2);
        QCOMPARE(said.at(1), said.at(0));
        QVERIFY(said.at(0).at(0).toString().startsWith(list));
    }

    void failedSettingsWriteKeepsTheDialogOpen() {
        Program p;
        p.startWith(QByteArray());
        SettingsDialog *s = p.openSettings();
        QVERIFY(QFile::remove(p.settingsPath()));
        QVERIFY(QDir().mkdir(p.settingsPath()));
        p.press(s, "Button1");
        QVERIFY(s->isVisible());
        QVERIFY(p.prompts.takeAsked().last().startsWith(u"message|"_s));
        QVERIFY(QDir().rmdir(p.settingsPath()));
        QTest::keyClick(s, Qt::Key_Escape);
        QVERIFY(!s->isVisible());
        QVERIFY(readBytes(p.settingsPath()).startsWith("1\r\n0\r\n1\r\n"));
    }

    void driveNotReadyKeepsTheTree() {
        Program p;
        p.startWith(QByteArray());
        SettingsDialog *s = p.openSettings();
        auto *drives = s->findChild<QComboBox *>(u"DriveComboBox1"_s);
        auto *tree = s->findChild<QTreeView *>(u"dul1"_s);
        const QModelIndex root = tree->rootIndex();
        // A drive listed when the dialog was made and gone since.
        drives->addItem(p.folder() + u"no-such-drive/"_s);
        chooseDrive(drives, p.folder() + u"no-such-drive/"_s);
        QCOMPARE(p.prompts.takeAsked(), QStringList{u"message|ドライブの準備ができていません"_s});
        QCOMPARE(tree->rootIndex(), root);
        QCOMPARE(drives->currentIndex(), drives->count() - 1);
    }
    void editorRefusesWhatTheCodePageCannotHold_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("answers");
        const QString emoji = u"\U0001F600"_s;
        QTest::newRow("name added") << u"Button3"_s << QStringList{u"茶"_s + emoji};
        QTest::newRow("ID added") << u"Button3"_s << QStringList{u"n"_s, emoji};
        QTest::newRow("password changed") << u"Button7"_s << QStringList{u"n"_s, u"i"_s, emoji};
        QTest::newRow("line break in the ID") << u"Button3"_s << QStringList{u"n"_s, u"i\nd"_s};
    }
    void editorRefusesWhatTheCodePageCannotHold() {
        QFETCH(QString, button);
        QFETCH(QStringList, answers);
        const QByteArray file("a\r\nA\r\n1\r\n");
        Program p;
        p.startWith(file);
        PatioEditor *e = p.openEditor();
        for (const QString &answer : answers)
            p.prompts.answers.push_back(answer);
        p.press(e, button.toLatin1().constData());
        QCOMPARE(p.prompts.takeAsked().last(), u"message|入力に使えない文字が含まれています"_s);
        QVERIFY(p.prompts.answers.empty());
        QCOMPARE(p.boxes(), (QStringList{u"a"_s, u"A"_s, u"1"_s}));
        QCOMPARE(e->records().size(), 1);
        QVERIFY(!e->modified());
        p.press(e, "Button5");
        QCOMPARE(readBytes(p.patioFile()), file);
    }

    // The chooser, the patio editor and the settings open where the main
    // window opens, not centred on it.
    void dialogsOpenAt200And107_data() {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("chooser") << u"TForm2"_s;
        QTest::newRow("patio editor") << u"TForm3"_s;
        QTest::newRow("settings") << u"TForm4"_s;
    }
    void dialogsOpenAt200And107() {
        QFETCH(QString, dialog);
        Program p;
        p.startWith("a\r\nA\r\n1\r\n");
        QString opened;
        QPoint at;
        whenModal([&](QWidget *modal) {
            opened = modal->objectName();
            at = modal->pos(); // the frame's corner
        });
        if (dialog == u"TForm2"_s)
            p.w->findChild<ChooserDialog *>(dialog)->choose({"row"}, "status");
        else
            trigger(p.w, dialog == u"TForm3"_s ? "N4" : "N5");
        QCOMPARE(opened, dialog);
        QCOMPARE(at, QPoint(200, 107));
    }

    // The tree opens on the current folder, in view even when it sorts far
    // below its many sibling folders.
    // The settings dialog opens at the form's size and no smaller; made
    // larger, its tree takes the height and half the width, the folder rows
    // the other half.
    void settingsDialogGrowsItsTreeAndRows() {
        Program p;
        p.startWith(QByteArray());
        SettingsDialog *dialog = p.openSettings();
        auto *tree = dialog->findChild<QTreeView *>(u"dul1"_s);
        auto *row = dialog->findChild<QFrame *>(u"Shape8"_s);
        auto *close = dialog->findChild<QPushButton *>(u"Button1"_s);
        QCOMPARE(dialog->size(), QSize(713, 491));
        QCOMPARE(dialog->minimumSize(), QSize(713, 491));
        QCOMPARE(tree->geometry(), QRect(16, 184, 177, 249));
        dialog->resize(913, 591);
        QTRY_COMPARE(tree->geometry(), QRect(16, 184, 277, 349));
        QCOMPARE(row->geometry(), QRect(339, 432, 549, 25));
        QCOMPARE(close->geometry().topLeft(), QPoint(88, 548));
        p.press(dialog, "Button1");
    }

    void settingsTreeShowsTheCurrentFolder() {
        Program p;
        const QString siblings = p.folder() + u"tree/"_s;
        for (int i = 0; i < 80; ++i)
            QVERIFY(QDir().mkpath(siblings + u"a%1"_s.arg(i, 2, 10, QChar(u'0'))));
        QVERIFY(QDir().mkpath(siblings + u"zz"_s));
        CurrentFolder current(siblings + u"zz"_s);
        p.startWith(QByteArray());
        bool inView = false;
        whenModal([&](QWidget *dialog) {
            auto *tree = dialog->findChild<QTreeView *>(u"dul1"_s);
            auto *model = static_cast<QFileSystemModel *>(tree->model());
            const QModelIndex parent = model->index(siblings);
            // Once all 81 folders are in, sorted, the current one is last.
            QTRY_COMPARE(model->rowCount(parent), 81);
            QTRY_COMPARE(model->index(80, 0, parent).data().toString(), u"zz"_s);
            QCOMPARE(model->filePath(tree->currentIndex()), siblings + u"zz"_s);
            QTRY_VERIFY(rowInView(tree, tree->currentIndex()));
            inView = true;
        });
        trigger(p.w, "N5");
        QVERIFY(inView);
    }

    // The picture of the settings dialog for the documents, taken once the
    // tree has loaded and sorted the folders it shows.
    void settingsPicture() {
        Program p;
        QDir().mkpath(p.data());
        CurrentFolder current(p.data());
        p.startWith(QByteArray());
        bool taken = false;
        whenModal([&](QWidget *dialog) {
            auto *tree = dialog->findChild<QTreeView *>(u"dul1"_s);
            auto *model = static_cast<QFileSystemModel *>(tree->model());
            QCollator order; // the model's own order of names
            order.setNumericMode(true);
            order.setCaseSensitivity(Qt::CaseInsensitive);
            auto sorted = [&](const QModelIndex &parent) {
                QStringList names;
                for (int r = 0; r < model->rowCount(parent); ++r)
                    names << model->index(r, 0, parent).data().toString();
                return names.size() > 1 && std::is_sorted(names.begin(), names.end(), order);
            };
            const QModelIndex root = tree->rootIndex();
            const int rootFolders =
                QDir(model->filePath(root)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
            QTRY_COMPARE(model->rowCount(root), rootFolders);
            QTRY_VERIFY(sorted(root) && sorted(tree->currentIndex().parent().parent()));
            QTRY_VERIFY(rowInView(tree, tree->currentIndex()));
            const QString folder = qEnvironmentVariable("KIRANO_PICTURE_DIR", QDir::tempPath());
            QVERIFY(dialog->grab().save(folder + u"/kirano-settings-dialog.png"_s));
            taken = true;
        });
        trigger(p.w, "N5");
        QVERIFY(taken);
    }
};

KIRANO_GUI_TEST_MAIN(TestDialogs)
#include "test_dialogs.moc"

#include "app/inputdialog.h"
#include "app/kiranoapplication.h"
#include "app/qtprompts.h"
#include "browser/datalistview.h"
#include "guitestsupport.h"
#include "testmain.h"
#include "text/sjis.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <unistd.h>
#endif

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

namespace {

QStringList buttonTexts(QWidget *dialog) {
    QStringList texts;
    for (auto *b : dialog->findChildren<QPushButton *>())
        texts << b->text();
    texts.sort();
    return texts;
}

// A mouse click on the dialog's button with this text.
void clickButton(QWidget *dialog, const QString &text) {
    for (auto *b : dialog->findChildren<QAbstractButton *>()) {
        if (b->text() == text && b->isVisible()) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable(u"no button "_s + text));
}

// Keys typed one character at a time, Japanese ones included, as the
// keyboard delivers them.
void typeKeys(QWidget *edit, const QString &text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QLineEdit *inputEdit(QWidget *dialog) {
    return dialog->findChild<QLineEdit *>(u"Edit"_s);
}

#ifdef Q_OS_LINUX
// What is opened in a folder, as the kernel tells: "." for the folder itself
// (it was listed), else the name of the file whose contents were opened.
class OpenWatch {
  public:
    explicit OpenWatch(const QString &folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ < 0 || ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN) < 0)
            qFatal("cannot watch %s", qPrintable(folder));
    }
    ~OpenWatch() { ::close(fd_); }
    // What was opened since the last call.
    QStringList opened() {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        ssize_t size;
        while ((size = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < size;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                names << (event->len > 0 ? QFile::decodeName(event->name) : u"."_s);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

  private:
    int fd_;
};
#endif

// A dialog's view of the folders, and whether it has listed an entry of a
// folder with its type, which listing asks of every file. Only what was
// listed is looked at: asking for a path would fetch it there and then.
QFileSystemModel *folderModel(QWidget *dialog) {
    return dialog->findChild<QFileSystemModel *>();
}
bool listedWithItsType(QFileSystemModel *model, const QString &folder, const QString &name) {
    const QModelIndex parent = model ? model->index(folder) : QModelIndex();
    for (int row = 0; parent.isValid() && row < model->rowCount(parent); ++row) {
        const QModelIndex entry = model->index(row, 0, parent);
        if (model->fileName(entry) == name)
            return !model->type(entry).isEmpty();
    }
    return false;
}

} // namespace

class TestQtPrompts : public QObject {
    Q_OBJECT
  private slots:
    // First: Qt's file dialogs read the folder the shared settings remember
    // only until one of them has set a folder in the process.
    void fileDialogsReadNoFileAndNothingWhileHidden_data();
    void fileDialogsReadNoFileAndNothingWhileHidden();
    void inputBoxLimitsTheBytes_data();
    void inputBoxLimitsTheBytes();
    void answersStayOneLine_data();
    void answersStayOneLine();
    void inputBoxCancelGivesTheInitialText();
    void inputQueryCancelGivesNothing();
    void messageIsPlainAndCaptionedKirano();
    void confirmations_data();
    void confirmations();
    void openDialogKeepsTheNameUnlessCleared();
    void completionListGoesWithTheDialog();
    void qtTextsAreJapaneseOursAsTheyAre();
};

void TestQtPrompts::inputBoxLimitsTheBytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kept");
    QTest::newRow("255 ASCII") << QString(255, u'a') << 255;
    QTest::newRow("256 ASCII") << QString(256, u'a') << 255;
    QTest::newRow("128 double-byte") << QString(128, u'表') << 127;
}

void TestQtPrompts::inputBoxLimitsTheBytes() {
    QFETCH(QString, typed);
    QFETCH(int, kept);
    QtPrompts prompts;
    whenModal([&typed](QWidget *dialog) {
        QCOMPARE(buttonTexts(dialog), (QStringList{u"OK"_s, u"ｷｬﾝｾﾙ"_s}));
        QCOMPARE(dialog->windowTitle(), u"会議室"_s);
        QCOMPARE(dialog->findChild<QLabel *>()->text(), u"未読数入力"_s);
        typeKeys(inputEdit(dialog), typed);
        clickButton(dialog, u"OK"_s);
    });
    const std::optional<QString> answer =
        prompts.inputQuery(u"会議室"_s, u"未読数入力"_s, QString());
    QVERIFY(answer);
    QCOMPARE(answer->size(), kept);
}

// A pasted or committed text with line breaks or NULs gives a one-line
// answer: the answer is one line of a file.
void TestQtPrompts::answersStayOneLine_data() {
    QTest::addColumn<bool>("paste");
    QTest::addColumn<bool>("inputBox");
    QTest::addColumn<QString>("text");
    const QString nul = u"件名"_s + QChar(u'\0') + u"二行目"_s;
    QTest::newRow("pasted LF") << true << false << u"件名\n二行目"_s;
    QTest::newRow("pasted CR LF") << true << true << u"件名\r\n二行目\r\n"_s;
    QTest::newRow("pasted NUL") << true << false << nul;
    QTest::newRow("typed LF") << false << true << u"件名\n二行目"_s;
    QTest::newRow("typed CR") << false << false << u"件名\r二行目"_s;
}

void TestQtPrompts::answersStayOneLine() {
    QFETCH(bool, paste);
    QFETCH(bool, inputBox);
    QFETCH(QString, text);
    QtPrompts prompts;
    whenModal([paste, text](QWidget *dialog) {
        QLineEdit *edit = inputEdit(dialog);
        if (paste) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else { // an input method commits the whole text at once
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(edit, &commit);
        }
        QCOMPARE(edit->text(), u"件名二行目"_s);
        clickButton(dialog, u"OK"_s);
    });
    const QString answer = inputBox
                               ? prompts.inputBox(u"c"_s, u"p"_s, QString())
                               : prompts.inputQuery(u"c"_s, u"p"_s, QString()).value_or(u"-"_s);
    QCOMPARE(answer, u"件名二行目"_s);
}

void TestQtPrompts::inputBoxCancelGivesTheInitialText() {
    QtPrompts prompts;
    whenModal([](QWidget *dialog) {
        QTest::keyClicks(inputEdit(dialog), u"typed"_s); // replaces the selected text
        QCOMPARE(inputEdit(dialog)->text(), u"typed"_s);
        clickButton(dialog, u"ｷｬﾝｾﾙ"_s);
    });
    QCOMPARE(prompts.inputBox(u"c"_s, u"p"_s, u"initial"_s), u"initial"_s);
    whenModal([](QWidget *dialog) {
        QTest::keyClicks(inputEdit(dialog), u"typed"_s);
        clickButton(dialog, u"OK"_s);
    });
    QCOMPARE(prompts.inputBox(u"c"_s, u"p"_s, QString()), u"typed"_s);
}

void TestQtPrompts::inputQueryCancelGivesNothing() {
    QtPrompts prompts;
    whenModal([](QWidget *dialog) {
        QCOMPARE(inputEdit(dialog)->text(), u"FILE.LZH"_s);
        clickButton(dialog, u"ｷｬﾝｾﾙ"_s);
    });
    QCOMPARE(prompts.inputQuery(u"ライブラリィ"_s, u"ファイル名"_s, u"FILE.LZH"_s), std::nullopt);
    whenModal([](QWidget *dialog) {
        QTest::keyClick(inputEdit(dialog), Qt::Key_Backspace); // the text starts selected
        clickButton(dialog, u"OK"_s);
    });
    QCOMPARE(prompts.inputQuery(u"c"_s, u"p"_s, u"x"_s), std::optional<QString>(QString()));
}

void TestQtPrompts::messageIsPlainAndCaptionedKirano() {
    QtPrompts prompts;
    whenModal([](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), u"Kirano"_s);
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->text(), u"保存しました"_s);
        QCOMPARE(box->buttons().size(), 1);
        // Wide enough for its title beside the window's own buttons.
        QVERIFY2(box->width() >= 260, qPrintable(QString::number(box->width())));
        QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    });
    prompts.message(u"保存しました"_s);
}

void TestQtPrompts::confirmations_data() {
    QTest::addColumn<bool>("yesNo");
    QTest::addColumn<QString>("press");
    QTest::addColumn<bool>("result");
    QTest::newRow("はい") << true << u"はい(&Y)"_s << true;
    QTest::newRow("いいえ") << true << u"いいえ(&N)"_s << false;
    QTest::newRow("OK") << false << u"OK"_s << true;
    QTest::newRow("ｷｬﾝｾﾙ") << false << u"ｷｬﾝｾﾙ"_s << false;
}

void TestQtPrompts::confirmations() {
    QFETCH(bool, yesNo);
    QFETCH(QString, press);
    QFETCH(bool, result);
    QtPrompts prompts;
    whenModal([yesNo, press](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), u"確認"_s);
        QCOMPARE(box->icon(), QMessageBox::Question);
        const QStringList expected =
            yesNo ? QStringList{u"いいえ(&N)"_s, u"はい(&Y)"_s} : QStringList{u"OK"_s, u"ｷｬﾝｾﾙ"_s};
        QCOMPARE(buttonTexts(box), expected);
        QVERIFY(box->width() >= 260);
        clickButton(box, press);
    });
    const QString text = u"/tmp/a.txt\r\n削除しますか"_s;
    QCOMPARE(yesNo ? prompts.confirmYesNo(text) : prompts.confirmOkCancel(text), result);
}

namespace {

// One use of the open dialog: the name it showed, and its answer after
// `typed` (when not null) was typed over that name and "開く" pressed, or
// after "キャンセル" was.
struct OpenUse {
    QString shown;
    std::optional<QString> chosen;
};

OpenUse useOpenDialog(QtPrompts &prompts, const OpenFileRequest &request,
                      const QString &typed = QString()) {
    OpenUse use;
    whenModal([&](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), request.title);
        auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        auto *buttons = dialog->findChild<QDialogButtonBox *>(u"buttonBox"_s);
        QVERIFY(edit && buttons);
        use.shown = edit->text();
        if (typed.isNull()) {
            QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            return;
        }
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, typed);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
    });
    use.chosen = prompts.openFile(request);
    return use;
}

} // namespace

// The name field of "開く" shows the name last chosen in "開く", never the
// folder's own name, nor a name a command's own use of the dialog chose.
void TestQtPrompts::openDialogKeepsTheNameUnlessCleared() {
    QTemporaryDir dir;
    QtPrompts prompts;
    const QString folder = dir.path() + u'/';
    const OpenFileRequest open{u"ファイルを開く"_s, folder, false};

    OpenUse first = useOpenDialog(prompts, open);
    QCOMPARE(first.shown, QString());
    QCOMPARE(first.chosen, std::nullopt);

    // A name not on disk is accepted, and shown at the next "開く".
    QCOMPARE(useOpenDialog(prompts, open, u"patrol.txt"_s).chosen,
             std::optional<QString>(folder + u"patrol.txt"_s));
    QCOMPARE(useOpenDialog(prompts, open).shown, u"patrol.txt"_s);

    const OpenFileRequest command{u"発言ファイル"_s, folder, true};
    OpenUse cleared = useOpenDialog(prompts, command, u"message.txt"_s);
    QCOMPARE(cleared.shown, QString());
    QCOMPARE(cleared.chosen, std::optional<QString>(folder + u"message.txt"_s));
    QCOMPARE(useOpenDialog(prompts, command).shown, QString());
    QCOMPARE(useOpenDialog(prompts, open).shown, u"patrol.txt"_s);
}

// Qt's shared settings may name a folder another program's file dialog
// last visited; it may hold a file that never ends (/proc/kmsg). Kirano's
// dialogs list nothing before they are shown, start in the folder they are
// given, tell file types from names without opening a file, and list or
// watch nothing once closed.
void TestQtPrompts::fileDialogsReadNoFileAndNothingWhileHidden_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("開く") << u"Open1"_s;
    QTest::newRow("環境設定") << u"N5"_s;
}

void TestQtPrompts::fileDialogsReadNoFileAndNothingWhileHidden() {
#ifndef Q_OS_LINUX
    QSKIP("the kernel's file notifications are Linux's");
#else
    QFETCH(QString, command);
    QTemporaryDir remembered;
    const QString bait = u"mine"_s; // a name that tells no type
    writeBytes(remembered.path() + u'/' + bait, "%PDF-1.4\n");
    // Where Qt keeps them: in this test run's own configuration folder.
    const QString shared = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/QtProject.conf"_s;
    QVERIFY(!shared.startsWith(QDir::homePath() + u"/.config/"_s));
    writeBytes(shared, "[FileDialog]\nlastVisited=" +
                           QUrl::fromLocalFile(remembered.path()).toEncoded() + "\n");

    FixtureOf<QtPrompts> p;
    p.writeSettings();
    writeBytes(p.folder() + bait, "%PDF-1.4\n");
    QVERIFY(QDir(p.folder()).mkdir(u"sub"_s));
    // The settings tree starts at the current folder, listing the one above.
    const QString saved = QDir::currentPath();
    QDir::setCurrent(p.folder() + u"sub"_s);
    OpenWatch inRemembered(remembered.path()), inProgram(p.folder());
    MainWindow &w = p.start();
    QTest::qWait(300);
    QCOMPARE(inRemembered.opened(), QStringList());
    QVERIFY(!inProgram.opened().contains(u"."_s));

    bool listed = false;
    whenModal([&](QWidget *dialog) {
        QFileSystemModel *model = folderModel(dialog);
        if (auto *fileDialog = qobject_cast<QFileDialog *>(dialog)) {
            QCOMPARE(fileDialog->directory().absolutePath(), p.dir.path());
            QTRY_VERIFY(listedWithItsType(model, p.dir.path(), bait));
            QCOMPARE(inRemembered.opened(), QStringList()); // not even when made
            // A folder typed into the name box is listed for completion.
            auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QTest::keyClicks(edit, remembered.path() + u'/');
            QTRY_VERIFY(listedWithItsType(model, remembered.path(), bait));
        } else { // the settings tree lists whole folders, files too
            QTRY_VERIFY(listedWithItsType(model, p.dir.path(), u"sub"_s));
        }
        listed = true;
        dialog->close();
    });
    trigger(&w, command.toLatin1().constData());
    QDir::setCurrent(saved);
    QVERIFY(listed);
    QVERIFY(!inProgram.opened().contains(bait));
    QVERIFY(!inRemembered.opened().contains(bait));

    // Closed, the dialog watches no folder: a change is never listed.
    writeBytes(p.folder() + u"later"_s, "x");
    writeBytes(remembered.path() + u"/later"_s, "x");
    QTest::qWait(300);
    QVERIFY(!inProgram.opened().contains(u"."_s));
    QVERIFY(!inRemembered.opened().contains(u"."_s));
#endif
}

// A name typed into the open dialog, completed and confirmed with Enter:
// the completion list goes with the dialog, and the next click on the main
// window is the user's, not one that only closes a pop-up left behind.
void TestQtPrompts::completionListGoesWithTheDialog() {
    FixtureOf<QtPrompts> p;
    p.writeSettings("1\r\n1\r\n1\r\n", true);
    writeBytes(p.data() + u"forumlist.txt"_s, "first\r\nF1\r\nsecond\r\nF2\r\n");
    writeBytes(p.folder() + u"mine.txt"_s, "bill\r\n0\r\n0\r\n0\r\n0\r\n" + sjis(u"月") + "\r\n");
    MainWindow &w = p.start();
    whenModal([&](QWidget *dialog) {
        QTRY_VERIFY(listedWithItsType(folderModel(dialog), p.dir.path(), u"mine.txt"_s));
        auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        QTest::mouseClick(edit, Qt::LeftButton);
        // Typed and confirmed at the window, as the keyboard delivers keys:
        // to the completion list while it is up.
        for (QChar c : u"mine.txt"_s)
            QTest::keyClick(dialog->windowHandle(), c.toLatin1());
        QTRY_VERIFY(edit->completer()->popup()->isVisible());
        for (int i = 0; i < 3 && dialog->isVisible(); ++i) {
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
            QCoreApplication::processEvents();
        }
        QVERIFY(!dialog->isVisible());
    });
    trigger(&w, "Open1");
    QCOMPARE(w.currentPatrolFile(), text::bytesOf(p.folder() + u"mine.txt"_s));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    auto *forums = w.findChild<DataListView *>(u"ListBox2"_s);
    clickRow(forums, 1);
    QCOMPARE(forums->selectedRow(), 1);
}

// Qt's own texts are Japanese, sizes and dates too, whatever the locale
// (this test runs in C.UTF-8); the titles, the filter and the buttons the
// program names stay as it gives them. The dialog opens large enough for
// a file's columns.
void TestQtPrompts::qtTextsAreJapaneseOursAsTheyAre() {
    QTemporaryDir dir;
    writeBytes(dir.filePath(u"list.txt"_s), QByteArray(3000, 'x'));
    const QDateTime written = QFileInfo(dir.filePath(u"list.txt"_s)).lastModified();
    QtPrompts prompts;
    whenModal([&](QWidget *dialog) {
        QVERIFY(dialog->width() >= 800 && dialog->height() >= 500);
        auto *files = dialog->findChild<QTreeView *>(u"treeView"_s);
        QModelIndex name;
        QTRY_VERIFY((name = files->model()
                                ->match(files->rootIndex().isValid()
                                            ? files->model()->index(0, 0, files->rootIndex())
                                            : QModelIndex(),
                                        Qt::DisplayRole, u"list.txt"_s)
                                .value(0))
                        .isValid());
        QCOMPARE(name.siblingAtColumn(1).data().toString(),
                 QLocale(QLocale::Japanese).formattedDataSize(3000));
        QCOMPARE(name.siblingAtColumn(3).data().toString(),
                 written.toString(u"yyyy/MM/dd HH:mm"_s));
        QCOMPARE(dialog->windowTitle(), u"ファイルを開く"_s);
        auto *buttons = dialog->findChild<QDialogButtonBox *>(u"buttonBox"_s);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
        QVERIFY(
            dialog->findChild<QLabel *>(u"fileNameLabel"_s)->text().startsWith(u"ファイル名"_s));
        QCOMPARE(dialog->findChild<QComboBox *>(u"fileTypeCombo"_s)->currentText(),
                 u"すべてのファイル(*.*)"_s);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    prompts.openFile({u"ファイルを開く"_s, dir.path(), false});
    whenModal([](QWidget *dialog) {
        QCOMPARE(qobject_cast<QMessageBox *>(dialog)->buttons().first()->text(), u"OK"_s);
    });
    prompts.message(u"保存しました"_s);
}

KIRANO_GUI_TEST_MAIN(TestQtPrompts)
#include "test_app_qtprompts.moc"

#include "app/inputdialog.h"
#include "app/kiranoapplication.h"
#include "app/qtprompts.h"
#include "guitestsupport.h"
#include "testmain.h"
#include "text/sjis.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

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

} // namespace

class TestQtPrompts : public QObject {
    Q_OBJECT
  private slots:
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

// The name field shows the name last chosen in the dialog, never the
// folder's own name, and nothing after a use that cleared it.
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

    OpenUse cleared = useOpenDialog(prompts, {u"ログファイル"_s, folder, true});
    QCOMPARE(cleared.shown, QString());
    QCOMPARE(cleared.chosen, std::nullopt);
    QCOMPARE(useOpenDialog(prompts, open).shown, QString());
}

KIRANO_GUI_TEST_MAIN(TestQtPrompts)
#include "test_qtprompts.moc"

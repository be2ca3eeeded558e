#include "app/inputdialog.h"
#include "app/kiranoapplication.h"
#include "app/qtprompts.h"
#include "testmain.h"
#include "text/sjis.h"

#include <QAbstractButton>
#include <QFileDialog>
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
using namespace Qt::StringLiterals;

namespace {

// Runs the action on the modal dialog as soon as it is up.
void whenModal(std::function<void(QWidget *)> action) {
    QTimer::singleShot(0, [action] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        action(QApplication::activeModalWidget());
    });
}

QStringList buttonTexts(QWidget *dialog) {
    QStringList texts;
    for (auto *b : dialog->findChildren<QPushButton *>())
        texts << b->text();
    texts.sort();
    return texts;
}

QAbstractButton *buttonWithText(QWidget *dialog, const QString &text) {
    for (auto *b : dialog->findChildren<QAbstractButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

class TestQtPrompts : public QObject {
    Q_OBJECT
  private slots:
    void inputBoxLimitsTheBytes_data();
    void inputBoxLimitsTheBytes();
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
    InputDialog dialog(u"会議室"_s, u"未読数入力"_s, QString());
    auto *edit = dialog.findChild<QLineEdit *>();
    for (QChar c : typed) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
    }
    QCOMPARE(edit->text().size(), kept);
    QCOMPARE(buttonTexts(&dialog), (QStringList{u"OK"_s, u"ｷｬﾝｾﾙ"_s}));
    QCOMPARE(dialog.windowTitle(), u"会議室"_s);
    QCOMPARE(dialog.findChild<QLabel *>()->text(), u"未読数入力"_s);
}

void TestQtPrompts::inputBoxCancelGivesTheInitialText() {
    QtPrompts prompts;
    whenModal([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>()->setText(u"typed"_s);
        buttonWithText(dialog, u"ｷｬﾝｾﾙ"_s)->click();
    });
    QCOMPARE(prompts.inputBox(u"c"_s, u"p"_s, u"initial"_s), u"initial"_s);
    whenModal([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>()->setText(u"typed"_s);
        buttonWithText(dialog, u"OK"_s)->click();
    });
    QCOMPARE(prompts.inputBox(u"c"_s, u"p"_s, QString()), u"typed"_s);
}

void TestQtPrompts::inputQueryCancelGivesNothing() {
    QtPrompts prompts;
    whenModal([](QWidget *dialog) {
        QCOMPARE(dialog->findChild<QLineEdit *>()->text(), u"FILE.LZH"_s);
        buttonWithText(dialog, u"ｷｬﾝｾﾙ"_s)->click();
    });
    QCOMPARE(prompts.inputQuery(u"ライブラリィ"_s, u"ファイル名"_s, u"FILE.LZH"_s), std::nullopt);
    whenModal([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>()->clear();
        buttonWithText(dialog, u"OK"_s)->click();
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
        box->buttons().first()->click();
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
        buttonWithText(box, press)->click();
    });
    const QString text = u"/tmp/a.txt\r\n削除しますか"_s;
    QCOMPARE(yesNo ? prompts.confirmYesNo(text) : prompts.confirmOkCancel(text), result);
}

void TestQtPrompts::openDialogKeepsTheNameUnlessCleared() {
    QTemporaryDir dir;
    QtPrompts prompts;
    const QString folder = dir.path() + u'/';
    auto pick = [](const QString &name) {
        return [name](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(fileDialog);
            auto *edit = fileDialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QVERIFY(edit);
            if (!name.isNull())
                edit->setText(name);
            QMetaObject::invokeMethod(fileDialog, "accept", Qt::QueuedConnection);
        };
    };
    whenModal(pick(u"patrol.txt"_s));
    auto chosen = prompts.openFile({u"ファイルを開く"_s, folder, false});
    QCOMPARE(chosen, std::optional<QString>(folder + u"patrol.txt"_s));

    // The next "開く" shows the same name; a name not on disk is accepted.
    whenModal([](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), u"ファイルを開く"_s);
        QCOMPARE(dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->text(), u"patrol.txt"_s);
        qobject_cast<QDialog *>(dialog)->reject();
    });
    QCOMPARE(prompts.openFile({u"ファイルを開く"_s, folder, false}), std::nullopt);

    whenModal([](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), u"ログファイル"_s);
        QCOMPARE(dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->text(), QString());
        qobject_cast<QDialog *>(dialog)->reject();
    });
    QCOMPARE(prompts.openFile({u"ログファイル"_s, folder, true}), std::nullopt);
}

KIRANO_GUI_TEST_MAIN(TestQtPrompts)
#include "test_qtprompts.moc"

// Kirano on the demo installation, used as a newcomer uses it: open the
// sample list, click a forum, look at its tabs, download from a library.

#include "app/mainwindow.h"
#include "app/program.h"
#include "autopilotharness.h"
#include "browser/datalistview.h"
#include "browser/textpane.h"
#include "guitestsupport.h"
#include "patrol/patrollistmodel.h"
#include "store/forumlist.h"
#include "testmain.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>

using namespace kirano;
using namespace kirano::testing;
using namespace Qt::StringLiterals;

class TestAutopilotDemo : public QObject {
    Q_OBJECT
  private slots:
    void demoShowsAFullBrowser() {
        DemoHarness h;
        QVERIFY(h.make());
        ScriptedPrompts prompts;
        MainWindow w(h.demo->programFolder, prompts);
        createDialogs(w, prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(prompts.asked.isEmpty()); // the settings file is there

        prompts.answer({h.demo->patrolList});
        trigger(&w, "Open1");
        QCOMPARE(w.patrolList()->size(), h.demo->report.outcomes.size());

        auto list = [&w](int n) { return w.findChild<DataListView *>(u"ListBox%1"_s.arg(n)); };
        auto click = [](QAbstractItemView *view, int row) { clickRow(view, row); };
        QCOMPARE(list(2)->model()->rowCount(), h.service.forumCount());
        const ForumRecord forum =
            readForumList(text::nativePath(h.folders.dataFolder()) + u"forumlist.txt"_s).at(2);
        const int f = h.service.forumIndex(forum.code);
        click(list(2), 2);
        QCOMPARE(list(2)->selectedRow(), 2);
        QStringList rooms;
        for (const QByteArray &row : h.service.roomRows(f))
            rooms << text::decode(row);
        QCOMPARE(rowsOf(list(4)), rooms);
        QCOMPARE(rowsOf(list(5)).size(), h.service.libraryCount(f));
        const QString date = u"     "_s + text::decode(h.whenLine());
        for (const char *panel : {"Panel3", "Panel4", "Panel5"})
            QCOMPARE(w.findChild<QLabel *>(QString::fromLatin1(panel))->text(), date);
        QVERIFY(w.findChild<TextPane *>(u"Label2"_s)
                    ->text()
                    .startsWith(text::decode(h.service.topPage(f).first())));
        click(list(4), 1);
        const QString pictures = qEnvironmentVariable("KIRANO_PICTURE_DIR", QDir::tempPath());
        QVERIFY(w.grab().save(pictures + u"/kirano-demo.png"_s));

        // The chooser lists the library's files; the one chosen is added.
        QTabBar *tabs = w.findChild<QTabWidget *>(u"PageControl1"_s)->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        click(list(5), 3);
        const QList<autopilot::LibraryFile> files = h.service.libraryFiles(f, 4);
        prompts.answer({u"5"_s, text::decode(files[5].name)});
        QCOMPARE(chooseFromMenu(list(5), 3, u"N10"_s).name, u"pop6"_s);
        QCOMPARE(prompts.chooserRows.size(), files.size());
        QCOMPARE(prompts.chooserRows.first(), files.first().row);
        QCOMPARE(prompts.chooserStatus, "    " + h.whenLine());
        const PatrolEntry added = w.patrolList()->entry(w.patrolList()->size() - 1);
        QCOMPARE(added.command, QByteArray("dldown"));
        QCOMPARE(added.param1, forum.code);
        QCOMPARE(added.param2, QByteArray("4"));
        QCOMPARE(added.param3, QByteArray::number(files[5].number));
    }

    // "開く" on the demo, in Qt's own dialog: it starts in the patrol list
    // folder and speaks Japanese. Its picture over the window is the
    // documents'.
    void openDialogOnTheDemo() {
        DemoHarness h;
        QVERIFY(h.make());
        QtPrompts prompts;
        MainWindow w(h.demo->programFolder, prompts);
        prompts.setWindow(&w);
        prompts.setChooser(createDialogs(w, prompts).chooser);
        QVERIFY(showAndWait(&w));
        clickRow(w.findChild<DataListView *>(u"ListBox2"_s), 2);
        const QString folder = QFileInfo(h.demo->patrolList).absolutePath();
        const QString name = QFileInfo(h.demo->patrolList).fileName();
        bool taken = false;
        whenModal([&](QWidget *dialog) {
            QCOMPARE(qobject_cast<QFileDialog *>(dialog)->directory().absolutePath(), folder);
            auto *model = dialog->findChild<QFileSystemModel *>();
            QTRY_COMPARE(model->index(0, 0, model->index(folder)).data().toString(), name);
            auto *buttons = dialog->findChild<QDialogButtonBox *>(u"buttonBox"_s);
            QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
            // The dialog over the window, whole: it is the larger of the two.
            const QPixmap window = w.grab();
            const QPixmap shown = dialog->grab();
            const QPoint at(60, 60);
            QPixmap picture(window.size().expandedTo(shown.size() + QSize(at.x(), at.y())));
            picture.fill(Qt::darkGray);
            QPainter painter(&picture);
            painter.drawPixmap(0, 0, window);
            painter.drawPixmap(at, shown);
            painter.end();
            const QString pictures = qEnvironmentVariable("KIRANO_PICTURE_DIR", QDir::tempPath());
            QVERIFY(picture.save(pictures + u"/kirano-open-dialog.png"_s));
            taken = true;
        });
        trigger(&w, "Open1");
        QVERIFY(taken);
    }

    void previewAndSearchOnTheDemo();
};

// A Monday's run of the demo's list, with the forums narrowed to two by
// typing: the documents' picture of the preview and the search box.
void TestAutopilotDemo::previewAndSearchOnTheDemo() {
    DemoHarness h;
    QVERIFY(h.make());
    ScriptedPrompts prompts;
    MainWindow w(h.demo->programFolder, prompts);
    createDialogs(w, prompts);
    QVERIFY(showAndWait(&w));
    prompts.answer({h.demo->patrolList});
    trigger(&w, "Open1");
    auto *box = w.findChild<QLineEdit *>(u"ListSearch"_s);
    box->setFocus();
    QInputMethodEvent typed; // Japanese comes through the input method
    typed.setCommitString(u"ン"_s);
    QApplication::sendEvent(box, &typed);
    auto *forums = w.findChild<DataListView *>(u"ListBox2"_s);
    QTRY_COMPARE(forums->model()->rowCount(), 2); // パソコン初心者, プログラミング
    clickRow(forums, 0);
    QTest::keySequence(&w, QKeySequence(Qt::Key_F7));
    QTest::keySequence(&w, QKeySequence(Qt::Key_F7));
    QCOMPARE(w.findChild<QComboBox *>(u"PreviewDay"_s)->currentText(), u"月曜日"_s);
    // The demo's list runs whole on Mondays but for one post and one patio's.
    QCOMPARE(w.findChild<QLabel *>(u"PreviewCount"_s)->text(),
             u"月曜日: %1 項目"_s.arg(w.patrolList()->size() - 2));
    auto *lsv1 = w.findChild<QTreeView *>(u"lsv1"_s);
    lsv1->scrollToBottom();
    QCoreApplication::processEvents();
    const QString pictures = qEnvironmentVariable("KIRANO_PICTURE_DIR", QDir::tempPath());
    QVERIFY(w.grab().save(pictures + u"/kirano-preview.png"_s));
}

KIRANO_GUI_TEST_MAIN(TestAutopilotDemo)
#include "test_autopilot_demo.moc"

#pragma once
// Shared helpers of the GUI tests: a temporary program folder, files written
// byte for byte, and the main window with its dialogs as the program builds it.

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/qtprompts.h"
#include "scriptedprompts.h"
#include "testfiles.h"
#include "text/sjis.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <type_traits>

namespace kirano::testing {

// Shows a top-level window and waits until it takes input.
inline bool showAndWait(QWidget *window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowExposed(window);
}

// A program folder with its settings file; the folders are absolute paths
// below it, each ending with the separator. The questions are answered by
// ScriptedPrompts, or by the user in Qt's own dialogs with QtPrompts.
template <typename Answers> struct FixtureOf {
    QTemporaryDir dir;
    Answers prompts;
    std::unique_ptr<MainWindow> window;

    QString folder() const { return dir.path() + u'/'; }
    QString settingsPath() const { return folder() + QStringLiteral(u"環境設定.txt"); }

    QString data() const { return folder() + QStringLiteral("data/"); }

    // Eleven lines: the flags, then every folder the program folder, or with
    // `dataBelow` the data folder data/ below it (which is made).
    void writeSettings(const QByteArray &flags = "1\r\n1\r\n1\r\n", bool dataBelow = false) {
        QByteArray content = flags;
        for (int i = 0; i < 8; ++i)
            content += text::bytesOf(i == 1 && dataBelow ? data() : folder()) + "\r\n";
        writeBytes(settingsPath(), content);
        if (dataBelow)
            QDir().mkpath(data());
    }
    void writeDefaultSettings() { writeSettings(); }

    // The window as the program shows it, ready for the user's input.
    MainWindow &start() {
        window = std::make_unique<MainWindow>(folder(), prompts);
        [[maybe_unused]] Dialogs dialogs = createDialogs(*window, prompts);
        if constexpr (std::is_same_v<Answers, QtPrompts>) {
            prompts.setWindow(window.get());
            prompts.setChooser(dialogs.chooser);
        }
        if (!showAndWait(window.get()))
            qWarning("the main window was not exposed");
        return *window;
    }
};

using Fixture = FixtureOf<ScriptedPrompts>;

inline QStringList rowsOf(const QAbstractItemView *view) {
    QStringList rows;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        rows << view->model()->index(r, 0).data().toString();
    return rows;
}

// What the view shows selected; read, never set, by the tests.
inline QList<int> selectedRowsOf(const QAbstractItemView *view) {
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// --- The user's hands. The GUI tests build with QTEST_QPA_MOUSE_HANDLING, so
// mouse events enter through the window system as a real mouse's do: the
// window routes them, a press grabs the mouse, a right press brings the
// context menu event.

// The centre of a row, scrolled into view as the user would scroll to it.
inline QPoint rowPoint(QAbstractItemView *view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

// A point of the view's viewport below every row.
inline QPoint belowRows(QAbstractItemView *view) {
    return QPoint(view->viewport()->width() / 2, view->viewport()->height() - 3);
}

inline void clickRow(QAbstractItemView *view, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rowPoint(view, row));
}

// Press on one row, move to another, release there.
inline void dragRows(QAbstractItemView *view, int from, int to) {
    const QPoint start = rowPoint(view, from);
    const QPoint end = view->visualRect(view->model()->index(to, 0)).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(view->viewport(), (start + end) / 2);
    QTest::mouseMove(view->viewport(), end);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, end);
}

// Press on a row and release outside the view.
inline void pressThenReleaseOutside(QAbstractItemView *view, int row) {
    const QPoint outside(view->viewport()->width() + 20, -20);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
    QTest::mouseMove(view->viewport(), outside);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, outside);
}

// The pop-up menu a right-click really opens, as {object name, item name ->
// enabled}; `inside` may act on it, and it is closed afterwards whatever
// `inside` did, so a failing check never leaves a menu waiting.
struct OpenedMenu {
    QString name;
    QMap<QString, bool> enabled;
    QRect at; // where the menu showed on the screen
    bool allEnabled() const { return !enabled.isEmpty() && !enabled.values().contains(false); }
    bool noneEnabled() const { return !enabled.isEmpty() && !enabled.values().contains(true); }
    // Opened at the point: to its lower right, or moved left or above it
    // where the screen ends.
    bool openedAt(QPoint point) const {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        return (at.left() == point.x() || at.right() == screen.right()) &&
               (at.top() == point.y() || at.bottom() + 1 == point.y());
    }
};

// The menu opens on the right press; the release then goes to the open menu,
// as a real mouse's does, and never reaches the list.
inline OpenedMenu rightClick(QWidget *widget, QPoint at,
                             const std::function<void(QMenu *)> &inside = {}) {
    OpenedMenu opened;
    const QPoint global = widget->mapToGlobal(at);
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu) {
            if (++waited > 300)
                poll.stop();
            return;
        }
        poll.stop();
        QTest::mouseRelease(menu, Qt::RightButton, {}, menu->mapFromGlobal(global));
        opened.name = menu->objectName();
        opened.at = menu->geometry();
        for (QAction *item : menu->actions()) {
            if (!item->isSeparator())
                opened.enabled.insert(item->objectName(), item->isEnabled());
        }
        if (inside)
            inside(menu);
        if (menu->isVisible())
            menu->close();
    });
    poll.start(5);
    QTest::mousePress(widget, Qt::RightButton, {}, at);
    poll.stop();
    if (opened.name.isNull())
        QTest::mouseRelease(widget, Qt::RightButton, {}, at);
    return opened;
}

// Right-click, then click the item with this object name. The menu's name
// and the items' state as they were when it opened.
inline OpenedMenu chooseFromMenu(QWidget *widget, QPoint at, const QString &item) {
    return rightClick(widget, at, [&item](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->objectName() == item && action->isEnabled())
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        }
    });
}

// The same on a list: right-click on a row, or below every row with -1.
inline QPoint listPoint(QAbstractItemView *view, int row) {
    return row < 0 ? belowRows(view) : rowPoint(view, row);
}
inline OpenedMenu chooseFromMenu(QAbstractItemView *view, int row, const QString &item) {
    return chooseFromMenu(view->viewport(), listPoint(view, row), item);
}
inline OpenedMenu rightClick(QAbstractItemView *view, int row) {
    return rightClick(view->viewport(), listPoint(view, row));
}

// Runs `press`, which opens a pop-up menu, then reports that menu as
// guitestsupport's rightClick does and clicks `item` in it when enabled. The
// menu is closed whatever happens, so a failed check never leaves it open.
inline OpenedMenu popupBy(const std::function<void()> &press, const QString &item = QString()) {
    OpenedMenu opened;
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Acted on only once the window system has made it the focus window,
        // so that no late activation of a closed menu takes the main window's.
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || QGuiApplication::focusWindow() != menu->windowHandle()) {
            if (++waited > 1000)
                poll.stop();
            return;
        }
        poll.stop();
        opened.name = menu->objectName();
        opened.at = menu->geometry();
        for (QAction *action : menu->actions()) {
            opened.enabled.insert(action->objectName(), action->isEnabled());
            if (action->objectName() == item && action->isEnabled())
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        }
        if (menu->isVisible())
            menu->close();
    });
    poll.start(5);
    press();
    if (!QTest::qWaitFor([&] { return !poll.isActive(); }, 5000))
        QTest::qFail("the pop-up was still open", __FILE__, __LINE__);
    return opened;
}

// A menu-bar or tool-bar command, by the action's object name.
inline void trigger(QWidget *window, const char *action) {
    auto *found = window->findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY2(found, action);
    found->trigger();
}

// Runs `act` on the next modal dialog as soon as it is up. If the dialog is
// still open once the events `act` queued have run, it is rejected, so that a
// failed check inside never leaves a dialog waiting and the test hanging.
// A dialog that has not come within the deadline fails the test, and one
// that comes later in the same test is rejected at once: a slow machine
// gives a slow pass or a clear failure, never a test waiting for ever.
inline void whenModal(std::function<void(QWidget *)> act, int deadlineMs = 30000) {
    auto *poll = new QTimer(qApp);
    const QDeadlineTimer deadline(deadlineMs);
    // The test this dialog belongs to; the poll ends with it.
    auto currentTest = [] {
        return QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    };
    auto late = std::make_shared<bool>(false);
    QObject::connect(
        poll, &QTimer::timeout,
        [poll, deadline, late, test = currentTest(), currentTest, act = std::move(act)] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            const bool over = currentTest() != test;
            if (!dialog && !over) {
                if (!*late && deadline.hasExpired()) {
                    *late = true;
                    QFAIL("no dialog came in time");
                }
                return;
            }
            poll->stop();
            poll->deleteLater();
            if (over)
                return;
            if (*late) {
                dialog->reject();
                return;
            }
            // Only this showing is closed: a dialog used again is
            // left alone.
            auto ended = std::make_shared<bool>(false);
            QObject::connect(
                dialog, &QDialog::finished, dialog, [ended] { *ended = true; },
                Qt::SingleShotConnection);
            act(dialog);
            QMetaObject::invokeMethod(
                dialog,
                [dialog, ended] {
                    if (!*ended && dialog->isVisible())
                        dialog->reject();
                },
                Qt::QueuedConnection);
        });
    poll->start(5);
}

} // namespace kirano::testing

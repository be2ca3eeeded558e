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
bool showAndWait(QWidget *window);

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

QStringList rowsOf(const QAbstractItemView *view);

// What the view shows selected; read, never set, by the tests.
QList<int> selectedRowsOf(const QAbstractItemView *view);

// --- The user's hands. The GUI tests build with QTEST_QPA_MOUSE_HANDLING, so
// mouse events enter through the window system as a real mouse's do: the
// window routes them, a press grabs the mouse, a right press brings the
// context menu event.

// The centre of a row, scrolled into view as the user would scroll to it.
QPoint rowPoint(QAbstractItemView *view, int row);

// A point of the view's viewport below every row.
QPoint belowRows(QAbstractItemView *view);

void clickRow(QAbstractItemView *view, int row, Qt::KeyboardModifiers modifiers = {});

// Press on one row, move to another, release there.
void dragRows(QAbstractItemView *view, int from, int to);

// Press on a row and release outside the view.
void pressThenReleaseOutside(QAbstractItemView *view, int row);

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
OpenedMenu rightClick(QWidget *widget, QPoint at, const std::function<void(QMenu *)> &inside = {});

// Right-click, then click the item with this object name. The menu's name
// and the items' state as they were when it opened.
OpenedMenu chooseFromMenu(QWidget *widget, QPoint at, const QString &item);

// The same on a list: right-click on a row, or below every row with -1.
QPoint listPoint(QAbstractItemView *view, int row);
OpenedMenu chooseFromMenu(QAbstractItemView *view, int row, const QString &item);
OpenedMenu rightClick(QAbstractItemView *view, int row);

// Runs `press`, which opens a pop-up menu, then reports that menu as
// guitestsupport's rightClick does and clicks `item` in it when enabled. The
// menu is closed whatever happens, so a failed check never leaves it open.
OpenedMenu popupBy(const std::function<void()> &press, const QString &item = QString());

// A menu-bar or tool-bar command, by the action's object name.
void trigger(QWidget *window, const char *action);

// Runs `act` on the next modal dialog as soon as it is up. If the dialog is
// still open once the events `act` queued have run, it is rejected, so that a
// failed check inside never leaves a dialog waiting and the test hanging.
// A dialog that has not come within the deadline fails the test, and one
// that comes later in the same test is rejected at once: a slow machine
// gives a slow pass or a clear failure, never a test waiting for ever.
void whenModal(std::function<void(QWidget *)> act, int deadlineMs = 30000);

} // namespace kirano::testing

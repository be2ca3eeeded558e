#include "guitestsupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace kirano::testing {

bool showAndWait(QWidget *window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowExposed(window);
}

QStringList rowsOf(const QAbstractItemView *view) {
    QStringList rows;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        rows << view->model()->index(r, 0).data().toString();
    return rows;
}

QList<int> selectedRowsOf(const QAbstractItemView *view) {
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QPoint rowPoint(QAbstractItemView *view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    // Only the part that shows: a wide cell's middle may lie past the edge.
    return (view->visualRect(index) & view->viewport()->rect()).center();
}

QPoint belowRows(QAbstractItemView *view) {
    return QPoint(view->viewport()->width() / 2, view->viewport()->height() - 3);
}

void clickRow(QAbstractItemView *view, int row, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rowPoint(view, row));
}

void dragRows(QAbstractItemView *view, int from, int to) {
    const QPoint start = rowPoint(view, from);
    const QPoint end = view->visualRect(view->model()->index(to, 0)).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(view->viewport(), (start + end) / 2);
    QTest::mouseMove(view->viewport(), end);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, end);
}

void pressThenReleaseOutside(QAbstractItemView *view, int row) {
    const QPoint outside(view->viewport()->width() + 20, -20);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
    QTest::mouseMove(view->viewport(), outside);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, outside);
}

OpenedMenu rightClick(QWidget *widget, QPoint at, const std::function<void(QMenu *)> &inside) {
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

OpenedMenu chooseFromMenu(QWidget *widget, QPoint at, const QString &item) {
    return rightClick(widget, at, [&item](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->objectName() == item && action->isEnabled())
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        }
    });
}

QPoint listPoint(QAbstractItemView *view, int row) {
    return row < 0 ? belowRows(view) : rowPoint(view, row);
}

OpenedMenu chooseFromMenu(QAbstractItemView *view, int row, const QString &item) {
    return chooseFromMenu(view->viewport(), listPoint(view, row), item);
}

OpenedMenu rightClick(QAbstractItemView *view, int row) {
    return rightClick(view->viewport(), listPoint(view, row));
}

OpenedMenu popupBy(const std::function<void()> &press, const QString &item) {
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

void trigger(QWidget *window, const char *action) {
    auto *found = window->findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY2(found, action);
    found->trigger();
}

void whenModal(std::function<void(QWidget *)> act, int deadlineMs) {
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

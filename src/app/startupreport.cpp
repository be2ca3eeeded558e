#include "app/startupreport.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>

namespace kirano {

QString startupReport(QWidget *window) {
    QString report = window->windowTitle() + u'\n';
    const auto *forums = window->findChild<QListView *>(QStringLiteral("ListBox2"));
    const QAbstractItemModel *rows = forums ? forums->model() : nullptr;
    const int count = rows ? rows->rowCount() : 0;
    report +=
        QStringLiteral("forums %1 %2\n")
            .arg(count)
            .arg(window->isVisible() && forums && forums->isVisible() ? QStringLiteral("shown")
                                                                      : QStringLiteral("hidden"));
    for (int row = 0; row < count; ++row)
        report += rows->index(row, 0).data().toString() + u'\n';
    return report;
}

bool reportStartupWhenAsked(QWidget *window) {
    const QString path = qEnvironmentVariable("KIRANO_STARTUP_REPORT");
    if (path.isEmpty())
        return false;
    // After the window is shown and the events its showing queued are done.
    QTimer::singleShot(0, window, [window, path] {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(startupReport(window).toUtf8()) < 0 ||
            !file.commit()) {
            std::fprintf(stderr, "Kirano: %s\n", qPrintable(file.errorString()));
            QCoreApplication::exit(1);
            return;
        }
        QCoreApplication::exit(0);
    });
    return true;
}

} // namespace kirano

#pragma once
// Shared helpers of the GUI tests: a temporary program folder, files written
// byte for byte, and the main window with its dialogs as the program builds it.

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "scriptedprompts.h"
#include "testfiles.h"
#include "text/sjis.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace kirano::testing {

// A program folder with its settings file; the folders are absolute paths
// below it, each ending with the separator.
struct Fixture {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<TForm1> window;

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

    TForm1 &start() {
        window = std::make_unique<TForm1>(folder(), prompts);
        createDialogs(*window, prompts);
        return *window;
    }
};

inline QStringList rowsOf(const QAbstractItemView *view) {
    QStringList rows;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        rows << view->model()->index(r, 0).data().toString();
    return rows;
}

// Opens nothing: runs the menu's "about to open" handler and tells whether
// all of its items are then enabled.
inline bool menuEnabled(QWidget *window, const char *name) {
    auto *menu = window->findChild<QMenu *>(QString::fromLatin1(name));
    emit menu->aboutToShow();
    bool all = true;
    for (QAction *item : menu->actions())
        all = all && item->isEnabled();
    return all;
}

} // namespace kirano::testing

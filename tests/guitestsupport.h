#pragma once
// Shared helpers of the GUI tests: a temporary program folder, files written
// byte for byte, and the main window with its dialogs as the program builds it.

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "scriptedprompts.h"
#include "testfiles.h"
#include "text/sjis.h"

#include <QFile>
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

    // Eleven lines: flags on, every folder the program folder.
    void writeDefaultSettings() {
        QByteArray content("1\r\n1\r\n1\r\n");
        for (int i = 0; i < 8; ++i)
            content += text::bytesOf(folder()) + "\r\n";
        writeBytes(settingsPath(), content);
    }

    TForm1 &start() {
        window = std::make_unique<TForm1>(folder(), prompts);
        createDialogs(*window, prompts);
        return *window;
    }
};

} // namespace kirano::testing

#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/qtprompts.h"

#include <QDir>
#include <cstdio>
#include <memory>

namespace {

// Qt aborts when it finds no display; say so plainly instead.
bool displayAvailable() {
#if defined(Q_OS_LINUX)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char **argv) {
    if (!displayAvailable()) {
        std::fputs("Kirano: 画面がありません (DISPLAY が設定されていません)。"
                   "デスクトップの中で起動してください。\n",
                   stderr);
        return 2;
    }
    kirano::KiranoApplication app(argc, argv);
    kirano::QtPrompts prompts;
    std::unique_ptr<kirano::MainWindow> window;
    try {
        window = std::make_unique<kirano::MainWindow>(
            QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/', prompts);
        prompts.setWindow(window.get());
        kirano::Dialogs dialogs = kirano::createDialogs(*window, prompts);
        prompts.setChooser(dialogs.chooser);
    } catch (...) {
        // Without its window the program cannot go on; it says why and ends.
        kirano::KiranoApplication::reportCurrentError();
        return 1;
    }
    window->show();
    return app.exec();
}

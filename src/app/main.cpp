#include "app/kiranoapplication.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/qtprompts.h"
#include "app/startupreport.h"
#include "store/settingsfile.h"
#include "version.h"

#include <QDir>
#include <QMutex>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Qt ends the process (abort, status 134, a paragraph of English) when its
// window system cannot start: no display, or one that is set but cannot be
// reached. While the application is made, Qt's messages are held back; a
// fatal one means there is no screen to use, and the program says so in one
// line and ends with status 2. Otherwise the held messages go out as usual.
class WindowSystemStart {
  public:
    WindowSystemStart() { previous_ = qInstallMessageHandler(&WindowSystemStart::hold); }
    ~WindowSystemStart() {
        qInstallMessageHandler(previous_);
        const QMutexLocker lock(&mutex_);
        for (const Held &message : held_) {
            const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
            qt_message_output(message.type, context, message.text);
        }
        held_.clear();
    }

  private:
    struct Held {
        QtMsgType type;
        QByteArray category;
        QString text;
    };

    static void hold(QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type == QtFatalMsg) {
            std::fputs("Kirano: 画面に接続できません。デスクトップの中で起動してください。\n",
                       stderr);
            std::fflush(stderr);
            std::_Exit(2);
        }
        // The window system may start threads of its own that report too.
        const QMutexLocker lock(&mutex_);
        held_.push_back({type, QByteArray(context.category), text});
    }

    QtMessageHandler previous_ = nullptr;
    static inline QMutex mutex_;
    static inline std::vector<Held> held_;
};

QString usage() {
    return QStringLiteral(u"使い方:\n"
                          u"  kirano                     巡回リストを編集する窓を開きます\n"
                          u"  kirano --help | --version\n"
                          u"設定ファイル:\n") +
           kirano::settingsRuleText();
}

// --help and --version are answered on standard output before any window
// system is asked for, so that they work without a display; with anything
// beside them the command line is refused. Any other command line starts
// the program as always.
std::optional<int> answerCommandLine(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QStringList answered{QStringLiteral("-h"), QStringLiteral("--help"),
                               QStringLiteral("--version")};
    const auto asked = std::find_if(arguments.cbegin(), arguments.cend(),
                                    [&](const QString &a) { return answered.contains(a); });
    if (asked == arguments.cend())
        return std::nullopt;
    if (arguments.size() > 1) {
        const QString extra = arguments.at(asked == arguments.cbegin() ? 1 : 0);
        QTextStream(stderr) << QStringLiteral(u"引数 %1 は使えません").arg(extra) << u'\n'
                            << usage() << Qt::endl;
        return 2;
    }
    QTextStream out(stdout);
    if (*asked == u"--version")
        out << QStringLiteral("kirano " KIRANO_VERSION) << Qt::endl;
    else
        out << usage() << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    std::unique_ptr<kirano::KiranoApplication> app;
    {
        WindowSystemStart start;
        app = std::make_unique<kirano::KiranoApplication>(argc, argv);
    }
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
    // A list a killed Kirano left unsaved is offered back over the window
    // (not while only reporting what the window shows).
    if (!kirano::reportStartupWhenAsked(window.get()))
        QTimer::singleShot(0, window.get(), [w = window.get()] { w->offerRecovery(); });
    return app->exec();
}

#pragma once
#include <QApplication>
#include <QTranslator>
#include <functional>

namespace kirano {

inline const QString kAppTitle = QStringLiteral("Kirano");

// The application with the general error report: an error that escapes an
// event handler is shown in a message box and the program goes on. Qt's own
// texts (file dialogs, standard buttons, edit menus) are Japanese, like every
// other word of the program, whatever the user's locale.
class KiranoApplication : public QApplication {
  public:
    KiranoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Tests replace the message box.
    void setErrorReporter(std::function<void(const QString &)> reporter);

    // Called inside a catch block: reports the error being handled the same
    // way, so that one thrown during start-up, before the event loop, is
    // shown like one from an event handler.
    static void reportCurrentError();

  private:
    void report(const QString &text);
    std::function<void(const QString &)> reporter_;
    QTranslator qtTexts_;
};

} // namespace kirano

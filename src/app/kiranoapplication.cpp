#include "app/kiranoapplication.h"

#include <QMessageBox>
#include <exception>

namespace kirano {

KiranoApplication::KiranoApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(kAppTitle);
}

bool KiranoApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral(u"不明なエラーが発生しました"));
    }
    return false;
}

void KiranoApplication::setErrorReporter(std::function<void(const QString &)> reporter) {
    reporter_ = std::move(reporter);
}

void KiranoApplication::report(const QString &text) {
    if (reporter_) {
        reporter_(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok);
    box.exec();
}

} // namespace kirano

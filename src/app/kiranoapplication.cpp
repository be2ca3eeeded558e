#include "app/kiranoapplication.h"
#include "text/files.h"

#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <exception>
#include <new>

namespace kirano {

KiranoApplication::KiranoApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(kAppTitle);
    // Qt's own file dialogs everywhere, so that title, folder, filter,
    // remembered name and silent replacing behave alike on every desktop.
    setAttribute(Qt::AA_DontUseNativeDialogs);
    text::reportSizeLimitsAsErrors();
    // Kirano keeps nothing between runs but its own files. Qt's file dialogs
    // would start from the folder the user's shared Qt settings
    // (QtProject.conf) remember, listing it as they are made, and write their
    // last folder back for every Qt program: one save tried in /proc, and
    // each later start lists /proc. Their settings live in a folder inside
    // the executable file, which can never be made: nothing is read and
    // nothing written.
    const QString nowhere = applicationFilePath() + QStringLiteral("/no-settings");
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, nowhere);
        QSettings::setPath(format, QSettings::SystemScope, nowhere);
    }
    // Numbers, dates and file types in Qt's dialogs, as the rest.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // The desktop's icon, in every size it is drawn at, on every window.
    QIcon icon;
    const QString icons = QStringLiteral(":/kirano");
    for (const QString &size : QDir(icons).entryList(QDir::Dirs))
        icon.addFile(icons + u'/' + size + QStringLiteral("/apps/kirano.png"));
    setWindowIcon(icon);
    // Without the translations installed Qt's texts stay English; the
    // program's own texts never depend on them.
    if (qtTexts_.load(QStringLiteral("qtbase_ja"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTexts_);
}

namespace {

QString currentErrorText() {
    try {
        throw;
    } catch (const std::bad_alloc &) {
        return QStringLiteral(u"メモリが不足しています");
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral(u"不明なエラーが発生しました");
    }
}

} // namespace

bool KiranoApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        report(currentErrorText());
    }
    return false;
}

void KiranoApplication::reportCurrentError() {
    const QString text = currentErrorText();
    if (auto *app = dynamic_cast<KiranoApplication *>(QCoreApplication::instance())) {
        app->report(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok);
    box.exec();
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

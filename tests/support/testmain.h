#pragma once
// Test entry points: offscreen platform unless another is asked for, Qt's
// own dialogs, and a configuration folder of the run's own.

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace kirano::testing {

// Qt's file dialogs keep their history and last folder in the user's shared
// Qt settings (QtProject.conf), and Kirano keeps its recovery copies in the
// user's data folder. Each run keeps its own of both, in a folder that goes
// with it, so that running the tests changes nothing of the user's; and no
// folder a user's program remembered, nor a list a user left unsaved,
// reaches a test.
class OwnConfiguration {
  public:
    OwnConfiguration() {
        if (!folder_.isValid())
            qFatal("no folder for the tests' configuration");
        for (const auto &[variable, name] :
             {std::pair("XDG_CONFIG_HOME", "config"), std::pair("XDG_DATA_HOME", "data")}) {
            const QString path = folder_.filePath(QString::fromLatin1(name));
            QDir().mkpath(path);
            qputenv(variable, QFile::encodeName(path));
        }
    }

  private:
    QTemporaryDir folder_;
};

} // namespace kirano::testing

#define KIRANO_CORE_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char **argv) {                                                              \
        kirano::testing::OwnConfiguration configuration;                                           \
        QCoreApplication app(argc, argv);                                                          \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#define KIRANO_GUI_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char **argv) {                                                              \
        kirano::testing::OwnConfiguration configuration;                                           \
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty()                            \
                                       ? QByteArray("offscreen")                                   \
                                       : qgetenv("QT_QPA_PLATFORM"));                              \
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                               \
        kirano::KiranoApplication app(argc, argv);                                                 \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

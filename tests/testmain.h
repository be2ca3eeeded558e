#pragma once
// Test entry points: offscreen platform, Qt's own dialogs, the Japanese fonts.

#include <QCoreApplication>
#include <QTest>

#define KIRANO_CORE_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char **argv) {                                                              \
        QCoreApplication app(argc, argv);                                                          \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#define KIRANO_GUI_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char **argv) {                                                              \
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty()                            \
                                       ? QByteArray("offscreen")                                   \
                                       : qgetenv("QT_QPA_PLATFORM"));                              \
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                               \
        kirano::KiranoApplication app(argc, argv);                                                 \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

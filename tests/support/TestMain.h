#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

// Headless set-up shared by the window tests: offscreen platform, a private runtime folder, and
// Chromium's sandbox off when the tests run as root (it refuses to start otherwise).
inline void prepareHeadlessEnvironment(QTemporaryDir& runtimeDir)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// A timer's tick, as its event loop would deliver it.
inline void tick(QObject* timer)
{
    QMetaObject::invokeMethod(timer, "timeout");
}

// Where a real key press goes: the focus widget, else the active window.
inline QWidget* keyTarget()
{
    return QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                  : QApplication::activeWindow();
}

#define SKYVANE_TEST_MAIN(TestObject)                                                                        \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        QTemporaryDir runtimeDir;                                                                            \
        prepareHeadlessEnvironment(runtimeDir);                                                              \
        QApplication app(argc, argv);                                                                        \
        Q_INIT_RESOURCE(shipped);                                                                            \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

#include "app/SessionCloser.h"

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}
} // namespace
#endif

SessionCloser::SessionCloser(QWidget* mainWindow, QObject* parent) : QObject(parent), m_mainWindow(mainWindow)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { sessionEnding(); });
    }
#ifdef Q_OS_UNIX
    if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &byte, 1);
            closeMainWindow();
        });
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
            ::sigaction(sig, &action, nullptr);
        }
    }
#endif
}

SessionCloser::~SessionCloser()
{
#ifdef Q_OS_UNIX
    if (m_notifier != nullptr) {
        for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
            ::signal(sig, SIG_DFL);
        }
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
#endif
}

void SessionCloser::sessionEnding()
{
    closeMainWindow();
}

void SessionCloser::closeMainWindow()
{
    if (!m_ending) {
        m_ending = true;
        endStep();
    }
}

// A cancelled dialog's caller goes on only once the dialog's own event loop has been left, and may
// open another: so each step runs from the event loop, until none is open and the window can close.
void SessionCloser::endStep()
{
    if (++m_steps > MaxSteps) {
        QCoreApplication::exit(0); // leaves every event loop, nested ones included
        return;
    }
    QWidget* open = QApplication::activePopupWidget();
    if (open == nullptr) {
        open = QApplication::activeModalWidget();
    }
    if (open != nullptr) {
        if (auto* dialog = qobject_cast<QDialog*>(open)) {
            dialog->reject();
        } else {
            open->close();
        }
        QTimer::singleShot(0, this, &SessionCloser::endStep);
        return;
    }
    if (!m_mainWindow.isNull()) {
        m_mainWindow->close();
    }
}

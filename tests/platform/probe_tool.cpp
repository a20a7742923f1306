// Asks the real connection probe once and prints what it says, for the NetworkManager mock test; or
// prints "woke" at each wake-up the sleep watcher reports, for the logind mock test.
//
//   probe_tool --print-state | --autodial | --watch-sleep

#include "platform/NetworkConnectionProbe.h"
#include "platform/SleepWatcher.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// "ready" once the watcher listens, then "woke" at each wake-up, for two seconds.
int watchSleep(QCoreApplication& app)
{
    SleepWatcher watcher;
    QObject::connect(&watcher, &SleepWatcher::woke, [] {
        std::puts("woke");
        std::fflush(stdout);
    });
    // The bus answers in order: by this answer it has the watcher's match rule.
    if (QDBusConnectionInterface* bus = QDBusConnection::systemBus().interface()) {
        bus->isServiceRegistered(QStringLiteral("org.freedesktop.login1"));
    }
    std::puts("ready");
    std::fflush(stdout);
    QTimer::singleShot(2000, &app, &QCoreApplication::quit);
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--watch-sleep") == 0) {
        return watchSleep(app);
    }
    NetworkConnectionProbe probe;
    if (argc > 1 && std::strcmp(argv[1], "--autodial") == 0) {
        const QString failure = probe.autodial();
        std::puts(failure.isEmpty() ? "dialled" : qPrintable(QStringLiteral("not dialled: ") + failure));
        return 0;
    }
    const ConnectionProbe::State s = probe.query();
    std::printf("backend=%s connected=%d modem=%d\n", qPrintable(probe.backendName()), s.connected ? 1 : 0,
                s.viaModem ? 1 : 0);
    return 0;
}

#include "platform/SystemdServiceManager.h"

#include <QByteArray>

#ifdef SKYVANE_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

namespace {

void send(const QByteArray& state)
{
#ifdef SKYVANE_HAVE_SYSTEMD
    sd_notify(0, state.constData());
#else
    Q_UNUSED(state);
#endif
}

} // namespace

SystemdServiceManager::SystemdServiceManager()
{
#ifdef SKYVANE_HAVE_SYSTEMD
    m_supervised = !qEnvironmentVariableIsEmpty("NOTIFY_SOCKET");
    uint64_t usec = 0;
    if (m_supervised && sd_watchdog_enabled(0, &usec) > 0) {
        m_watchdogMs = qint64(qMin<uint64_t>(usec / 1000, uint64_t(24) * 3600 * 1000));
    }
#endif
}

void SystemdServiceManager::ready()
{
    if (m_supervised) {
        send("READY=1");
    }
}

void SystemdServiceManager::alive()
{
    if (m_watchdogMs > 0) {
        send("WATCHDOG=1");
    }
}

void SystemdServiceManager::status(const QString& text)
{
    if (m_supervised) {
        // One line: the protocol's fields are separated by newlines.
        QString line = text.left(200);
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        send("STATUS=" + line.toUtf8());
    }
}

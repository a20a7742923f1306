#include "platform/SystemdServiceManager.h"

#include <QString>

#ifdef SKYVANE_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

SystemdServiceManager::SystemdServiceManager()
{
#ifdef SKYVANE_HAVE_SYSTEMD
    uint64_t usec = 0;
    if (sd_watchdog_enabled(1, &usec) > 0) { // 1: WATCHDOG_USEC and WATCHDOG_PID are for this program alone
        m_watchdogMs = qint64(qMin<uint64_t>(usec / 1000, uint64_t(24) * 3600 * 1000));
    }
    m_socket = qgetenv("NOTIFY_SOCKET");
    if (m_socket.size() >= qsizetype(sizeof(sockaddr_un::sun_path)) ||
        !(m_socket.startsWith('/') || m_socket.startsWith('@'))) {
        m_socket.clear(); // no socket this program can reach
        m_watchdogMs = 0;
    }
    qunsetenv("NOTIFY_SOCKET");
#endif
}

// What sd_notify() sends, to the socket kept from the environment.
void SystemdServiceManager::send(const QByteArray& state) const
{
#ifdef SKYVANE_HAVE_SYSTEMD
    if (m_socket.isEmpty()) {
        return;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, m_socket.constData(), size_t(m_socket.size()));
    if (address.sun_path[0] == '@') {
        address.sun_path[0] = '\0';
    }
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    // A manager that is gone or slow loses the message; the window never waits for it.
    ::sendto(fd, state.constData(), size_t(state.size()), MSG_NOSIGNAL | MSG_DONTWAIT,
             reinterpret_cast<const sockaddr*>(&address),
             socklen_t(offsetof(sockaddr_un, sun_path) + size_t(m_socket.size())));
    ::close(fd);
#else
    Q_UNUSED(state);
#endif
}

void SystemdServiceManager::ready()
{
    send("READY=1");
}

void SystemdServiceManager::alive()
{
    if (m_watchdogMs > 0) {
        send("WATCHDOG=1");
    }
}

void SystemdServiceManager::status(const QString& text)
{
    // One line: the protocol's fields are separated by newlines.
    QString line = text.left(200);
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    send("STATUS=" + line.toUtf8());
}

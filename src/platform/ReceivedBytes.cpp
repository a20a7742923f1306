#include "platform/ReceivedBytes.h"

#ifdef Q_OS_LINUX
#include <QDir>

#include <cstddef>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

qint64 ReceivedBytes::total()
{
#ifdef Q_OS_LINUX
    qint64 sum = 0;
    const QStringList fds =
        QDir(QStringLiteral("/proc/self/fd"))
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : fds) {
        bool number = false;
        const int fd = name.toInt(&number);
        tcp_info info{};
        socklen_t length = sizeof info;
        // Not a TCP socket, or one closed meanwhile: the call fails and it is passed over.
        if (number && ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) == 0 &&
            length >= offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received) {
            sum += qint64(info.tcpi_bytes_received);
        }
    }
    return sum;
#else
    return -1;
#endif
}

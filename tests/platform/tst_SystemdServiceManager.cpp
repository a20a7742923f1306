#include "platform/SystemdServiceManager.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The notification socket, a path or an abstract one, is the program's alone once it is read.
class TestSystemdServiceManager : public QObject
{
    Q_OBJECT
private slots:
    void notifiesAndKeepsTheSocketToItself()
    {
        QTemporaryDir dir;
        for (const QByteArray& name : {dir.filePath(QStringLiteral("notify")).toLocal8Bit(),
                                       QByteArray("@skyvane-test-") + QByteArray::number(::getpid())}) {
            const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
            if (name.startsWith('@')) {
                address.sun_path[0] = '\0';
            }
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address),
                            socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()))),
                     0);
            qputenv("NOTIFY_SOCKET", name);
            qputenv("WATCHDOG_USEC", "20000000");
            qputenv("WATCHDOG_PID", QByteArray::number(::getpid()));
            SystemdServiceManager manager;
            QVERIFY(qgetenv("NOTIFY_SOCKET").isEmpty() && qgetenv("WATCHDOG_USEC").isEmpty());
            QVERIFY(manager.supervised());
            QCOMPARE(manager.watchdogMs(), 20000);
            manager.ready();
            manager.alive();
            manager.status(QStringLiteral("14:20 picture,\nrefreshing"));
            QByteArrayList heard;
            for (int i = 0; i < 3; ++i) {
                char buffer[256];
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                heard.append(n > 0 ? QByteArray(buffer, int(n)) : QByteArray());
            }
            QCOMPARE(heard, (QByteArrayList{"READY=1", "WATCHDOG=1", "STATUS=14:20 picture, refreshing"}));
            ::close(fd);
        }
        SystemdServiceManager unsupervised; // the environment holds no socket any more
        QVERIFY(!unsupervised.supervised() && unsupervised.watchdogMs() == 0);
    }
};

QTEST_GUILESS_MAIN(TestSystemdServiceManager)
#include "tst_SystemdServiceManager.moc"

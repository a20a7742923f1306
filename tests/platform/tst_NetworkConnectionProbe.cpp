#include "NetworkConnectionProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <unistd.h>

// The real probe. Inside a fresh network namespace (only a loopback interface, down) it must say
// "not connected"; the test runs itself there through unshare when it runs as root.
class TestNetworkConnectionProbe : public QObject
{
    Q_OBJECT
private slots:
    void notConnectedInAnEmptyNetworkNamespace()
    {
        if (::geteuid() != 0) {
            QSKIP("needs root to make a network namespace with unshare -n");
        }
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty()) {
            QSKIP("unshare (util-linux) is not installed");
        }
        QProcess p;
        p.start(unshare, {QStringLiteral("-n"), QCoreApplication::applicationFilePath(),
                          QStringLiteral("--print-state")});
        QVERIFY(p.waitForFinished(30000));
        const QByteArray out = p.readAllStandardOutput().trimmed();
        if (p.exitCode() != 0 && out.isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("unshare -n is not allowed here: ") +
                             QString::fromLocal8Bit(p.readAllStandardError())));
        }
        QCOMPARE(out, QByteArray("connected=0 modem=0 interfaces=0"));
    }

    void autodialReturnsPromptly()
    {
        NetworkConnectionProbe probe;
        QElapsedTimer t;
        t.start();
        probe.autodial();
        QVERIFY2(t.elapsed() < 10000, "autodial must not hold the window");
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--print-state") == 0) {
        NetworkConnectionProbe probe;
        const ConnectionProbe::State s = probe.query();
        const ConnectionProbe::State fromInterfaces = NetworkConnectionProbe::stateFromInterfaces();
        std::printf("connected=%d modem=%d interfaces=%d\n", s.connected ? 1 : 0, s.viaModem ? 1 : 0,
                    fromInterfaces.connected ? 1 : 0);
        return 0;
    }
    TestNetworkConnectionProbe tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_NetworkConnectionProbe.moc"

#include "platform/NetworkConnectionProbe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

const QString kNm = QStringLiteral("org.freedesktop.NetworkManager");
const QString kNmPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
// Debian's own Python, which has python3-dbusmock (a pyenv python3 earlier on PATH does not).
const QString kPython = QStringLiteral("/usr/bin/python3");

// One method of a mock object: name, in and out signatures, and its Python code.
struct MockMethod
{
    QString name, in, out, code;
};

QDBusArgument& operator<<(QDBusArgument& a, const MockMethod& m)
{
    a.beginStructure();
    a << m.name << m.in << m.out << m.code;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, MockMethod& m)
{
    a.beginStructure();
    a >> m.name >> m.in >> m.out >> m.code;
    a.endStructure();
    return a;
}

} // namespace

Q_DECLARE_METATYPE(MockMethod)

// The real probe, against a NetworkManager mock on a bus of the test's own (never the machine's
// system bus), and in an empty network namespace.
class TestNetworkConnectionProbe : public QObject
{
    Q_OBJECT

    QProcess m_bus;
    QProcess m_mock;
    QString m_address;

    // Runs this test program as the probe, on the given system bus, and returns what it says.
    QByteArray runProbe(const QString& mode, const QString& systemBus, const QString& wrapper = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), systemBus);
        p.setProcessEnvironment(env);
        QStringList args{QCoreApplication::applicationFilePath(), mode};
        if (wrapper.isEmpty()) {
            p.start(args.takeFirst(), args);
        } else {
            p.start(wrapper, QStringList{QStringLiteral("-n")} + args);
        }
        p.waitForFinished(30000);
        return p.readAllStandardOutput().trimmed();
    }

    QDBusConnection bus() const { return QDBusConnection(QStringLiteral("mock-system-bus")); }

    QDBusMessage mockCall(const QString& path, const QString& method, const QVariantList& args)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kNm, path, kMock, method);
        m.setArguments(args);
        return bus().call(m, QDBus::Block, 5000);
    }

    void setState(uint state, uint connectivity)
    {
        QVERIFY(mockCall(kNmPath, QStringLiteral("SetGlobalConnectionState"), {state}).type() !=
                QDBusMessage::ErrorMessage);
        QVERIFY(mockCall(kNmPath, QStringLiteral("SetConnectivity"), {connectivity}).type() !=
                QDBusMessage::ErrorMessage);
    }

    void setPrimaryConnection(const QString& activePath)
    {
        const QVariant value =
            QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusObjectPath(activePath))));
        QDBusMessage r = mockCall(kNmPath, QStringLiteral("SetProperty"),
                                  {kNmPath, kNm, QStringLiteral("PrimaryConnection"), value});
        if (r.type() == QDBusMessage::ErrorMessage) { // the template starts without one
            r = mockCall(kNmPath, QStringLiteral("AddProperty"),
                         {kNm, QStringLiteral("PrimaryConnection"), value});
        }
        QVERIFY2(r.type() != QDBusMessage::ErrorMessage, qPrintable(r.errorMessage()));
    }

    // An active connection over one device of the given NetworkManager device type.
    void addConnectionOver(const QString& name, uint deviceType)
    {
        const QString device = QStringLiteral("/org/freedesktop/NetworkManager/Devices/") + name;
        const QString active = QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/") + name;
        QVariantMap deviceProps{{QStringLiteral("DeviceType"), deviceType}, {QStringLiteral("State"), 100u}};
        QVariantMap activeProps{
            {QStringLiteral("Devices"), QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath(device)})},
            {QStringLiteral("State"), 2u}};
        for (const auto& [path, iface, props] :
             {std::tuple{device, kNm + QStringLiteral(".Device"), deviceProps},
              std::tuple{active, kNm + QStringLiteral(".Connection.Active"), activeProps}}) {
            const QDBusMessage r = mockCall(kNmPath, QStringLiteral("AddObject"),
                                            {path, iface, props, QVariant::fromValue(QList<MockMethod>{})});
            QVERIFY2(r.type() != QDBusMessage::ErrorMessage, qPrintable(r.errorMessage()));
        }
        setPrimaryConnection(active);
    }

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<MockMethod>();
        qDBusRegisterMetaType<QList<MockMethod>>();
        if (QProcess::execute(kPython, {QStringLiteral("-c"), QStringLiteral("import dbusmock")}) != 0 ||
            QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            QSKIP("needs dbus-daemon and python3-dbusmock");
        }
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                    QStringLiteral("--print-address")});
        QVERIFY(m_bus.waitForReadyRead(10000));
        m_address = QString::fromLocal8Bit(m_bus.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
        m_mock.setProcessEnvironment(env);
        m_mock.start(kPython, {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                               QStringLiteral("--template"), QStringLiteral("networkmanager")});
        QVERIFY(m_mock.waitForStarted());
        QDBusConnection c = QDBusConnection::connectToBus(m_address, QStringLiteral("mock-system-bus"));
        QVERIFY(c.isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(c.interface()->isServiceRegistered(kNm).value(), 15000);
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("mock-system-bus"));
        for (QProcess* p : {&m_mock, &m_bus}) {
            p->terminate();
            p->waitForFinished(5000);
        }
    }

    void stateFromNetworkManager()
    {
        setState(70, 4); // connected, full connectivity
        QCOMPARE(runProbe(QStringLiteral("--print-state"), m_address),
                 QByteArray("backend=networkmanager connected=1 modem=0"));
        addConnectionOver(QStringLiteral("wired"), 1); // ethernet
        QCOMPARE(runProbe(QStringLiteral("--print-state"), m_address),
                 QByteArray("backend=networkmanager connected=1 modem=0"));
        addConnectionOver(QStringLiteral("modem"), 8); // a modem: the dial-up bit
        QCOMPARE(runProbe(QStringLiteral("--print-state"), m_address),
                 QByteArray("backend=networkmanager connected=1 modem=1"));
        setState(20, 1); // disconnected
        QCOMPARE(runProbe(QStringLiteral("--print-state"), m_address),
                 QByteArray("backend=networkmanager connected=0 modem=0"));
    }

    void autodialAsksNetworkManager()
    {
        mockCall(kNmPath, QStringLiteral("ClearCalls"), {});
        QCOMPARE(runProbe(QStringLiteral("--autodial"), m_address), QByteArray("dialled"));
        for (const char* method : {"Enable", "ActivateConnection"}) {
            const QDBusMessage calls =
                mockCall(kNmPath, QStringLiteral("GetMethodCalls"), {QString::fromLatin1(method)});
            QVERIFY2(calls.type() != QDBusMessage::ErrorMessage, qPrintable(calls.errorMessage()));
            QVERIFY2(
                !calls.arguments().isEmpty() &&
                    !qdbus_cast<QVariantList>(calls.arguments().first().value<QDBusArgument>()).isEmpty(),
                method);
        }
    }

    void notConnectedInAnEmptyNetworkNamespace()
    {
        if (::geteuid() != 0) {
            QSKIP("needs root to make a network namespace with unshare -n");
        }
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty()) {
            QSKIP("unshare (util-linux) is not installed");
        }
        // No system bus there either: the interfaces alone answer.
        const QByteArray out =
            runProbe(QStringLiteral("--print-state"), QStringLiteral("unix:path=/nonexistent"), unshare);
        if (out.isEmpty()) {
            QSKIP("unshare -n is not allowed here");
        }
        QVERIFY2(out.endsWith("connected=0 modem=0"), out.constData());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--print-state") == 0) {
        NetworkConnectionProbe probe;
        const ConnectionProbe::State s = probe.query();
        std::printf("backend=%s connected=%d modem=%d\n", qPrintable(probe.backendName()),
                    s.connected ? 1 : 0, s.viaModem ? 1 : 0);
        return 0;
    }
    if (argc > 1 && qstrcmp(argv[1], "--autodial") == 0) {
        NetworkConnectionProbe probe;
        std::printf(probe.autodial() ? "dialled\n" : "nothing to dial\n");
        return 0;
    }
    TestNetworkConnectionProbe tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_NetworkConnectionProbe.moc"

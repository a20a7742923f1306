#include "platform/NetworkConnectionProbe.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString NmService = QStringLiteral("org.freedesktop.NetworkManager");
const QString NmPath = QStringLiteral("/org/freedesktop/NetworkManager");
constexpr int DbusTimeoutMs = 3000;
constexpr int QueryTimeoutMs = 500; // the poll runs on the window's thread

bool anyUpPppLink()
{
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : all) {
        const auto flags = i.flags();
        if (i.type() == QNetworkInterface::Ppp && flags.testFlag(QNetworkInterface::IsUp) &&
            flags.testFlag(QNetworkInterface::IsRunning)) {
            return true;
        }
    }
    return false;
}

QVariant networkManagerProperty(const QString& path, const QString& interface, const QString& name)
{
    QDBusInterface properties(NmService, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                              QDBusConnection::systemBus());
    properties.setTimeout(QueryTimeoutMs);
    const QDBusMessage reply = properties.call(QStringLiteral("Get"), interface, name);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().first().value<QDBusVariant>().variant();
}

// NetworkManager's primary connection ("/" or empty when there is none).
QString primaryConnection()
{
    return networkManagerProperty(NmPath, NmService, QStringLiteral("PrimaryConnection"))
        .value<QDBusObjectPath>()
        .path();
}

// Whether this active connection runs over a modem (a mobile or dial-up link).
bool runsOverModem(const QString& activeConnection)
{
    constexpr uint DeviceTypeModem = 8;
    if (activeConnection.isEmpty() || activeConnection == QLatin1String("/")) {
        return false;
    }
    const QVariant devices = networkManagerProperty(
        activeConnection, NmService + QStringLiteral(".Connection.Active"), QStringLiteral("Devices"));
    const auto paths = qdbus_cast<QList<QDBusObjectPath>>(devices.value<QDBusArgument>());
    for (const QDBusObjectPath& device : paths) {
        if (networkManagerProperty(device.path(), NmService + QStringLiteral(".Device"),
                                   QStringLiteral("DeviceType"))
                .toUInt() == DeviceTypeModem) {
            return true;
        }
    }
    return false;
}

bool openDesktopNetworkSettings()
{
    const QList<QStringList> candidates = {
        {QStringLiteral("nm-connection-editor")},
        {QStringLiteral("gnome-control-center"), QStringLiteral("network")},
        {QStringLiteral("systemsettings"), QStringLiteral("kcm_networkmanagement")},
        {QStringLiteral("xfce4-settings-manager")},
    };
    for (const QStringList& c : candidates) {
        const QString program = QStandardPaths::findExecutable(c.first());
        if (!program.isEmpty() && QProcess::startDetached(program, c.mid(1))) {
            return true;
        }
    }
    return false;
}

} // namespace

// The backend is loaded at the first question, once the window is up: it takes a few milliseconds
// that the start page is better given.
void NetworkConnectionProbe::loadBackend()
{
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    if (QNetworkInformation::instance() == nullptr) {
        if (!QNetworkInformation::loadBackendByName(QStringLiteral("networkmanager"))) {
            QNetworkInformation::loadBackendByName(QStringLiteral("glib"));
        }
    }
    if (const QNetworkInformation* info = QNetworkInformation::instance()) {
        m_backend = info->backendName();
    }
}

ConnectionProbe::State NetworkConnectionProbe::stateFromInterfaces()
{
    State s;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : all) {
        const auto flags = i.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack) || i.addressEntries().isEmpty()) {
            continue;
        }
        s.connected = true;
        s.viaModem = s.viaModem || i.type() == QNetworkInterface::Ppp;
    }
    return s;
}

QString NetworkConnectionProbe::backendName()
{
    loadBackend();
    return m_backend;
}

ConnectionProbe::State NetworkConnectionProbe::query()
{
    loadBackend();
    const QNetworkInformation* info = QNetworkInformation::instance();
    if (info == nullptr) {
        return stateFromInterfaces();
    }
    State s;
    s.connected = info->reachability() == QNetworkInformation::Reachability::Online;
    s.viaModem =
        s.connected &&
        (info->transportMedium() == QNetworkInformation::TransportMedium::Cellular || anyUpPppLink() ||
         (m_backend == QLatin1String("networkmanager") && primaryConnectionIsModem()));
    return s;
}

bool NetworkConnectionProbe::primaryConnectionIsModem()
{
    // The poll asks every few seconds: look at the devices only when the connection is another one.
    const QString primary = primaryConnection();
    if (primary != m_primaryConnection) {
        m_primaryConnection = primary;
        m_primaryIsModem = runsOverModem(primary);
    }
    return m_primaryIsModem;
}

QString NetworkConnectionProbe::autodial()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    const bool haveNetworkManager = bus.isConnected() && bus.interface() != nullptr &&
                                    bus.interface()->isServiceRegistered(NmService).value();
    QString refusal = QStringLiteral("No network service (NetworkManager) is running.");
    if (haveNetworkManager) {
        QDBusInterface nm(NmService, NmPath, NmService, bus);
        nm.setTimeout(DbusTimeoutMs);
        // Networking on (it may have been switched off), then let NetworkManager pick its best
        // connection. Enable answers an error when networking is already on: only the second
        // answer counts.
        nm.call(QStringLiteral("Enable"), true);
        const QDBusObjectPath none(QStringLiteral("/"));
        const QDBusMessage reply = nm.call(QStringLiteral("ActivateConnection"), QVariant::fromValue(none),
                                           QVariant::fromValue(none), QVariant::fromValue(none));
        if (reply.type() == QDBusMessage::ReplyMessage) {
            return {};
        }
        refusal = QStringLiteral("NetworkManager did not bring a connection up: %1")
                      .arg(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage());
    }
    // Where the service cannot, the user can: the desktop's network settings.
    if (openDesktopNetworkSettings()) {
        return {};
    }
    return refusal + QStringLiteral("\nNo network settings program was found.");
}

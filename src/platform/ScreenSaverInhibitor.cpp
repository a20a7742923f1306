#include "platform/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace {

const QString ScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
constexpr uint PortalInhibitIdle = 8;
constexpr int CallTimeoutMs = 1000; // a service that hangs must not hold up the window

// A service that is running now: nothing is started on demand, and a missing one costs no wait.
bool running(const QString& service)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr && bus.interface()->isServiceRegistered(service);
}

QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& args = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(service, path, interface, method);
    m.setArguments(args);
    return QDBusConnection::sessionBus().call(m, QDBus::Block, CallTimeoutMs);
}

QDBusMessage screenSaverCall(const QString& method, const QVariantList& args)
{
    return call(ScreenSaverService, QStringLiteral("/org/freedesktop/ScreenSaver"), ScreenSaverService,
                method, args);
}

bool answered(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(const QString& reason, QWindow* window)
{
#ifndef Q_OS_WIN
    if (window != nullptr) {
        m_wayland = std::make_unique<WaylandIdleInhibitor>(window);
        if (m_wayland->active()) {
            return; // the compositor keeps the screen on while the window shows
        }
    }
#else
    Q_UNUSED(window);
#endif
    if (running(ScreenSaverService)) {
        const QDBusMessage reply =
            screenSaverCall(QStringLiteral("Inhibit"), {QStringLiteral("Skyvane"), reason});
        if (answered(reply)) {
            m_cookie = reply.arguments().first().toUInt();
            m_screenSaverService = true;
        }
    }
    if (running(PortalService)) {
        const QVariantMap options{{QStringLiteral("reason"), reason}};
        const QDBusMessage reply = call(PortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                                        QStringLiteral("org.freedesktop.portal.Inhibit"),
                                        QStringLiteral("Inhibit"), {QString(), PortalInhibitIdle, options});
        if (answered(reply)) {
            m_portalRequest = reply.arguments().first().value<QDBusObjectPath>().path();
        }
    }
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    if (m_screenSaverService) {
        screenSaverCall(QStringLiteral("UnInhibit"), {m_cookie});
    }
    if (!m_portalRequest.isEmpty()) {
        call(PortalService, m_portalRequest, QStringLiteral("org.freedesktop.portal.Request"),
             QStringLiteral("Close"));
    }
}

bool ScreenSaverInhibitor::active() const
{
#ifndef Q_OS_WIN
    if (m_xSuspension.active() || (m_wayland && m_wayland->active())) {
        return true;
    }
#endif
    return m_screenSaverService || !m_portalRequest.isEmpty();
}

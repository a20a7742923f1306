#include "platform/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {

QDBusMessage call(const QString& method, const QVariantList& args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                    QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                    QStringLiteral("org.freedesktop.ScreenSaver"), method);
    m.setArguments(args);
    return QDBusConnection::sessionBus().call(m, QDBus::Block, 2000);
}

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(const QString& reason)
{
    if (!QDBusConnection::sessionBus().isConnected()) {
        return;
    }
    const QDBusMessage reply = call(QStringLiteral("Inhibit"), {QStringLiteral("Skyvane"), reason});
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        m_cookie = reply.arguments().first().toUInt();
        m_active = true;
    }
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    if (m_active) {
        call(QStringLiteral("UnInhibit"), {m_cookie});
    }
}

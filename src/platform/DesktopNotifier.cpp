#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

void DesktopNotifier::notify(const Notice& notice)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Skyvane") << quint32(0) << QStringLiteral("skyvane") << notice.summary
         << notice.body << QStringList() << QVariantMap() << qint32(-1);
    call.setAutoStartService(false); // a desktop without notifications gets none, not a program started
    bus.asyncCall(call);
}

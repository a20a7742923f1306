#include "platform/SleepWatcher.h"

#include <QDBusConnection>

SleepWatcher::SleepWatcher(QObject* parent) : QObject(parent)
{
    // Sent with true just before the machine sleeps and with false once it is awake again.
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
}

void SleepWatcher::prepareForSleep(bool sleeping)
{
    if (!sleeping) {
        emit woke();
    }
}

#include "app/ServiceHeartbeat.h"

#include "core/RemoteSource.h"
#include "core/ServiceManager.h"
#include "core/ServiceStatus.h"
#include "core/ShownTime.h"

#include <QTimer>

ServiceHeartbeat::ServiceHeartbeat(ServiceManager& manager, const RemoteSource& source, QObject* parent)
    : QObject(parent), m_manager(manager), m_source(source), m_watchdog(new QTimer(this)),
      m_looker(new QTimer(this))
{
    if (!m_manager.supervised()) {
        return;
    }
    if (const qint64 every = m_manager.watchdogMs(); every > 0) {
        m_watchdog->setInterval(int(qBound(qint64(1), every / 2, qint64(3600) * 1000)));
        connect(m_watchdog, &QTimer::timeout, this, [this] { m_manager.alive(); });
        m_watchdog->start();
        m_manager.alive();
    }
    m_looker->setInterval(1000);
    connect(m_looker, &QTimer::timeout, this, &ServiceHeartbeat::look);
    m_looker->start();
}

void ServiceHeartbeat::look()
{
    const RemoteReport report = m_source.report();
    const QString text = ServiceStatus::text(report, &ShownTime::of);
    if (text != m_said) {
        m_said = text;
        m_manager.status(text);
    }
    if (!m_ready && ServiceStatus::showing(report)) {
        m_ready = true;
        m_manager.ready();
    }
}

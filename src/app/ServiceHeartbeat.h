#pragma once

#include <QObject>
#include <QString>

class RemoteSource;
class ServiceManager;
class QTimer;

// Tells the service manager that the program is ready once the window shows a picture or a card, that
// the window thread is alive at half the watchdog's time (from the window thread's own event loop, so
// a thread that hangs stops it), and how the picture is doing when that changes.
class ServiceHeartbeat : public QObject
{
    Q_OBJECT
public:
    ServiceHeartbeat(ServiceManager& manager, const RemoteSource& source, QObject* parent = nullptr);

private:
    void look();

    ServiceManager& m_manager;
    const RemoteSource& m_source;
    QTimer* m_watchdog;
    QTimer* m_looker;
    bool m_ready = false;
    QString m_said;
};

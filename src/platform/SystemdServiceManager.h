#pragma once

#include "core/ServiceManager.h"

#include <QByteArray>

// systemd's notification socket (NOTIFY_SOCKET); without it, or where the program is not started by
// systemd, nothing is sent and nothing fails. Made before anything starts a program of its own: the
// socket is taken out of the environment, so that nothing the program starts (a session bus
// launched on demand, the engine's helpers) can speak for it to systemd.
class SystemdServiceManager : public ServiceManager
{
public:
    SystemdServiceManager();

    bool supervised() const override { return !m_socket.isEmpty(); }
    qint64 watchdogMs() const override { return m_watchdogMs; }
    void ready() override;
    void alive() override;
    void status(const QString& text) override;

private:
    void send(const QByteArray& state) const;

    QByteArray m_socket; // the socket's path ("@" first: an abstract one); empty: not supervised
    qint64 m_watchdogMs = 0;
};

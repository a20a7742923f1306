#pragma once

#include "core/ServiceManager.h"

// systemd's notification socket (NOTIFY_SOCKET), through libsystemd's sd_notify; without it, or
// where the program is not started by systemd, nothing is sent and nothing fails.
class SystemdServiceManager : public ServiceManager
{
public:
    SystemdServiceManager();

    bool supervised() const override { return m_supervised; }
    qint64 watchdogMs() const override { return m_watchdogMs; }
    void ready() override;
    void alive() override;
    void status(const QString& text) override;

private:
    bool m_supervised = false;
    qint64 m_watchdogMs = 0;
};

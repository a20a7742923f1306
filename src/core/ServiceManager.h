#pragma once

#include <QString>
#include <QtGlobal>

// The service manager that started the program, when one did and asked to be told (systemd's
// Type=notify): that the program is ready, that its window thread is alive, and how it is doing.
class ServiceManager
{
public:
    virtual ~ServiceManager() = default;
    // Whether a service manager supervises the program and listens.
    virtual bool supervised() const = 0;
    // How often it wants to hear that the program is alive; 0: it does not.
    virtual qint64 watchdogMs() const = 0;
    virtual void ready() = 0;
    virtual void alive() = 0;
    virtual void status(const QString& text) = 0;
};

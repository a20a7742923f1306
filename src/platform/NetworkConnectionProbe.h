#pragma once

#include "core/ConnectionProbe.h"

#include <QNetworkInformation>

// The connection state on Linux: the network information backend (NetworkManager, else glib)
// when one loads, else the network interfaces themselves. Bringing a link up goes through
// NetworkManager over D-Bus, else the desktop's network settings are opened.
class NetworkConnectionProbe : public ConnectionProbe
{
public:
    State query() override;
    QString autodial() override;

    // What the interfaces alone say: one that is up, running, not loopback and has an address.
    static State stateFromInterfaces();
    // The backend that answered, empty when none loaded.
    QString backendName();

private:
    void loadBackend();
    bool primaryConnectionIsModem();

    bool m_loaded = false;
    QString m_backend;
    QString m_primaryConnection; // the NetworkManager connection last looked at
    bool m_primaryIsModem = false;
};

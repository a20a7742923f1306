#pragma once

// Asks the system about the Internet connection and brings it up on request.
class ConnectionProbe
{
public:
    struct State
    {
        bool connected = false;
        bool viaModem = false; // the link is a modem (dial-up or cellular) link
    };

    virtual ~ConnectionProbe() = default;
    virtual State query() = 0;
    // Asks the system to bring the connection up; returns within a few seconds whatever happens.
    // False when there was nothing to ask: no connection service and no settings program.
    virtual bool autodial() = 0;
};

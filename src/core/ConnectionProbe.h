#pragma once

#include <QString>

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
    // Empty when the request went out (or a settings window opened); otherwise what went wrong, in
    // words for the user.
    virtual QString autodial() = 0;
};

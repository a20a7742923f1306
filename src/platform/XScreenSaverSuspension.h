#pragma once

// Holds off the X server's own screen saver and its DPMS blanking (the MIT-SCREEN-SAVER extension)
// for as long as it lives, when the program shows its windows on X. Elsewhere, or on a server
// without the extension, nothing happens. The server also lets go when the program's connection ends.
class XScreenSaverSuspension
{
public:
    XScreenSaverSuspension();
    ~XScreenSaverSuspension();
    XScreenSaverSuspension(const XScreenSaverSuspension&) = delete;
    XScreenSaverSuspension& operator=(const XScreenSaverSuspension&) = delete;

    bool active() const { return m_active; }

private:
    bool m_active = false;
};

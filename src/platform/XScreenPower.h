#pragma once

#include "core/ScreenPower.h"

// The display switched off and on through the X server: by DPMS where the server and its screens
// offer it, else by the server's own screen saver, forced to blank. Either way a key or the
// pointer lights the screen again at once, and the server lets go when the program's connection
// ends. Off X (Wayland, a headless run) nothing happens.
class XScreenPower : public ScreenPower
{
public:
    XScreenPower() = default;
    ~XScreenPower() override;
    XScreenPower(const XScreenPower&) = delete;
    XScreenPower& operator=(const XScreenPower&) = delete;

    void switchOff() override;
    void switchOn() override;

private:
    bool m_off = false;
    bool m_enabledDpms = false; // DPMS was off in the server, and switched on here to blank the screen
};

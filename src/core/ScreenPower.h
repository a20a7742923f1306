#pragma once

// The display's power, for the hours a wall display sleeps: switched off, and on again. Where the
// window system offers no way to do it, nothing happens.
class ScreenPower
{
public:
    virtual ~ScreenPower() = default;
    virtual void switchOff() = 0;
    virtual void switchOn() = 0;
};

#pragma once

#include "core/ConnectionProbe.h"
#include "core/LiveSettings.h"
#include "core/MessageBoxes.h"

#include <functional>

// The connection indicator's rules: the poll, the activation step, the click with its messages, the
// redial at refresh time and the switch for the next start.
class ConnectionMonitor
{
public:
    enum class Picture
    {
        Green,
        Red,
        Grey
    };

    struct Indicator
    {
        std::function<void(Picture)> showPicture; // a missing picture file leaves the old one
        std::function<void()> stopPoll;           // stops the poll timer until the program ends
    };

    ConnectionMonitor(LiveSettings& settings, ConnectionProbe& probe, MessageBoxes& messages,
                      Indicator indicator);

    void checkConnection();
    void activate();
    void click();
    void redialCheck();
    // The iNet Functions switch: asks whether the connection functions are to be off (or on) from
    // the next start.
    void switchForNextStart();

    bool viaModem() const { return m_viaModem; }
    bool indicatorDown() const { return m_indicatorDown; }

private:
    bool functionsOn() const { return m_settings.INetDisabled == 0; }

    LiveSettings& m_settings;
    ConnectionProbe& m_probe;
    MessageBoxes& m_messages;
    Indicator m_indicator;
    bool m_viaModem = false;      // the last connection found was a modem link
    bool m_indicatorDown = false; // the indicator shows red or grey, not the connected look
};

#pragma once

#include <QString>

// Holds off the screen saver and screen blanking through the desktop's org.freedesktop.ScreenSaver
// service on the session bus, for as long as it lives. Without that service nothing happens.
class ScreenSaverInhibitor
{
public:
    explicit ScreenSaverInhibitor(const QString& reason);
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    bool active() const { return m_active; }

private:
    uint m_cookie = 0;
    bool m_active = false;
};

#pragma once

#include <QString>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include "platform/XScreenSaverSuspension.h"
#endif

// Holds off the screen saver and screen blanking for as long as it lives, through whatever is
// there: the desktop's org.freedesktop.ScreenSaver service and the desktop portal's idle inhibit on
// the session bus, and on X the server's own screen saver and DPMS. Without any of them nothing
// happens.
class ScreenSaverInhibitor
{
public:
    explicit ScreenSaverInhibitor(const QString& reason);
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    bool active() const;

private:
    uint m_cookie = 0;
    bool m_screenSaverService = false;
    QString m_portalRequest; // the portal's handle on the inhibit, closed to end it
#ifndef Q_OS_WIN
    XScreenSaverSuspension m_xSuspension;
#endif
};

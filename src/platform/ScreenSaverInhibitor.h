#pragma once

#include <QString>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include "platform/WaylandIdleInhibitor.h"
#include "platform/XScreenSaverSuspension.h"

#include <memory>
#endif

class QWindow;

// Holds off the screen saver and screen blanking for as long as it lives, through whatever is
// there: on Wayland the compositor's idle inhibit on the window's surface where it offers one, else
// the desktop's org.freedesktop.ScreenSaver service and the desktop portal's idle inhibit on the
// session bus; and on X the server's own screen saver and DPMS. Without any of them nothing happens.
class ScreenSaverInhibitor
{
public:
    // window: the one shown, whose surface the compositor is told of; none: the session's services.
    explicit ScreenSaverInhibitor(const QString& reason, QWindow* window = nullptr);
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    bool active() const;

private:
    uint m_cookie = 0;
    bool m_screenSaverService = false;
    QString m_portalRequest; // the portal's handle on the inhibit, closed to end it
#ifndef Q_OS_WIN
    std::unique_ptr<WaylandIdleInhibitor> m_wayland;
    XScreenSaverSuspension m_xSuspension;
#endif
};

#include "platform/XScreenSaverSuspension.h"

#include "platform/ApplicationXDisplay.h"

#include <X11/extensions/scrnsaver.h>

namespace {

// Suspend came with version 1.1 of the extension.
bool canSuspend(Display* display)
{
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return display != nullptr && XScreenSaverQueryExtension(display, &eventBase, &errorBase) &&
           XScreenSaverQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 1));
}

void suspend(Display* display, bool suspended)
{
    XScreenSaverSuspend(display, suspended ? True : False);
    if (suspended) {
        XForceScreenSaver(display, ScreenSaverReset); // a screen already blanked comes back on
    }
    XFlush(display); // Xlib keeps requests until the next flush, and Qt talks through xcb
}

} // namespace

XScreenSaverSuspension::XScreenSaverSuspension()
{
    Display* display = ApplicationXDisplay::get();
    if (canSuspend(display)) {
        suspend(display, true);
        m_active = true;
    }
}

XScreenSaverSuspension::~XScreenSaverSuspension()
{
    // After the application object the connection is gone, and with it the suspension.
    if (Display* display = ApplicationXDisplay::get(); m_active && display != nullptr) {
        suspend(display, false);
    }
}

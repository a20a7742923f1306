#include "platform/XScreenPower.h"

#include "platform/ApplicationXDisplay.h"

#include <X11/extensions/dpms.h>

namespace {

bool dpmsCapable(Display* display)
{
    int eventBase = 0;
    int errorBase = 0;
    return DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
}

} // namespace

XScreenPower::~XScreenPower()
{
    if (m_off) {
        switchOn(); // a display left dark by a program that has ended would puzzle anybody
    }
}

void XScreenPower::switchOff()
{
    Display* display = ApplicationXDisplay::get();
    if (display == nullptr) {
        return;
    }
    m_off = true;
    if (dpmsCapable(display)) {
        CARD16 level = 0;
        BOOL enabled = False;
        DPMSInfo(display, &level, &enabled);
        if (!enabled) { // the server only forces a level while DPMS is on
            DPMSEnable(display);
            m_enabledDpms = true;
        }
        DPMSForceLevel(display, DPMSModeOff);
    } else {
        XForceScreenSaver(display, ScreenSaverActive);
    }
    XFlush(display); // Xlib keeps requests until the next flush, and Qt talks through xcb
}

void XScreenPower::switchOn()
{
    Display* display = ApplicationXDisplay::get();
    if (display == nullptr || !m_off) {
        return;
    }
    m_off = false;
    if (dpmsCapable(display)) {
        DPMSForceLevel(display, DPMSModeOn);
        if (m_enabledDpms) {
            DPMSDisable(display); // as the server had it
            m_enabledDpms = false;
        }
    }
    XForceScreenSaver(display, ScreenSaverReset);
    XFlush(display);
}

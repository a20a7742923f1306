#include "platform/WinInetConnectionProbe.h"

#include <windows.h>
#include <wininet.h>

ConnectionProbe::State WinInetConnectionProbe::query()
{
    DWORD flags = 0;
    State s;
    s.connected = InternetGetConnectedState(&flags, 0) != FALSE;
    s.viaModem = (flags & INTERNET_CONNECTION_MODEM) != 0;
    return s;
}

bool WinInetConnectionProbe::autodial()
{
    InternetAutodial(INTERNET_AUTODIAL_FORCE_ONLINE, reinterpret_cast<HWND>(m_parentWindow));
    return true; // the system's own dial-up window is always there
}

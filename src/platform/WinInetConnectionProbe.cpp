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

QString WinInetConnectionProbe::autodial()
{
    // The system's own dial-up window says what happens.
    InternetAutodial(INTERNET_AUTODIAL_FORCE_ONLINE, reinterpret_cast<HWND>(m_parentWindow));
    return {};
}

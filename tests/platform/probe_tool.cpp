// Asks the real connection probe once and prints what it says, for the NetworkManager mock test.
//
//   probe_tool --print-state | --autodial

#include "platform/NetworkConnectionProbe.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    NetworkConnectionProbe probe;
    if (argc > 1 && std::strcmp(argv[1], "--autodial") == 0) {
        std::puts(probe.autodial() ? "dialled" : "nothing to dial");
        return 0;
    }
    const ConnectionProbe::State s = probe.query();
    std::printf("backend=%s connected=%d modem=%d\n", qPrintable(probe.backendName()), s.connected ? 1 : 0,
                s.viaModem ? 1 : 0);
    return 0;
}

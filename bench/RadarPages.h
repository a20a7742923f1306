#pragma once

#include "LoopbackServer.h"

// A radar-like page for the benchmarks: one large image that changes on every request.
class RadarPages
{
public:
    // Serves "/radar" (the page) and "/radar.bmp" (an uncompressed picture of about bytes bytes) whose
    // next changedRows rows change at every request.
    static void install(LoopbackServer& server, int approximateBytes, int changedRows = 1);
};

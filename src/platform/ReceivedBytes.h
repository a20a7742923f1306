#pragma once

#include <QtGlobal>

// The bytes this process has received over its open TCP connections: the web engine's network
// service runs in the program's own process, so data arriving for any part of a page shows here.
class ReceivedBytes
{
public:
    // The sum over the connections open now; -1 where the system cannot tell.
    static qint64 total();
};

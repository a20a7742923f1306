#pragma once

#include <QList>
#include <QtGlobal>

// Memory of a process and all its descendants (the web engine's helper processes), from /proc.
class ProcessTreeMemory
{
public:
    struct Sample
    {
        qint64 pssKiB = 0; // proportional set size, shared pages split between their users
        qint64 ussKiB = 0; // unique set size: pages no other process maps, Private_Clean + Private_Dirty
        qint64 rssKiB = 0;
        int processes = 0;
    };

    static QList<qint64> tree(qint64 rootPid);
    static Sample sample(qint64 rootPid);
};

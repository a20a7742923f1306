#pragma once

#include "core/ConnectionProbe.h"

#include <QList>

// Answers queries from a script of states; the last state repeats. Counts autodials.
class ScriptedProbe : public ConnectionProbe
{
public:
    State query() override
    {
        ++queries;
        return current = script.isEmpty() ? current : script.takeFirst();
    }
    bool autodial() override
    {
        ++autodials;
        return canDial;
    }

    QList<State> script;
    State current{true, false};
    int queries = 0;
    int autodials = 0;
    bool canDial = true; // false: no connection service and no settings program
};

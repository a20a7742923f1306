#pragma once

#include "ConnectionProbe.h"

#include <QList>

// Answers queries from a script of states; the last state repeats. Counts autodials.
class ScriptedProbe : public ConnectionProbe
{
public:
    State query() override
    {
        ++queries;
        if (script.isEmpty()) {
            return current;
        }
        current = script.takeFirst();
        return current;
    }
    void autodial() override { ++autodials; }

    QList<State> script;
    State current{true, false};
    int queries = 0;
    int autodials = 0;
};

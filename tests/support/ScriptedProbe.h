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
    QString autodial() override
    {
        ++autodials;
        return dialFailure;
    }

    QList<State> script;
    State current{true, false};
    int queries = 0;
    int autodials = 0;
    QString dialFailure; // what autodial answers
};

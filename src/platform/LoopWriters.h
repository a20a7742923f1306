#pragma once

#include <QList>
#include <QString>

class LoopWriter;

// The formats a loop can be written in, the one offered first at the head. A new format is a writer
// of its own and a line in all().
class LoopWriters
{
public:
    static const QList<const LoopWriter*>& all();
    // The writer of a file name's suffix (any case); the first one for a suffix none of them writes.
    static const LoopWriter& forSuffix(const QString& suffix);
};

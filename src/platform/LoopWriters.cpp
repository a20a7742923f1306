#include "platform/LoopWriters.h"

#include "platform/WebPLoopWriter.h"

const QList<const LoopWriter*>& LoopWriters::all()
{
    static const WebPLoopWriter webp;
    static const QList<const LoopWriter*> writers = {&webp};
    return writers;
}

const LoopWriter& LoopWriters::forSuffix(const QString& suffix)
{
    for (const LoopWriter* writer : all()) {
        if (writer->suffix().compare(suffix, Qt::CaseInsensitive) == 0) {
            return *writer;
        }
    }
    return *all().first();
}

#include "platform/LoopWriters.h"

#include "platform/GifLoopWriter.h"
#include "platform/Mp4LoopWriter.h"
#include "platform/WebPLoopWriter.h"

const QList<const LoopWriter*>& LoopWriters::all()
{
    static const WebPLoopWriter webp;
    static const Mp4LoopWriter mp4;
    static const GifLoopWriter gif;
    static const QList<const LoopWriter*> writers = {&webp, &mp4, &gif};
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

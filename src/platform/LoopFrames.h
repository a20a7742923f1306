#pragma once

#include "platform/LoopWriter.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// The frames of a loop as every writer takes them: all of one size, each fitted into it in proportion
// on black and, when asked, with its time in the corner as Replay shows it.
class LoopFrames
{
public:
    // newest in proportion, at most `most` pixels wide and as many high (and at least 1 x 1): a
    // frame of any shape is held in memory at a bounded size.
    static QSize within(const QSize& newest, int most);
    // The frame as RGBX8888 of size, fitted in on black, time (none: empty) in its corner; the frame
    // itself when it is that already.
    static QImage fitted(const QImage& frame, const QSize& size, const QString& time = {});
    // Decodes the PNGs in turn, fits them to the writer's size for the newest that decodes, stamps
    // times[i] on frame i (none where empty or missing) and encodes them, frame i held for
    // durationsMs[i]. progress counts each frame decoded, then each encoded: twice the frames' count.
    static QByteArray encode(const LoopWriter& writer, const QList<QByteArray>& pngs,
                             const QStringList& times, const QList<int>& durationsMs,
                             const LoopWriter::Progress& progress);
};

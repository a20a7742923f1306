#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

// One format a loop of frames is written in: an animation that loops for ever, each frame shown for
// its own time.
class LoopWriter
{
public:
    // Told after each frame is added (frames done so far); false stops the encoding.
    using Progress = std::function<bool(int)>;
    // A frame is held this long at most, whatever it is given.
    static constexpr int MostFrameMs = 60 * 1000;

    virtual ~LoopWriter() = default;

    // The format as the save dialog lists it.
    virtual QString name() const = 0;
    // The file name's suffix, without the dot.
    virtual QString suffix() const = 0;
    // The save dialog's filter: the name and the suffix.
    QString filter() const { return QStringLiteral("%1 (*.%2)").arg(name(), suffix()); }
    // The size the loop is written at, for the newest frame's size.
    virtual QSize frameSize(const QSize& newest) const = 0;
    // The animation's bytes, frame i shown for durationsMs[i]. The frames come fitted to
    // frameSize(newest) already (LoopFrames); one of another size is fitted in, in proportion, on black.
    // Empty when there is nothing to write, the durations do not match the frames, the encoder failed
    // or progress (if any) said stop.
    virtual QByteArray encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                              const Progress& progress) const = 0;
};

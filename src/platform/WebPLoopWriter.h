#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

// Writes frames as one animated WebP that loops, every frame shown for the same time.
class WebPLoopWriter
{
public:
    static constexpr int MaxWidth = 1280;

    // Told after each frame is added (frames done so far); false stops the encoding.
    using Progress = std::function<bool(int)>;

    // The loop's size: the newest frame's, at most MaxWidth wide.
    static QSize loopSize(const QSize& newest);
    // The animation's bytes; empty when there is nothing to write, the encoder failed or progress
    // said stop. The other frames are fitted into the newest one's size, in proportion.
    static QByteArray encode(const QList<QImage>& frames, double framesPerSecond,
                             const Progress& progress = {});
};

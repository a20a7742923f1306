#pragma once

#include <QList>
#include <QtGlobal>

// How long each frame of a radar loop is shown: every frame for the same time at the speed chosen,
// and the newest, last, for the dwell at the end of each pass, so the eye rests on the latest sky.
class LoopTiming
{
public:
    static constexpr int DefaultDwellMs = 1500;
    static constexpr int MostDwellMs = 30000;

    static int frameMs(double framesPerSecond)
    {
        return framesPerSecond > 0 ? qMax(1, int(1000 / framesPerSecond)) : 1000;
    }

    // The time frame index of count is held (the last one at least a frame's time).
    static int holdMs(int index, int count, double framesPerSecond, int dwellMs)
    {
        const int frame = frameMs(framesPerSecond);
        return index == count - 1 ? qMax(frame, qBound(0, dwellMs, MostDwellMs)) : frame;
    }

    static QList<int> durations(int count, double framesPerSecond, int dwellMs)
    {
        QList<int> held;
        held.reserve(qMax(0, count));
        for (int i = 0; i < count; ++i) {
            held.append(holdMs(i, count, framesPerSecond, dwellMs));
        }
        return held;
    }
};

#pragma once

#include <QDateTime>
#include <QList>

#include <optional>

// How often a site publishes a new picture, learnt from the times its picture changed, and whether
// its feed has stalled: the same picture for much longer than usual.
class SiteCadence
{
public:
    static constexpr int MostGaps = 12;        // the usual gap is the median of the last ones
    static constexpr int StallGaps = 3;        // a stall is longer than this many usual gaps ...
    static constexpr int StallIntervals = 2;   // ... and at least this many refresh intervals
    static constexpr int UnknownIntervals = 6; // before a usual gap is known

    // The usual gap between new pictures, from the times the picture changed (any order); none
    // before there are two.
    static std::optional<qint64> usualGapMs(QList<QDateTime> changes);
    // Whether a picture unchanged for sinceChangeMs is a stalled feed, at a refresh interval in
    // minutes (0: no timed refresh, so nothing to judge by).
    static bool stalled(qint64 sinceChangeMs, std::optional<qint64> usualGapMs, int intervalMinutes);
};

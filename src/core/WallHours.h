#pragma once

#include "core/AwakeHours.h"

#include <QTime>
#include <QtGlobal>

#include <functional>

// Whether a wall display is awake now: within its hours on the wall clock, or for ten minutes after
// somebody touched a key or the pointer. Looked at every minute of the wall clock, at a wake from
// sleep and at a touch; the wall clock is read afresh each time, so a change of time zone or of
// daylight saving time is followed at the next look.
class WallHours
{
public:
    static constexpr qint64 TouchAwakeMs = 10 * 60 * 1000;

    // wallClock: the local time of day now; monotonicMs: a clock that never jumps.
    WallHours(AwakeHours hours, std::function<QTime()> wallClock, std::function<qint64()> monotonicMs);

    bool asleep() const { return m_asleep; }
    // Looks at the clocks; true when asleep() changed.
    bool check();
    // A key or the pointer: awake from now for TouchAwakeMs at least; true when asleep() changed.
    bool touched();
    // Until the next look: the next minute of the wall clock, or the end of a touch's minutes when
    // that comes first.
    int msToNextCheck() const;

private:
    AwakeHours m_hours;
    std::function<QTime()> m_wallClock;
    std::function<qint64()> m_monotonicMs;
    qint64 m_touchedUntil = 0; // the monotonic clock when a touch's minutes end; 0: never touched
    bool m_asleep = false;
};

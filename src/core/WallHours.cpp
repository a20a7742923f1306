#include "core/WallHours.h"

#include <utility>

namespace {

constexpr int MinuteMs = 60 * 1000;
constexpr int PastTheMinuteMs = 200; // the look comes just after the minute has turned, never before

} // namespace

WallHours::WallHours(AwakeHours hours, std::function<QTime()> wallClock, std::function<qint64()> monotonicMs)
    : m_hours(std::move(hours)), m_wallClock(std::move(wallClock)), m_monotonicMs(std::move(monotonicMs))
{
}

bool WallHours::check()
{
    const bool touchedLately = m_touchedUntil != 0 && m_monotonicMs() < m_touchedUntil;
    const bool asleep = !touchedLately && !m_hours.awakeAt(m_wallClock());
    return std::exchange(m_asleep, asleep) != asleep;
}

bool WallHours::touched()
{
    m_touchedUntil = m_monotonicMs() + TouchAwakeMs;
    return check();
}

int WallHours::msToNextCheck() const
{
    const QTime now = m_wallClock();
    qint64 wait = MinuteMs - (now.second() * 1000 + now.msec()) + PastTheMinuteMs;
    if (const qint64 left = m_touchedUntil - m_monotonicMs(); m_touchedUntil != 0 && left > 0) {
        wait = qMin(wait, left + 1);
    }
    return int(qBound(qint64(1), wait, qint64(MinuteMs + PastTheMinuteMs)));
}

#pragma once

#include <QtGlobal>

// The minute counter of the automatic refresh and the on/off state of its timer. The count is the
// process-wide MinuteCount; the timer state is the counter's own.
class RefreshCounter
{
public:
    static constexpr int IntervalMinimum = 1;
    static constexpr int IntervalMaximum = 180;
    static constexpr int IntervalInitial = 10;

    explicit RefreshCounter(qint16& minuteCount) : m_count(minuteCount) {}

    bool timerOn() const { return m_timerOn; }

    // One minute, or more when the machine slept or the program was held up. Returns true when the
    // count has reached the interval and the refresh step is due. Lowering the interval below the count
    // makes the very next tick due.
    bool tick(int interval, int minutes = 1)
    {
        m_count = qint16(qMin(int(m_count) + qMax(minutes, 1), 32767));
        return m_count >= interval;
    }

    // The user changed the interval: switches the timer on; the count is left alone.
    // Returns true when the timer state changed.
    bool intervalChanged()
    {
        if (m_timerOn) {
            return false;
        }
        m_timerOn = true;
        return true;
    }

    // Double-click on the interval label: off resets the count, on keeps it.
    void toggleTimer()
    {
        m_timerOn = !m_timerOn;
        if (!m_timerOn) {
            reset();
        }
    }

    void reset() { m_count = 0; }

private:
    qint16& m_count;
    bool m_timerOn = false;
};

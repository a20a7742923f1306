#include "core/Watch.h"

#include "core/PreferencesStore.h"

#include <QTimer>

namespace {

constexpr int MostMinutes = 32767; // the count is kept within a 16-bit number

} // namespace

Watch::Watch(std::function<qint64()> monotonicMs, Preferences* preferences, const PreferencesStore* store,
             QObject* parent, int minuteMs)
    : QObject(parent), m_now(std::move(monotonicMs)), m_preferences(preferences ? preferences : &m_runOnly),
      m_store(store), m_timer(new QTimer(this)), m_minuteMs(qMax(1, minuteMs))
{
    m_timer->setObjectName(QStringLiteral("refreshTimer"));
    m_timer->setInterval(m_minuteMs);
    m_timer->setTimerType(Qt::PreciseTimer); // a minute is a minute, for days on end
    connect(m_timer, &QTimer::timeout, this, &Watch::countMinute);
    m_counted = m_now();
}

qint64 Watch::msToNextRefresh() const
{
    if (!m_timerOn || m_asleep) {
        return -1;
    }
    return qMax(0, m_timer->remainingTime()) + qMax(0, m_interval - m_count - 1) * qint64(m_minuteMs);
}

void Watch::changeSiteSettings(const QString& address, const std::function<void(Preferences::Area&)>& change)
{
    change(m_preferences->areaOf(address));
    m_preferences->dropUnused(); // an address that keeps nothing has no entry
    if (m_store != nullptr) {
        m_store->save(*m_preferences);
    }
    emit siteSettingsChanged(address);
}

void Watch::setInterval(int minutes)
{
    minutes = qBound(IntervalMinimum, minutes, IntervalMaximum);
    if (minutes != m_interval) {
        m_interval = minutes;
        emit intervalChanged(minutes);
    }
    if (!m_timerOn) {
        m_timerOn = true;
        m_counted = m_now(); // the minutes count from now
        if (!m_asleep) {
            m_timer->start();
        }
        emit timerStateChanged(true);
    }
}

void Watch::toggleTimer()
{
    m_timerOn = !m_timerOn;
    m_counted = m_now();
    if (m_timerOn && !m_asleep) {
        m_timer->start();
    } else if (!m_timerOn) {
        m_timer->stop();
        m_count = 0;
    }
    emit timerStateChanged(m_timerOn);
    emit minuteCountChanged(m_count);
}

void Watch::resetMinuteCount()
{
    m_count = 0;
    emit minuteCountChanged(0);
}

void Watch::countMinute()
{
    // A timer that fires late brings every minute that has passed since the last one.
    const qint64 now = m_now();
    const int minutes =
        int(qBound(qint64(1), (now - m_counted + m_minuteMs / 2) / m_minuteMs, qint64(MostMinutes)));
    m_counted = now;
    count(minutes);
}

void Watch::setAsleep(bool asleep)
{
    if (asleep == m_asleep) {
        return;
    }
    m_asleep = asleep;
    m_timer->stop();
    if (!asleep) {
        m_counted = m_now();
        m_count = 0;
        if (m_timerOn) {
            m_timer->start();
        }
        emit minuteCountChanged(0);
    }
    emit asleepChanged(asleep);
}

void Watch::wake()
{
    if (!m_timerOn || m_asleep) {
        return;
    }
    // The picture on screen is as old as the sleep was long: the refresh comes now, and the minutes
    // count from here.
    m_counted = m_now();
    m_timer->start();
    count(qMax(m_interval - m_count, 1));
}

void Watch::count(int minutes)
{
    m_count = qMin(m_count + qMax(minutes, 1), MostMinutes);
    if (m_count >= m_interval) {
        m_count = 0;
        emit refreshDue();
    }
    emit minuteCountChanged(m_count);
    emit minutesCounted();
}

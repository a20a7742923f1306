#pragma once

#include "core/Preferences.h"

#include <QObject>
#include <QtGlobal>

#include <functional>

class PreferencesStore;
class QTimer;

// The automatic refresh of the page on screen: its interval, whether its timer runs, the minutes
// counted since the last refresh, and the minute timer itself; and what is kept for each address
// watched (the part of the page shown, the alert box and its level). The controls show what it says
// through the signals and change it through the setters; nothing else keeps a copy.
class Watch : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMinimum = 1;
    static constexpr int IntervalMaximum = 180;
    static constexpr int IntervalInitial = 10;

    static constexpr int MinuteMs = 60 * 1000;

    // monotonicMs: milliseconds on a clock that never jumps and goes on while the machine sleeps.
    // preferences hold the addresses' settings, and store saves them at each change; none: they are
    // kept for this run only. minuteMs: how long the minutes counted are (shorter only where time is
    // compressed on purpose, as in a benchmark).
    explicit Watch(std::function<qint64()> monotonicMs, Preferences* preferences = nullptr,
                   const PreferencesStore* store = nullptr, QObject* parent = nullptr,
                   int minuteMs = MinuteMs);

    int interval() const { return m_interval; }
    // How long a minute counted is.
    int minuteMs() const { return m_minuteMs; }
    bool timerOn() const { return m_timerOn; }
    // The interval the page is refreshed at now: naught while the timer is off.
    int runningInterval() const { return m_timerOn ? m_interval : 0; }
    int minuteCount() const { return m_count; }
    // Pages are watched (their pictures judged and kept) while the timer runs, and always on a wall
    // display, which refreshes or shows the sites in turn by itself; never while it sleeps.
    bool watched() const { return !m_asleep && (m_timerOn || m_alwaysWatched); }
    void setAlwaysWatched(bool on) { m_alwaysWatched = on; }
    // A wall display outside its hours: no minute is counted and no refresh is due while it sleeps;
    // once it wakes the minutes count from naught.
    bool asleep() const { return m_asleep; }
    void setAsleep(bool asleep);
    // Until the next automatic refresh; -1 while the timer is off or the display sleeps.
    qint64 msToNextRefresh() const;

    // What is kept for an address; none when nothing is.
    const Preferences::Area* siteSettings(const QString& address) const
    {
        return m_preferences->areaFor(address);
    }
    const QList<Preferences::Area>& allSiteSettings() const { return m_preferences->areas; }
    // Changes what is kept for an address, saves it, and says so.
    void changeSiteSettings(const QString& address, const std::function<void(Preferences::Area&)>& change);

    // The user (or the command line) set the interval, within its bounds: the timer runs from now on
    // and the count is left alone, so an interval lowered below it makes the next minute due.
    void setInterval(int minutes);
    // On and off by hand: off resets the count, on keeps it.
    void toggleTimer();
    // A new page or a refresh by hand: the minutes count from naught.
    void resetMinuteCount();
    // One minute of the timer; more are counted when more have passed since the last one (the
    // machine slept, the program was held up).
    void countMinute();
    // The machine woke from sleep: with the timer on, the refresh is due at once and the minutes
    // count from now.
    void wake();

signals:
    void intervalChanged(int minutes);
    void timerStateChanged(bool on);
    void minuteCountChanged(int count);
    // The count reached the interval: the page is to be refreshed now. The count is naught again.
    void refreshDue();
    // Sent after each counted minute, once any refresh it brought has been asked for.
    void minutesCounted();
    void siteSettingsChanged(const QString& address);
    void asleepChanged(bool asleep);

private:
    void count(int minutes);

    std::function<qint64()> m_now;
    Preferences m_runOnly; // the addresses' settings when none are given
    Preferences* m_preferences;
    const PreferencesStore* m_store;
    QTimer* m_timer; // one minute, over and over while the timer is on
    int m_interval = IntervalInitial;
    int m_count = 0;
    bool m_timerOn = false;
    bool m_alwaysWatched = false;
    bool m_asleep = false;
    qint64 m_counted = 0; // the clock when the last minute was counted
    int m_minuteMs;
};

#pragma once

#include <QString>
#include <QtGlobal>

// The rules of a refresh of the watched page, which runs under a still of the last good picture:
// when a reload has failed, when to try again, what the status bar says and whether the caption may
// follow the page. Time comes from the caller in milliseconds, so the rules run without waiting.
class ReloadWatch
{
public:
    struct Timings
    {
        qint64 noProgressLimitMs = 60000; // a reload with nothing arriving this long has failed
        qint64 retryAfterMs = 60000;      // a failed reload is tried again this long after it began
        qint64 firstCrashBackoffMs = 60000;
        qint64 longestCrashBackoffMs = 30 * 60000;
    };

    enum class Step
    {
        Nothing,
        Stop,        // give up the reload that is loading: it counts as failed
        Retry,       // time to try a failed reload again: begin() it
        ReloadPage,  // reload the page on screen
        LoadWatched, // load the watched address (the page on screen is not it)
    };

    enum class Outcome
    {
        NotOurs, // a load the watch did not start (the user's)
        Good,    // the new picture: show it
        Failed,  // keep the last good picture
    };

    ReloadWatch() = default;
    explicit ReloadWatch(Timings timings) : m_t(timings) {}
    void setTimings(Timings timings) { m_t = timings; }

    // A reload of the page on screen (address displayedUrl) begins under the cover. False when one
    // is already loading: one request at a time is enough. The step says how to load it.
    Step begin(qint64 now, const QString& displayedUrl);
    // Data arrived for the reload.
    void progressed(qint64 now);
    // The load ended, well or not, on this address.
    Outcome finished(qint64 now, bool ok, const QString& url);
    // The page's renderer died; the page is reloaded at once the first time, later after a pause
    // that doubles with each further crash.
    void crashed(qint64 now);
    // The connection came back: a failed reload is tried again at once.
    void connectionRestored(qint64 now);
    // The user went to another page, or to the live page: the watch starts afresh.
    void reset();
    // What to do now; called often (every second).
    Step tick(qint64 now);

    bool loading() const { return m_loading; }
    bool failed() const { return m_failed; }
    // While a reload is loading or has failed, the caption keeps the title of the picture on screen.
    bool holdTitle() const { return m_loading || m_failed; }
    const QString& watchedUrl() const { return m_watched; }
    qint64 nextAttemptAt() const { return m_nextAttempt; }

    // The status bar's failure notice (empty while nothing has failed). lastGood is when the
    // picture on screen was loaded (0: unknown).
    QString notice(qint64 lastGood) const;

private:
    enum class Reason
    {
        Error,
        NoProgress,
        SentElsewhere,
        Crashed
    };
    void fail(qint64 now, Reason reason, qint64 retryAt);
    Step attemptStep(const QString& displayedUrl) const;

    Timings m_t;
    QString m_watched;
    bool m_loading = false;
    qint64 m_attemptStart = 0;
    qint64 m_lastProgress = 0;
    bool m_failed = false;
    qint64 m_failedAt = 0;
    Reason m_reason = Reason::Error;
    QString m_sentTo;
    int m_crashes = 0;
    qint64 m_nextAttempt = 0; // 0: none planned
};

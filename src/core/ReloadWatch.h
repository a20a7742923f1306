#pragma once

#include <QString>
#include <QtGlobal>

// The rules of every load Skyvane starts by itself (the start page, an address from the command line,
// a rotation's turn, a refresh, a retry, the reload after a crash), which runs under a still of the
// last good picture: when it has failed, when to try again, and what the status bar and the card say.
// Time comes from the caller in milliseconds of a monotonic clock, so the rules run without waiting
// and a clock set by hand or by the network changes nothing; wall-clock times are only shown.
class ReloadWatch
{
public:
    struct Timings
    {
        qint64 noProgressLimitMs = 60000; // a load with nothing arriving this long has failed
        qint64 retryAfterMs = 60000;      // a failed load is tried again this long after it began
        qint64 firstCrashBackoffMs = 60000;
        qint64 longestCrashBackoffMs = 30 * 60000;
    };

    enum class Step
    {
        Nothing,
        Stop,        // give up the load that is loading: it counts as failed
        Retry,       // time to try a failed load again: begin() it
        ReloadPage,  // reload the page on screen
        LoadWatched, // load the watched address (the page on screen is not it)
    };

    enum class Outcome
    {
        NotOurs, // a load the watch did not start (the user's)
        Good,    // the new picture: show it
        Failed,  // keep the last good picture
    };

    // Why a load failed, as the engine or the page's own check tells it.
    enum class Failure
    {
        None,
        NoConnection,   // no answer at the network level
        Status,         // the server answered an error status (detail: the code)
        NoAnswer,       // nothing arrived for the no-progress limit
        SentElsewhere,  // it ended on another address (detail: that address)
        Crashed,        // the page's renderer died
        PictureMissing, // the page's main picture did not load
        PictureGone,    // the page came back without the picture it showed before
        Certificate,    // the site's certificate was refused (detail: the words for it)
    };

    ReloadWatch() = default;
    explicit ReloadWatch(Timings timings) : m_t(timings) {}
    void setTimings(Timings timings) { m_t = timings; }

    // A reload of the page on screen (address displayedUrl) begins under the cover. Nothing when one
    // is already loading: one request at a time is enough. The step says how to load it.
    Step begin(qint64 now, const QString& displayedUrl);
    // A load of another address that Skyvane starts by itself: that address is watched from now on.
    // Should the site send it to another page of its own (http to https, a path made whole), that page
    // is watched instead; another site is no answer.
    void beginLoad(qint64 now, const QString& address);
    // Data arrived for the load.
    void progressed(qint64 now);
    // The load ended on this address (the document's own, after the server's redirects; not one the
    // page wrote for itself): well (Failure::None), or not and why.
    Outcome finished(qint64 now, const QString& url, Failure failure = Failure::None,
                     const QString& detail = {});
    // The page's renderer died; the page is reloaded at once the first time, later after a pause
    // that doubles with each further crash. Crashes count on through good loads in between (a page
    // that runs out of memory soon after each load), until the page has run without one for the
    // longest pause.
    void crashed(qint64 now);
    // Whether the page has crashed again and again lately.
    bool crashing(qint64 now) const
    {
        return m_crashes > 1 && now - m_lastCrash <= m_t.longestCrashBackoffMs;
    }
    // The connection came back: a failed load is tried again at once.
    void connectionRestored(qint64 now);
    // The user went to another page, or to the live page: the watch starts afresh (the crashes
    // counted lately aside).
    void reset();
    // What to do now; called often (every second).
    Step tick(qint64 now);

    bool loading() const { return m_loading; }
    bool failed() const { return m_failed; }
    // While a load is loading or has failed, the caption keeps the title of the picture on screen.
    bool holdTitle() const { return m_loading || m_failed; }
    const QString& watchedUrl() const { return m_watched; }
    qint64 nextAttemptAt() const { return m_nextAttempt; }
    Failure failure() const { return m_failed ? m_reason : Failure::None; }

    // What went wrong, in a few words ("The server answered 503"); empty while nothing has failed.
    QString reasonText() const;
    static QString words(Failure failure, const QString& detail, int crashes = 1);
    // The status bar's failure notice (empty while nothing has failed). now and wallNow are the same
    // moment on the monotonic and the wall clock; lastGood is when the picture on screen was loaded
    // (monotonic; 0: there is none).
    QString notice(qint64 now, qint64 wallNow, qint64 lastGood) const;
    // The card shown instead of the engine's error page while there is no good picture yet: the
    // address, what went wrong and the next try, a line each.
    QString card(qint64 now, qint64 wallNow) const;

private:
    void fail(qint64 now, Failure reason, qint64 retryAt);
    Step attemptStep(const QString& displayedUrl) const;

    Timings m_t;
    QString m_watched;
    bool m_loading = false;
    bool m_opening = false; // the load is the first of the watched address, not a reload of it
    qint64 m_attemptStart = 0;
    qint64 m_lastProgress = 0;
    bool m_failed = false;
    qint64 m_failedAt = 0; // the latest failed attempt: the notice follows each one
    Failure m_reason = Failure::None;
    QString m_detail;
    int m_crashes = 0;
    qint64 m_lastCrash = 0;
    qint64 m_nextAttempt = 0; // 0: none planned
};

#pragma once

#include <QList>
#include <QtGlobal>

// What is done when the page's renderer keeps dying, beyond the reload and its growing pause: after
// CrashesBeforeFresh crashes within Window, the page's caches are dropped and a fresh page and renderer
// made; should that one crash within Window too, a program run by a supervisor (systemd) ends so that
// it is started afresh, and one that is not goes on with the pauses. Times are milliseconds of a
// monotonic clock, from the caller.
class CrashEscalation
{
public:
    static constexpr int CrashesBeforeFresh = 5;
    static constexpr qint64 WindowMs = 30 * 60 * 1000;

    enum class Step
    {
        Reload,    // the usual reload, after its pause
        FreshPage, // drop the caches and make the page anew, then reload
        Exit,      // end the program (EX_TEMPFAIL), for the supervisor to start it again
    };

    explicit CrashEscalation(bool supervised) : m_supervised(supervised) {}

    Step crashed(qint64 now);

private:
    bool m_supervised;
    QList<qint64> m_crashes; // within the window, oldest first
    qint64 m_freshAt = -1;   // when a fresh page was made last; -1: never
};

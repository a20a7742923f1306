#pragma once

#include <QString>
#include <QtGlobal>

// How old the picture on screen is, as the wall display's corner label and the status bar tell it:
// its time while fresh, its age once no good load has come for more than two refresh intervals, and
// the failure while the last refresh failed, and a stalled feed (the same picture much longer than the
// site usually keeps one) with the age of its picture.
class PictureAge
{
public:
    enum class Level
    {
        Fresh,
        Old,
        Stalled,
        Failed,
    };

    // ageMs: since the last good load.
    static Level level(qint64 ageMs, int intervalMinutes, bool failed, bool stalled = false)
    {
        if (failed) {
            return Level::Failed;
        }
        const qint64 dueMs = qint64(intervalMinutes) * 60000;
        if (intervalMinutes > 0 && ageMs > 2 * dueMs) {
            return Level::Old;
        }
        return stalled ? Level::Stalled : Level::Fresh;
    }

    // "35 min", "2 h 5 min"; "40 s" under a minute.
    static QString duration(qint64 ms)
    {
        const qint64 minutes = qMax(qint64(0), ms) / 60000;
        if (ms < 60000) {
            return QStringLiteral("%1 s").arg(qMax(qint64(0), ms) / 1000);
        }
        return minutes < 60 ? QStringLiteral("%1 min").arg(minutes)
                            : QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
    }

    // time is the picture's time as the wall clock showed it ("14:20"); ageMs the age of the last
    // good load, or for a stalled feed, of the last change.
    static QString text(const QString& time, qint64 ageMs, Level level)
    {
        switch (level) {
        case Level::Failed:
            return time.isEmpty() ? QStringLiteral("refresh failed")
                                  : time + QStringLiteral(", refresh failed");
        case Level::Old:
            return time + QStringLiteral(", ") + duration(ageMs) + QStringLiteral(" old");
        case Level::Stalled:
            return time + QStringLiteral(", no new picture for ") + duration(ageMs);
        case Level::Fresh:
            break;
        }
        return time;
    }
};

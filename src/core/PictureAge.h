#pragma once

#include <QString>
#include <QtGlobal>

// How old the picture on screen is, as the wall display's corner label and the status bar tell it:
// its time while fresh, its age once no good load has come for more than two refresh intervals, and
// the failure while the last refresh failed.
class PictureAge
{
public:
    enum class Level
    {
        Fresh,
        Old,
        Failed,
    };

    static Level level(qint64 ageMs, int intervalMinutes, bool failed)
    {
        if (failed) {
            return Level::Failed;
        }
        const qint64 dueMs = qint64(intervalMinutes) * 60000;
        return intervalMinutes > 0 && ageMs > 2 * dueMs ? Level::Old : Level::Fresh;
    }

    // time is the picture's time as the wall clock showed it ("14:20").
    static QString text(const QString& time, qint64 ageMs, Level level)
    {
        switch (level) {
        case Level::Failed:
            return time.isEmpty() ? QStringLiteral("refresh failed")
                                  : time + QStringLiteral(", refresh failed");
        case Level::Old: {
            const qint64 minutes = ageMs / 60000;
            const QString age = minutes < 60
                                    ? QStringLiteral("%1 min").arg(minutes)
                                    : QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
            return time + QStringLiteral(", ") + age + QStringLiteral(" old");
        }
        case Level::Fresh:
            break;
        }
        return time;
    }
};

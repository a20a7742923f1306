#include "core/SiteCadence.h"

#include <algorithm>

std::optional<qint64> SiteCadence::usualGapMs(QList<QDateTime> changes)
{
    changes.removeIf([](const QDateTime& t) { return !t.isValid(); });
    std::sort(changes.begin(), changes.end());
    QList<qint64> gaps;
    for (qsizetype i = qMax(qsizetype(1), changes.size() - MostGaps); i < changes.size(); ++i) {
        gaps.append(changes[i - 1].msecsTo(changes[i]));
    }
    if (gaps.isEmpty()) {
        return std::nullopt;
    }
    std::sort(gaps.begin(), gaps.end());
    const qsizetype middle = gaps.size() / 2;
    return gaps.size() % 2 == 1 ? gaps[middle] : (gaps[middle - 1] + gaps[middle]) / 2;
}

bool SiteCadence::stalled(qint64 sinceChangeMs, std::optional<qint64> usualGapMs, int intervalMinutes)
{
    if (intervalMinutes <= 0 || sinceChangeMs < 0) {
        return false;
    }
    const qint64 intervalMs = intervalMinutes * qint64(60 * 1000);
    if (!usualGapMs) {
        return sinceChangeMs > UnknownIntervals * intervalMs;
    }
    return sinceChangeMs > StallGaps * *usualGapMs && sinceChangeMs >= StallIntervals * intervalMs;
}

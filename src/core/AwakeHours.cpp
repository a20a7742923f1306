#include "core/AwakeHours.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

constexpr int DayMinutes = 24 * 60;

// "HH:MM" into minutes since midnight; "24:00" only where it ends a range. -1: not a time.
int minutesOf(const QString& text, bool end)
{
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch m = time.match(text.trimmed());
    if (!m.hasMatch()) {
        return -1;
    }
    const int hours = m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    if (minutes > 59 || hours > 24 || (hours == 24 && (minutes != 0 || !end))) {
        return -1;
    }
    return hours * 60 + minutes;
}

QString clock(int minutes)
{
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

std::optional<AwakeHours> AwakeHours::parse(const QString& text, QString* why)
{
    const auto refuse = [why](const QString& reason) {
        if (why != nullptr) {
            *why = reason;
        }
        return std::nullopt;
    };
    AwakeHours hours;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& part : parts) {
        const QStringList ends = part.split(QLatin1Char('-'));
        if (ends.size() != 2) {
            return refuse(QStringLiteral("%1 is not HH:MM-HH:MM").arg(part.trimmed()));
        }
        const int from = minutesOf(ends[0], false);
        const int to = minutesOf(ends[1], true);
        if (from < 0 || to < 0) {
            return refuse(QStringLiteral("%1 is not HH:MM-HH:MM").arg(part.trimmed()));
        }
        if (from == to) {
            return refuse(QStringLiteral("%1 is no time at all").arg(part.trimmed()));
        }
        hours.m_ranges.append({from, to});
    }
    return hours;
}

bool AwakeHours::awakeAt(const QTime& wallClock) const
{
    const int now = wallClock.hour() * 60 + wallClock.minute();
    for (const Range& r : m_ranges) {
        if (r.from < r.to ? (now >= r.from && now < r.to) : (now >= r.from || now < r.to)) {
            return true;
        }
    }
    return false;
}

bool AwakeHours::awakeAt(const QDateTime& when, const QTimeZone& zone) const
{
    return awakeAt(when.toTimeZone(zone).time());
}

QString AwakeHours::text() const
{
    QStringList parts;
    for (const Range& r : m_ranges) {
        parts.append(clock(r.from) + QLatin1Char('-') + clock(r.to));
    }
    return parts.join(QLatin1Char(','));
}

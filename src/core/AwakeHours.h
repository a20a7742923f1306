#pragma once

#include <QList>
#include <QString>

#include <optional>

class QDateTime;
class QTime;
class QTimeZone;

// The hours a wall display is awake: one or more ranges of the day's wall-clock time, "07:00-23:00"
// or "22:00-02:00,06:00-09:00" (a range may cross midnight; "24:00" ends the day). Judged on the wall
// clock of a time zone, so a change of daylight saving time or of the zone is followed.
class AwakeHours
{
public:
    struct Range
    {
        int from = 0; // minutes since midnight, the first minute awake
        int to = 0;   // the first minute asleep again (1440: midnight); below from: the next day's
        bool operator==(const Range&) const = default;
    };

    // Hours as written; none, and why in a few words, when the text is not that.
    static std::optional<AwakeHours> parse(const QString& text, QString* why = nullptr);

    const QList<Range>& ranges() const { return m_ranges; }
    bool awakeAt(const QTime& wallClock) const;
    bool awakeAt(const QDateTime& when, const QTimeZone& zone) const;
    // As parse() reads it back: "07:00-23:00,01:00-02:00".
    QString text() const;

private:
    QList<Range> m_ranges;
};

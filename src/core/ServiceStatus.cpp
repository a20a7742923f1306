#include "core/ServiceStatus.h"

QString ServiceStatus::text(const RemoteReport& r, const std::function<QString(const QDateTime&)>& localTime)
{
    QString picture = r.pictureTime.isValid()
                          ? QStringLiteral("%1 picture")
                                .arg(localTime(r.changedTime.isValid() ? r.changedTime : r.pictureTime))
                          : QStringLiteral("no picture yet");
    if (r.state == QLatin1String("failed") || r.state == QLatin1String("crashing")) {
        picture += QStringLiteral(", refresh failed: ") + r.lastFailureReason;
    } else if (r.state == QLatin1String("stalled")) {
        picture += QStringLiteral(", the site's feed stalled");
    } else if (r.state == QLatin1String("asleep")) {
        return picture + QStringLiteral(", asleep");
    }
    return r.intervalMinutes > 0
               ? picture + QStringLiteral(", refreshing every %1 min").arg(r.intervalMinutes)
               : picture + QStringLiteral(", not refreshing");
}

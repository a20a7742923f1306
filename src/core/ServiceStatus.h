#pragma once

#include "core/RemoteReport.h"

#include <QDateTime>
#include <QString>

#include <functional>

// How the program is doing, in the few words a service manager shows ("14:20 picture, refreshing
// every 10 min"), from the report the remote view reads.
class ServiceStatus
{
public:
    // localTime: the wall-clock time of a moment, as shown ("14:20").
    static QString text(const RemoteReport& report,
                        const std::function<QString(const QDateTime&)>& localTime);
    // Whether the window shows what it is to show yet: a picture, the card of a failed first load,
    // or the dark of its sleeping hours.
    static bool showing(const RemoteReport& report)
    {
        return report.pictureTime.isValid() || report.lastFailureTime.isValid() ||
               report.state == QLatin1String("asleep");
    }
};

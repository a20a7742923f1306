#pragma once

#include <QDateTime>
#include <QString>

// A moment as the program shows it everywhere: the local wall clock's hours and minutes ("14:20").
class ShownTime
{
public:
    static QString of(const QDateTime& moment)
    {
        return moment.toLocalTime().toString(QStringLiteral("HH:mm"));
    }
};

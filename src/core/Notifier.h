#pragma once

#include <QString>

// Tells the user something outside the window: the desktop's notifications.
class Notifier
{
public:
    virtual ~Notifier() = default;
    // Returns at once; where the desktop has no notifications nothing happens.
    virtual void notify(const QString& summary, const QString& body) = 0;
};

#pragma once

#include <QByteArray>
#include <QString>

// Tells the user something outside the window: the desktop's notifications, and a phone's.
class Notifier
{
public:
    // What a notice is about; each kind has its own urgency and its own pace on a phone.
    enum class Kind
    {
        StormAlert,
        AllClear,
        Failing,
        Back,
        Stalled
    };
    struct Notice
    {
        Kind kind = Kind::Failing;
        QString summary;
        QString body;
        QString address;       // the page it is about, as kept (credentials and all)
        QByteArray picturePng; // the storm alert's box as shown; empty: no picture
    };

    virtual ~Notifier() = default;
    // Returns at once; where there is nobody to tell nothing happens.
    virtual void notify(const Notice& notice) = 0;
};

#pragma once

#include "core/WallHours.h"

#include <QObject>
#include <QPointF>

class QTimer;
class ScreenPower;
class Watch;

// A wall display's hours kept: outside them the refreshes pause (the watch sleeps) and the screen
// is switched off; at their start, or when somebody touches a key or the pointer while it sleeps,
// the screen is switched on and the watch wakes, which refreshes the page at once.
class SleepingHours : public QObject
{
    Q_OBJECT
public:
    // screen: none where the display's power cannot be switched.
    SleepingHours(WallHours hours, Watch& watch, ScreenPower* screen, QObject* parent = nullptr);
    ~SleepingHours() override;

public slots:
    // Looks at the clock now: every minute, and when the machine wakes from sleep.
    void check();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void follow(bool changed); // applies a change, and sets the next look

    WallHours m_hours;
    Watch& m_watch;
    ScreenPower* m_screen;
    QTimer* m_timer;
    QPointF m_pointer; // where the pointer was last seen
    bool m_pointerSeen = false;
};

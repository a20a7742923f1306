#pragma once

#include "core/Notifier.h"

// Notifications through org.freedesktop.Notifications on the session bus, sent without waiting for
// the answer: a missing or slow notification service never holds up the window.
class DesktopNotifier : public Notifier
{
public:
    void notify(const Notice& notice) override;
};

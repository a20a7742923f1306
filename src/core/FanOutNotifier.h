#pragma once

#include "core/Notifier.h"

#include <memory>

// One notice told in two places: a notifier of its own (the desktop's) and one shared with other
// fan-outs (the sender to a phone, which paces all of them together).
class FanOutNotifier : public Notifier
{
public:
    // shared may be none, and must outlive this one.
    FanOutNotifier(std::unique_ptr<Notifier> own, Notifier* shared) : m_own(std::move(own)), m_shared(shared)
    {
    }

    void notify(const Notice& notice) override
    {
        if (m_own) {
            m_own->notify(notice);
        }
        if (m_shared != nullptr) {
            m_shared->notify(notice);
        }
    }

private:
    std::unique_ptr<Notifier> m_own;
    Notifier* m_shared;
};

#include "core/CrashEscalation.h"

CrashEscalation::Step CrashEscalation::crashed(qint64 now)
{
    if (m_freshAt >= 0 && now - m_freshAt <= WindowMs) {
        if (m_supervised) {
            return Step::Exit;
        }
        m_freshAt = now; // unsupervised: the pauses go on; the fresh page is not made again at once
        return Step::Reload;
    }
    m_crashes.append(now);
    while (!m_crashes.isEmpty() && now - m_crashes.first() > WindowMs) {
        m_crashes.removeFirst();
    }
    if (m_crashes.size() >= CrashesBeforeFresh) {
        m_crashes.clear();
        m_freshAt = now;
        return Step::FreshPage;
    }
    return Step::Reload;
}

#include "core/PushPace.h"

bool PushPace::admit(Notifier::Kind kind)
{
    const qint64 now = m_now();
    const auto last = m_lastSent.constFind(int(kind));
    if (last != m_lastSent.constEnd() && now - *last < KindGapMs) {
        return false;
    }
    m_lastSent.insert(int(kind), now);
    return true;
}

bool PushPace::failureToTell(const QString& target)
{
    if (m_failing.contains(target)) {
        return false;
    }
    m_failing.insert(target);
    return true;
}

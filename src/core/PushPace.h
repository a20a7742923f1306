#pragma once

#include "core/Notifier.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

// How often notices go to a phone and how hard each is tried. At most one notice of a kind a minute
// goes out (a storm alert that comes and goes in the same minute is told once; the desktop still
// shows each). A send that fails is tried again after a wait that grows (5 s, then 20 s) and then
// given up; that is told once for each address, and not again until a send to it goes through.
class PushPace
{
public:
    static constexpr qint64 KindGapMs = 60 * 1000;

    // monotonicMs: the clock of every wait and gap; backoffMs: the waits before the second try, the
    // third and so on.
    explicit PushPace(std::function<qint64()> monotonicMs, QList<int> backoffMs = {5000, 20000})
        : m_now(std::move(monotonicMs)), m_backoff(std::move(backoffMs))
    {
    }

    // Whether a notice of this kind goes out now; one that does starts the kind's minute.
    bool admit(Notifier::Kind kind);
    // After try number tries (1 for the first) failed: how long to wait before the next, or -1 when
    // that was the last.
    int retryAfterMs(int tries) const
    {
        return tries >= 1 && tries <= m_backoff.size() ? m_backoff.at(tries - 1) : -1;
    }
    // A send to target was given up: whether to tell it (the first since one went through).
    bool failureToTell(const QString& target);
    void succeeded(const QString& target) { m_failing.remove(target); }

private:
    std::function<qint64()> m_now;
    QList<int> m_backoff;
    QHash<int, qint64> m_lastSent; // by kind
    QSet<QString> m_failing;       // targets whose failure was told
};

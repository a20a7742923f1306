#pragma once

#include <QDateTime>
#include <QString>

// How the refreshes go, as told outside the window: how many ended well and how many failed, since
// when they fail and why the last one did, and when that is worth a desktop notification (failing
// for half an hour; and good again after that).
class RefreshHealth
{
public:
    static constexpr qint64 TellFailingAfterMs = 30 * 60 * 1000;

    // A load of the watched page was judged: well, or failed and why. now is monotonic.
    void judged(bool ok, const QString& reason, qint64 now, const QDateTime& wallNow);
    // Failing since when, said once when it has lasted TellFailingAfterMs, else empty; and the
    // text once a good load ends a failure that was told.
    QString notice(qint64 now);

    qint64 okCount() const { return m_ok; }
    qint64 failedCount() const { return m_failed; }
    bool failing() const { return m_failingSince >= 0; }
    const QDateTime& lastFailureTime() const { return m_lastFailureTime; }
    const QString& lastFailureReason() const { return m_lastFailureReason; }

private:
    qint64 m_ok = 0;
    qint64 m_failed = 0;
    qint64 m_failingSince = -1; // monotonic, while the loads fail
    QDateTime m_failingSinceWall;
    QDateTime m_lastFailureTime;
    QString m_lastFailureReason;
    bool m_told = false;      // the failure was told
    bool m_goodAgain = false; // a told failure has ended: to be said
};

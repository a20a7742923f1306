#include "core/ReloadWatch.h"

#include <QDateTime>
#include <QUrl>

namespace {

bool sameAddress(const QString& a, const QString& b)
{
    return QUrl(a).adjusted(QUrl::RemoveFragment) == QUrl(b).adjusted(QUrl::RemoveFragment);
}

QString elided(const QString& host)
{
    constexpr qsizetype kLongest = 16;
    return host.size() <= kLongest ? host : host.left(kLongest - 1) + QChar(0x2026);
}

QString clock(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).time().toString(QStringLiteral("HH:mm"));
}

} // namespace

ReloadWatch::Step ReloadWatch::attemptStep(const QString& displayedUrl) const
{
    return sameAddress(displayedUrl, m_watched) ? Step::ReloadPage : Step::LoadWatched;
}

ReloadWatch::Step ReloadWatch::begin(qint64 now, const QString& displayedUrl)
{
    if (m_loading) {
        return Step::Nothing;
    }
    if (!m_failed || m_watched.isEmpty()) {
        m_watched = displayedUrl; // after a failure the page on screen may be a login page
    }
    m_loading = true;
    m_attemptStart = now;
    m_lastProgress = now;
    m_nextAttempt = 0;
    return attemptStep(displayedUrl);
}

void ReloadWatch::progressed(qint64 now)
{
    m_lastProgress = now;
}

ReloadWatch::Outcome ReloadWatch::finished(qint64 now, bool ok, const QString& url)
{
    if (!m_loading) {
        return Outcome::NotOurs;
    }
    m_loading = false;
    if (ok && sameAddress(url, m_watched)) {
        m_failed = false;
        m_crashes = 0;
        m_nextAttempt = 0;
        return Outcome::Good;
    }
    if (ok) {
        m_sentTo = url; // answered from another address: a login page, most likely
        fail(now, Reason::SentElsewhere, m_attemptStart + m_t.retryAfterMs);
    } else {
        fail(now, Reason::Error, m_attemptStart + m_t.retryAfterMs);
    }
    return Outcome::Failed;
}

void ReloadWatch::crashed(qint64 now)
{
    ++m_crashes;
    m_loading = false;
    qint64 pause = 0;
    if (m_crashes > 1) {
        pause = m_t.firstCrashBackoffMs;
        for (int k = 2; k < m_crashes && pause < m_t.longestCrashBackoffMs; ++k) {
            pause *= 2;
        }
        pause = qMin(pause, m_t.longestCrashBackoffMs);
    }
    fail(now, Reason::Crashed, now + pause);
}

void ReloadWatch::connectionRestored(qint64 now)
{
    if (m_failed && !m_loading && m_reason != Reason::Crashed) {
        m_nextAttempt = now;
    }
}

void ReloadWatch::reset()
{
    *this = ReloadWatch(m_t);
}

ReloadWatch::Step ReloadWatch::tick(qint64 now)
{
    if (m_loading) {
        if (now - m_lastProgress >= m_t.noProgressLimitMs) {
            m_loading = false;
            fail(now, Reason::NoProgress, m_attemptStart + m_t.retryAfterMs);
            return Step::Stop;
        }
        return Step::Nothing;
    }
    if (m_failed && m_nextAttempt != 0 && now >= m_nextAttempt) {
        return Step::Retry;
    }
    return Step::Nothing;
}

void ReloadWatch::fail(qint64 now, Reason reason, qint64 retryAt)
{
    if (!m_failed) {
        m_failedAt = now;
    }
    m_failed = true;
    m_reason = reason;
    m_nextAttempt = qMax(retryAt, now);
}

QString ReloadWatch::notice(qint64 lastGood) const
{
    if (!m_failed) {
        return {};
    }
    QString what;
    switch (m_reason) {
    case Reason::SentElsewhere:
        what = QStringLiteral("Refresh sent to %1").arg(elided(QUrl(m_sentTo).host()));
        break;
    case Reason::Crashed:
        what = m_crashes > 1 ? QStringLiteral("The page keeps crashing") : QStringLiteral("The page crashed");
        break;
    default:
        what = QStringLiteral("Refresh failed at %1").arg(clock(m_failedAt));
        break;
    }
    const QString picture =
        lastGood > 0 ? QStringLiteral("; picture from %1").arg(clock(lastGood)) : QString();
    const QString next = m_loading || m_nextAttempt == 0
                             ? QStringLiteral(". Trying again now.")
                             : QStringLiteral(". Next try %1.").arg(clock(m_nextAttempt));
    return what + picture + next;
}

#include "core/ReloadWatch.h"

#include "core/AddressRules.h"

#include <QDateTime>
#include <QUrl>

namespace {

QString elided(const QString& text, qsizetype longest)
{
    return text.size() <= longest ? text : text.left(longest - 1) + QChar(0x2026);
}

// A moment of the monotonic clock as the wall clock showed it.
QString clock(qint64 at, qint64 now, qint64 wallNow)
{
    return QDateTime::fromMSecsSinceEpoch(wallNow + (at - now)).time().toString(QStringLiteral("HH:mm"));
}

} // namespace

ReloadWatch::Step ReloadWatch::attemptStep(const QString& displayedUrl) const
{
    return AddressRules::samePage(displayedUrl, m_watched) ? Step::ReloadPage : Step::LoadWatched;
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
    m_opening = false;
    m_attemptStart = now;
    m_lastProgress = now;
    m_nextAttempt = 0;
    return attemptStep(displayedUrl);
}

void ReloadWatch::beginLoad(qint64 now, const QString& address)
{
    if (!AddressRules::samePage(address, m_watched)) {
        *this = ReloadWatch(m_t); // another site: its own failures and crashes
        m_watched = address;
    }
    m_loading = true;
    m_opening = true;
    m_attemptStart = now;
    m_lastProgress = now;
    m_nextAttempt = 0;
}

void ReloadWatch::progressed(qint64 now)
{
    m_lastProgress = now;
}

ReloadWatch::Outcome ReloadWatch::finished(qint64 now, const QString& url, Failure failure,
                                           const QString& detail)
{
    if (!m_loading) {
        return Outcome::NotOurs;
    }
    m_loading = false;
    if (failure == Failure::None && m_opening && !AddressRules::samePage(url, m_watched) &&
        AddressRules::sameSite(url, m_watched)) {
        m_watched = url; // the site's own address for the page: the refreshes ask for it
    }
    if (failure == Failure::None && !AddressRules::samePage(url, m_watched)) {
        failure = Failure::SentElsewhere; // answered from another address: a login page, most likely
        m_detail = url;
    } else {
        m_detail = detail;
    }
    if (failure == Failure::None) {
        m_failed = false;
        m_reason = Failure::None;
        m_nextAttempt = 0;
        return Outcome::Good;
    }
    fail(now, failure, m_attemptStart + m_t.retryAfterMs);
    return Outcome::Failed;
}

void ReloadWatch::crashed(qint64 now)
{
    if (m_crashes > 0 && now - m_lastCrash > m_t.longestCrashBackoffMs) {
        m_crashes = 0; // it ran long enough: this is a crash of its own
    }
    ++m_crashes;
    m_lastCrash = now;
    m_loading = false;
    qint64 pause = 0;
    if (m_crashes > 1) {
        pause = m_t.firstCrashBackoffMs;
        for (int k = 2; k < m_crashes && pause < m_t.longestCrashBackoffMs; ++k) {
            pause *= 2;
        }
        pause = qMin(pause, m_t.longestCrashBackoffMs);
    }
    fail(now, Failure::Crashed, now + pause);
}

void ReloadWatch::connectionRestored(qint64 now)
{
    if (m_failed && !m_loading && m_reason != Failure::Crashed) {
        m_nextAttempt = now;
    }
}

void ReloadWatch::reset()
{
    const int crashes = m_crashes; // the renderer's record goes on: a good load is no cure
    const qint64 lastCrash = m_lastCrash;
    *this = ReloadWatch(m_t);
    m_crashes = crashes;
    m_lastCrash = lastCrash;
}

ReloadWatch::Step ReloadWatch::tick(qint64 now)
{
    if (m_loading) {
        if (now - m_lastProgress >= m_t.noProgressLimitMs) {
            m_loading = false;
            fail(now, Failure::NoAnswer, m_attemptStart + m_t.retryAfterMs);
            return Step::Stop;
        }
        return Step::Nothing;
    }
    if (m_failed && m_nextAttempt != 0 && now >= m_nextAttempt) {
        return Step::Retry;
    }
    return Step::Nothing;
}

void ReloadWatch::fail(qint64 now, Failure reason, qint64 retryAt)
{
    m_failedAt = now;
    m_failed = true;
    m_reason = reason;
    m_nextAttempt = qMax(retryAt, now);
}

QString ReloadWatch::reasonText() const
{
    return m_failed ? words(m_reason, m_detail, m_crashes) : QString();
}

QString ReloadWatch::words(Failure failure, const QString& detail, int crashes)
{
    switch (failure) {
    case Failure::Status:
        return QStringLiteral("The server answered %1").arg(detail);
    case Failure::NoAnswer:
        return QStringLiteral("The site did not answer");
    case Failure::SentElsewhere:
        return QStringLiteral("Sent to %1").arg(elided(detail, 48));
    case Failure::Crashed:
        return crashes > 1 ? QStringLiteral("The page keeps crashing") : QStringLiteral("The page crashed");
    case Failure::PictureMissing:
        return QStringLiteral("The picture on the page did not load");
    case Failure::PictureGone:
        return QStringLiteral("The page came back without its picture");
    case Failure::Certificate:
        return detail;
    case Failure::None:
    case Failure::NoConnection:
        break;
    }
    return QStringLiteral("No connection");
}

QString ReloadWatch::notice(qint64 now, qint64 wallNow, qint64 lastGood) const
{
    if (!m_failed) {
        return {};
    }
    const QString picture =
        lastGood > 0 ? QStringLiteral("; picture from %1").arg(clock(lastGood, now, wallNow)) : QString();
    const QString next = m_loading || m_nextAttempt == 0
                             ? QStringLiteral(". Trying again now.")
                             : QStringLiteral(". Next try %1.").arg(clock(m_nextAttempt, now, wallNow));
    QString why = reasonText();
    why[0] = why[0].toLower();
    const QString what = lastGood > 0 ? QStringLiteral("Refresh failed") : QStringLiteral("Loading failed");
    return QStringLiteral("%1 at %2: %3").arg(what, clock(m_failedAt, now, wallNow), why) + picture + next;
}

QString ReloadWatch::card(qint64 now, qint64 wallNow) const
{
    if (!m_failed) {
        return {};
    }
    const QString next = m_loading || m_nextAttempt == 0
                             ? QStringLiteral("Trying again now")
                             : QStringLiteral("Next try at %1").arg(clock(m_nextAttempt, now, wallNow));
    return elided(m_watched, 80) + QLatin1Char('\n') + reasonText() + QLatin1Char('\n') + next;
}

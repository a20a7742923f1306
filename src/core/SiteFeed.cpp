#include "core/SiteFeed.h"

#include "core/PictureAge.h"
#include "core/SiteCadence.h"

void SiteFeed::compared(const QString& address, bool newPicture, const QDateTime& frameUtc,
                        std::optional<qint64> usualGapMs, const QDateTime& checkedUtc, int intervalMinutes)
{
    if (address != m_address && m_stalled) {
        m_stalled = false;
        emit stallChanged(m_address, false, m_changedUtc);
    }
    m_address = address;
    m_changedUtc = frameUtc.isValid() ? frameUtc : checkedUtc;
    m_usualGapMs = usualGapMs;
    const qint64 since = newPicture ? 0 : qMax(qint64(0), m_changedUtc.msecsTo(checkedUtc));
    const bool stalled = !newPicture && SiteCadence::stalled(since, usualGapMs, intervalMinutes);
    if (stalled != m_stalled) {
        m_stalled = stalled;
        emit stallChanged(address, stalled, m_changedUtc);
    }
}

void SiteFeed::notCompared()
{
    if (m_stalled) {
        m_stalled = false;
        emit stallChanged(m_address, false, m_changedUtc);
    }
    m_address.clear();
    m_usualGapMs.reset();
}

QDateTime SiteFeed::changedTime(const QString& address, const QDateTime& checkedUtc) const
{
    return address == m_address && m_changedUtc.isValid() && checkedUtc.isValid() &&
                   m_changedUtc <= checkedUtc
               ? m_changedUtc
               : checkedUtc;
}

qint64 SiteFeed::changedAgeMs(const QString& address, const QDateTime& checkedUtc, qint64 checkedAgeMs) const
{
    if (checkedAgeMs < 0) {
        return -1;
    }
    return checkedAgeMs + changedTime(address, checkedUtc).msecsTo(checkedUtc);
}

QString SiteFeed::stallSentence(const QString& time, std::optional<qint64> usualGapMs)
{
    const QString sentence = QStringLiteral("The site has shown the same picture since %1").arg(time);
    return usualGapMs
               ? sentence +
                     QStringLiteral(" (it usually changes every %1)").arg(PictureAge::duration(*usualGapMs))
               : sentence;
}

#include "core/RefreshHealth.h"

#include "core/ShownTime.h"

#include <QCoreApplication>

void RefreshHealth::judged(bool ok, const QString& reason, qint64 now, const QDateTime& wallNow)
{
    if (ok) {
        ++m_ok;
        m_goodAgain = m_goodAgain || m_told;
        m_told = false;
        m_failingSince = -1;
        return;
    }
    ++m_failed;
    m_lastFailureTime = wallNow;
    m_lastFailureReason = reason;
    if (m_failingSince < 0) {
        m_failingSince = now;
        m_failingSinceWall = wallNow;
    }
}

QString RefreshHealth::notice(qint64 now)
{
    if (m_goodAgain) {
        m_goodAgain = false;
        return QCoreApplication::translate("RefreshHealth", "Radar refresh works again");
    }
    if (m_failingSince >= 0 && !m_told && now - m_failingSince >= TellFailingAfterMs) {
        m_told = true;
        return QCoreApplication::translate("RefreshHealth", "Radar refresh failing since %1")
            .arg(ShownTime::of(m_failingSinceWall));
    }
    return {};
}

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the remote view tells of the window at one moment, and the three forms it is told in: the
// status document, the metrics text and the small page for a phone.
struct RemoteReport
{
    QString address; // of the picture on screen
    QString title;
    QDateTime pictureTime; // when the picture on screen was last checked (a good load); invalid: none yet
    qint64 ageSeconds = -1;
    QDateTime changedTime; // when the site's picture last changed, as far as it was seen
    qint64 changedAgeSeconds = -1;
    int intervalMinutes = 0; // 0: no automatic refresh
    QDateTime nextRefresh;   // invalid: none due
    QString state;           // "ok", "stalled", "loading", "failed", "crashing", "waiting" or "asleep"
    QDateTime lastFailureTime;
    QString lastFailureReason;
    QString alertLevel; // empty: no storm alert
    QDateTime alertSince;
    int framesKept = 0;
    qint64 refreshesOk = 0;
    qint64 refreshesFailed = 0;
    QString version;

    QByteArray statusJson() const;
    QByteArray metrics() const;
    // The picture's age in words: "just now", "4 minutes", "2 hours 5 minutes".
    static QString ageInWords(qint64 seconds);
    // Everything from the page is escaped; the loop plays when there are frames, else the picture is
    // fetched anew every 30 s, with the token given (empty: none needed).
    QByteArray phonePage(const QString& token) const;
};

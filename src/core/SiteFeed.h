#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>

// What is known of the site behind the page on screen: when its picture last changed (as against
// when it was last loaded), how often it usually changes, and whether its feed has stalled. Frames
// are compared only of a page being watched; of any other page the picture changed when it was
// loaded.
class SiteFeed : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The picture of a load of address (at checkedUtc) was compared with the frames kept: new (kept
    // at frameUtc) or the same as the one kept at frameUtc. usualGapMs is the site's cadence as the
    // frames kept tell it; intervalMinutes the refresh interval running.
    void compared(const QString& address, bool newPicture, const QDateTime& frameUtc,
                  std::optional<qint64> usualGapMs, const QDateTime& checkedUtc, int intervalMinutes);

    // A load whose picture is not compared (its page is not watched): nothing is known of its
    // changes any more, so it changed when it was loaded.
    void notCompared();

    // When the picture of address, last loaded at checkedUtc, last changed.
    QDateTime changedTime(const QString& address, const QDateTime& checkedUtc) const;
    // How old that change is, from the age of the last good load (-1: none).
    qint64 changedAgeMs(const QString& address, const QDateTime& checkedUtc, qint64 checkedAgeMs) const;
    bool stalled(const QString& address) const { return m_stalled && address == m_address; }
    std::optional<qint64> usualGapMs(const QString& address) const
    {
        return address == m_address ? m_usualGapMs : std::nullopt;
    }

    // What the status bar says of a stalled feed.
    static QString stallSentence(const QString& time, std::optional<qint64> usualGapMs);

signals:
    // The feed of address stalled (since: the time its picture last changed) or came back.
    void stallChanged(const QString& address, bool stalled, const QDateTime& since);

private:
    QString m_address;
    QDateTime m_changedUtc;
    std::optional<qint64> m_usualGapMs;
    bool m_stalled = false;
};

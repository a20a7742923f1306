#pragma once

#include "core/UpdateCheck.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QTimer;
class UpdateProbe;
class Watch;

// Follows the site of the page on screen between the timed refreshes: once a period it asks, cheaply,
// whether the page or its main picture changed, and says so when one did. Followed are the addresses
// the user chose (kept with their settings) or every one (the wall display's --follow), while the page
// is watched. One question for each of the two a period at most; a question that fails says nothing.
class SiteFollower : public QObject
{
    Q_OBJECT
public:
    static constexpr int PeriodMs = 60 * 1000;

    struct Parts
    {
        Watch& watch;                     // what is watched, and each address's settings
        UpdateProbe& probe;               // asks the site
        std::function<QString()> page;    // the address on screen
        std::function<QString()> picture; // its main picture's address; empty: none known
        std::function<bool()> busy;       // a load is under way: nothing is asked meanwhile
    };

    // periodMs: how often the site is asked.
    explicit SiteFollower(Parts parts, int periodMs = PeriodMs, QObject* parent = nullptr);

    // Every watched page followed, whatever its settings say (the wall display's --follow).
    void setFollowAll(bool on) { m_followAll = on; }
    bool followAll() const { return m_followAll; }
    // Whether the address is followed when watched: by its settings or by followAll.
    bool followed(const QString& address) const;
    // The user's choice for an address, kept with its settings.
    void setFollowed(const QString& address, bool on);

    // The refresh a change started found no new picture: the answer that said so changes without
    // the picture (a page that is made anew for every visitor). Twice over, it is asked no more.
    void pictureCompared(bool newPicture);

    // A good load of the page on screen: the first of a page is followed from what the site says
    // now, asked at once.
    void pageLoaded();

    // One period's questions (the timer's, and for tests).
    void check();

signals:
    // The page or its picture changed on the site: refresh now.
    void changeSeen();
    // Something to tell in the status bar (once an address).
    void said(const QString& text);

private:
    void ask();
    void answered(int round, const QString& target, const UpdateCheck::Answer& answer);
    void roundEnded();

    Parts m_parts;
    bool m_followAll = false;
    QTimer* m_timer;
    QElapsedTimer m_lastAsked;                  // since the last questions were sent
    QString m_page;                             // the page the answers are of
    QHash<QString, UpdateCheck::Answer> m_last; // by address asked: the last good answer
    QHash<QString, int> m_noisy;                // by address asked: changes that brought no new picture
    QSet<QString> m_saidOf;                     // the pages it was said of that they cannot be followed
    int m_pending = 0;                          // questions of the round still unanswered
    int m_round = 0;                            // the round asked last; answers of another are passed over
    bool m_roundComparable = false;             // an answer of the round could tell a change
    bool m_roundCannot = false;                 // one could not, for want of anything to compare
    QString m_changedTarget;                    // what said the page changed, in this round
    QString m_lastChangedTarget;                // what started the last refresh, until it is judged
};

#pragma once

#include "core/ReloadWatch.h"
#include "platform/WatchedView.h"

#include <QDateTime>
#include <QImage>
#include <QObject>

#include <functional>

class QTimer;

// Watches every load Skyvane starts by itself over a view: the last good picture covers the view
// until the new page has loaded, its pictures are decoded and painted and its main picture is there;
// a load that fails keeps the last good picture (or shows a card while there is none yet) and is tried
// again by the reload rules. Loads the user asks for are shown as the engine shows them, but only a
// page that passed the same look is called a good load.
class PageWatcher : public QObject
{
    Q_OBJECT
public:
    // Milliseconds: a monotonic clock for durations, the wall clock for the times shown.
    using Clock = std::function<qint64()>;

    // How long the look at a loaded page waits for its pictures to be painted, and how often it asks.
    static constexpr int PaintWaitMs = 5000;
    static constexpr int LookEveryMs = 100;
    // How much longer than that a page may take to answer at all.
    static constexpr int UnansweredMs = 5000;

    PageWatcher(WatchedView& view, Clock monotonic, Clock wall, QObject* parent = nullptr);

    void setTimings(const ReloadWatch::Timings& timings);

    // A load Skyvane starts by itself (the start page, a command-line address, a rotation's turn).
    void openWatched(const QString& address);
    // The user asks for another page (Go, a site, Back, Forward, a file): the watch lets go.
    void letGo();
    // A refresh of the page on screen, under the cover.
    void refresh(bool bypassCache);
    // While on, the page's dialogs are answered at once whoever started the load (the wall display).
    void setUnattended(bool on);

    // The engine's reports.
    void loadStarted(const QString& target);
    void progressed();
    // ok: the engine loaded the page at url; otherwise failure (and its detail) says why not.
    void loadEnded(bool ok, const QString& url, ReloadWatch::Failure failure, const QString& detail);
    void rendererDied();
    void connectionRestored();
    // The user touched the cover: the live page, whatever state it is in.
    void coverTouched();
    // A few words about the picture, after the load's own status text.
    void pictureNote(const QString& note);

    bool failed() const { return m_watch.failed(); }
    bool loading() const { return m_watch.loading(); }
    bool crashing() const { return m_watch.crashing(m_now()); }
    bool holdTitle() const { return m_watch.holdTitle(); }
    const QString& stateText() const { return m_stateText; }
    // The address of the picture on screen: the watched one while a failure holds its picture.
    QString pictureAddress() const;
    // When the picture on screen was loaded (invalid: no good load yet), and how old it is.
    QDateTime pictureTime() const;
    qint64 pictureAgeMs() const;
    // The address of the main picture of the page at its last good look; empty: it had none.
    const QString& mainPictureAddress() const { return m_mainPicture; }

signals:
    void statusText(const QString& text);
    // A load's end has been judged (good or not): the status, the failure and the picture are set.
    void loadJudged();
    // A load of ours (a refresh, a retry, a watched open) ended well, or failed and why.
    void refreshJudged(bool ok, const QString& reason);
    // A load of ours was good: the caption may follow the page again.
    void titleReleased();
    // The page as it shows on screen after a good load, its pictures painted.
    void pictureShown(const QImage& picture, const QString& address);

private:
    void startAttempt(ReloadWatch::Step step, bool bypassCache);
    void startLoading();
    void coverNow();
    void release();
    void tick();
    void showNotice();
    void look(int generation, qint64 deadline, bool ours, const QString& url);
    void judge(bool ours, const QString& url, int mainPicture);
    void conclude(bool ours, const QString& url, ReloadWatch::Failure failure, const QString& detail,
                  const QImage& shot);
    void setState(const QString& text);

    WatchedView& m_view;
    Clock m_now;
    Clock m_wall;
    ReloadWatch m_watch;
    QTimer* m_timer;   // runs the reload rules while a load of ours loads or has failed
    QImage m_lastSeen; // the page as last seen on screen after a good load
    bool m_lastSeenOneColour = false;
    bool m_hadMainPicture = false; // the watched page showed a main picture at its last good load
    QString m_mainPicture;         // its address, as the page gave it
    QString m_lookedPicture;       // the main picture's address the last look saw
    bool m_pageGood = false;       // the page on screen passed its look
    qint64 m_lastGood = 0;         // monotonic: when the picture on screen was loaded (0: none)
    qint64 m_lastGoodWall = 0;
    int m_generation = 0;       // a new load makes an unfinished look at the last one void
    int m_stopping = 0;         // ticks left to wait for a stopped load to report its end
    qint64 m_bytes = -1;        // bytes received at the last tick, while a load of ours loads
    qint64 m_elements = -1;     // the page's element count at the last tick
    double m_oldDocument = -1;  // when the document on screen as a load began was begun
    bool m_newDocument = false; // the loading document has replaced it
    bool m_unattended = false;
    bool m_looking = false;    // a loaded page is being looked at before it is judged
    qint64 m_lookDeadline = 0; // when the look stops waiting for the page's pictures to be painted
    bool m_cardShown = false;  // the cover is the card, not a picture
    QString m_stateText;
};

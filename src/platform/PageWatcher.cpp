#include "platform/PageWatcher.h"

#include "core/FrameChange.h"
#include "platform/FrameWorker.h"

#include <QTimer>

namespace {

// Run apart from the page's scripts. The first call waits for every picture of the page to be decoded
// (a picture that never decodes is waited for five seconds) and then for two frames to be drawn; each
// call answers [painted, main picture, its address], the main picture being the largest one the page
// shows at 100 x 100 pixels or more: 1 loaded, -1 broken or empty, 0 none.
const QString LookScript = QStringLiteral(R"JS((() => {
    const s = window.__skyvaneLook || (window.__skyvaneLook = { painted: false });
    if (!s.started) {
        s.started = true;
        const settled = (p) => Promise.race([p.catch(() => {}), new Promise((r) => setTimeout(r, 5000))]);
        Promise.all(Array.from(document.images, (i) => settled(i.decode()))).then(() =>
            requestAnimationFrame(() => requestAnimationFrame(() => { s.painted = true; })));
    }
    let main = null, area = 0;
    for (const i of document.images) {
        const r = i.getBoundingClientRect();
        const w = Math.min(r.right, innerWidth) - Math.max(r.left, 0);
        const h = Math.min(r.bottom, innerHeight) - Math.max(r.top, 0);
        if (w >= 100 && h >= 100 && w * h > area) { area = w * h; main = i; }
    }
    return [s.painted, main === null ? 0 : (main.complete && main.naturalWidth > 0 ? 1 : -1),
            main === null ? '' : String(main.currentSrc || main.src).slice(0, 4096)];
})())JS");

// The page's element count, and when its document began (a new document begins at another time).
const QString ProgressScript =
    QStringLiteral("[document.getElementsByTagName('*').length, performance.timeOrigin]");

// A picture of a frame reaches the view a moment after the page has drawn it.
constexpr int CompositorMs = 50;

// The same small copy the frames are compared by.
bool oneColour(const QImage& picture)
{
    return !picture.isNull() && FrameChange::isOneColour(FrameWorker::thumbOf(picture).pixels);
}

} // namespace

PageWatcher::PageWatcher(WatchedView& view, Clock monotonic, Clock wall, QObject* parent)
    : QObject(parent), m_view(view), m_now(std::move(monotonic)), m_wall(std::move(wall)),
      m_timer(new QTimer(this))
{
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &PageWatcher::tick);
}

void PageWatcher::setTimings(const ReloadWatch::Timings& timings)
{
    m_watch.setTimings(timings);
    m_timer->setInterval(
        int(qBound(qint64(50), qMin(timings.noProgressLimitMs, timings.retryAfterMs) / 4, qint64(1000))));
}

void PageWatcher::openWatched(const QString& address)
{
    const QString before = m_watch.watchedUrl();
    ++m_generation;
    m_stopping = 0;
    m_looking = false;
    m_watch.beginLoad(m_now(), address);
    if (m_watch.watchedUrl() != before) {
        m_hadMainPicture = false;
    }
    startLoading();
    m_view.load(address);
}

void PageWatcher::letGo()
{
    ++m_generation;
    m_looking = false;
    release();
}

void PageWatcher::release()
{
    m_watch.reset();
    m_timer->stop();
    m_stopping = 0;
    m_cardShown = false;
    m_view.uncover();
    m_view.answerPageDialogs(m_unattended);
}

void PageWatcher::setUnattended(bool on)
{
    m_unattended = on;
    m_view.answerPageDialogs(on || m_watch.loading());
}

void PageWatcher::refresh(bool bypassCache)
{
    if (m_view.address().isEmpty()) {
        m_view.reload(bypassCache);
        return;
    }
    if (m_stopping > 0) {
        return; // the load given up on is still ending; the retry follows it
    }
    startAttempt(m_watch.begin(m_now(), m_view.address()), bypassCache);
}

void PageWatcher::startAttempt(ReloadWatch::Step step, bool bypassCache)
{
    if (step != ReloadWatch::Step::ReloadPage && step != ReloadWatch::Step::LoadWatched) {
        return; // one is loading already: one request is enough
    }
    ++m_generation;
    m_looking = false;
    startLoading();
    if (step == ReloadWatch::Step::LoadWatched) {
        m_view.load(m_watch.watchedUrl()); // not the login page the last attempt ended on
    } else {
        m_view.reload(bypassCache);
    }
}

void PageWatcher::startLoading()
{
    coverNow();
    m_view.answerPageDialogs(true); // not even a leave-page question may hold the load up
    m_bytes = -1;
    m_elements = -1;
    m_oldDocument = -1;
    m_newDocument = false;
    // Which document is on screen now: the page being left may go on receiving data (a live feed) until
    // the new one arrives, and that is no progress of the load. (The script reaches the page before
    // the new document can.)
    m_view.inspect(ProgressScript, [this, generation = m_generation](const QVariant& v) {
        if (generation == m_generation) {
            m_oldDocument = v.toList().value(1).toDouble();
        }
    });
    m_timer->start();
}

void PageWatcher::coverNow()
{
    // A picture can be taken only of a page on screen, and a page that failed its look may be an error
    // page: otherwise the cover is the page as it is now, scrolled as the user left it.
    if (!m_view.covered() && !m_watch.failed() && m_pageGood && m_view.onScreen()) {
        if (const QImage now = m_view.picture(); !now.isNull()) {
            m_lastSeen = now;
        }
    }
    if (!m_lastSeen.isNull()) {
        if (!m_view.covered() || m_cardShown) {
            m_view.cover(m_lastSeen);
        }
        m_cardShown = false;
    } else if (m_watch.failed()) {
        m_view.coverWithCard(m_watch.card(m_now(), m_wall())); // never the engine's error page
        m_cardShown = true;
    }
}

void PageWatcher::loadStarted(const QString& target)
{
    m_pageGood = false;
    if (m_watch.failed()) {
        showNotice(); // the failure stays said until a load succeeds
        return;
    }
    m_stateText = target.isEmpty() ? tr("Opening page...") : tr("Opening page %1...").arg(target);
}

void PageWatcher::progressed()
{
    m_watch.progressed(m_now());
}

void PageWatcher::loadEnded(bool ok, const QString& url, ReloadWatch::Failure failure, const QString& detail)
{
    if (std::exchange(m_stopping, 0) > 0) {
        // The load given up on has ended, as failed already; the retry may be due.
        showNotice();
        emit loadJudged();
        tick();
        return;
    }
    const bool ours = m_watch.loading();
    if (!ok) {
        conclude(ours, url,
                 failure == ReloadWatch::Failure::None ? ReloadWatch::Failure::NoConnection : failure, detail,
                 {});
        return;
    }
    m_looking = true;
    const int generation = ++m_generation;
    m_lookDeadline = m_now() + PaintWaitMs;
    look(generation, m_lookDeadline, ours, url);
    if (!ours) {
        // A page that never answers (a script that never ends, a box of its own) is taken as it shows.
        // (A load of ours that does not answer fails: see tick().)
        QTimer::singleShot(PaintWaitMs + UnansweredMs, this, [=, this] {
            if (generation == m_generation && m_looking) {
                judge(false, url, 0);
            }
        });
    }
}

void PageWatcher::look(int generation, qint64 deadline, bool ours, const QString& url)
{
    m_view.inspect(LookScript, [this, generation, deadline, ours, url](const QVariant& answer) {
        if (generation != m_generation) {
            return; // another load has begun
        }
        const QVariantList seen = answer.toList();
        const bool painted = seen.value(0).toBool();
        if (!painted && m_now() < deadline) {
            QTimer::singleShot(LookEveryMs, this, [=, this] {
                if (generation == m_generation) {
                    look(generation, deadline, ours, url);
                }
            });
            return;
        }
        QTimer::singleShot(painted ? CompositorMs : 0, this, [=, this] {
            if (generation == m_generation) {
                m_lookedPicture = seen.value(2).toString();
                judge(ours, url, seen.value(1).toInt());
            }
        });
    });
}

void PageWatcher::judge(bool ours, const QString& url, int mainPicture)
{
    m_looking = false;
    const QImage shot = m_view.onScreen() ? m_view.picture() : QImage();
    const bool blank = oneColour(shot);
    using F = ReloadWatch::Failure;
    F failure = F::None;
    if (mainPicture < 0) {
        failure = F::PictureMissing;
    } else if (ours && mainPicture == 0 && m_hadMainPicture) {
        failure = F::PictureGone; // a "temporarily unavailable" page that answers 200
    } else if (ours && blank && !m_lastSeen.isNull() && !m_lastSeenOneColour) {
        failure = F::PictureMissing;
    }
    if (failure == F::None) {
        m_hadMainPicture = mainPicture > 0;
        m_mainPicture = mainPicture > 0 ? m_lookedPicture : QString();
        m_lastSeenOneColour = blank;
    }
    conclude(ours, url, failure, {}, shot);
}

void PageWatcher::conclude(bool ours, const QString& url, ReloadWatch::Failure failure, const QString& detail,
                           const QImage& shot)
{
    m_looking = false;
    const qint64 now = m_now();
    const ReloadWatch::Outcome outcome =
        ours ? m_watch.finished(now, url, failure, detail) : ReloadWatch::Outcome::NotOurs;
    const bool good = outcome == ReloadWatch::Outcome::Good ||
                      (outcome == ReloadWatch::Outcome::NotOurs && failure == ReloadWatch::Failure::None);
    m_pageGood = good;
    if (good) {
        m_lastGood = now;
        m_lastGoodWall = m_wall();
        if (!shot.isNull()) {
            m_lastSeen = shot; // the next cover, and a frame of the picture the user sees
            emit pictureShown(shot, m_view.address());
        }
        if (outcome == ReloadWatch::Outcome::Good || !m_watch.failed()) {
            release();
        }
        if (outcome == ReloadWatch::Outcome::Good) {
            emit titleReleased(); // held while the picture was covered
        }
        setState(tr("Done - loaded at %1")
                     .arg(QDateTime::fromMSecsSinceEpoch(m_lastGoodWall)
                              .time()
                              .toString(QStringLiteral("HH:mm:ss"))));
    } else if (outcome == ReloadWatch::Outcome::Failed) {
        m_view.answerPageDialogs(m_unattended);
        coverNow();
        setState(m_watch.notice(now, m_wall(), m_lastGood));
    } else {
        setState(tr("Could not open %1: %2").arg(url, ReloadWatch::words(failure, detail)));
    }
    if (outcome == ReloadWatch::Outcome::Good || outcome == ReloadWatch::Outcome::Failed) {
        emit refreshJudged(outcome == ReloadWatch::Outcome::Good, m_watch.reasonText());
    }
    emit loadJudged();
}

void PageWatcher::tick()
{
    const qint64 now = m_now();
    if (m_stopping > 0) {
        --m_stopping; // waiting for the given-up load to report its end
        return;
    }
    if (m_watch.loading() && !m_looking) {
        m_view.inspect(ProgressScript, [this, generation = m_generation](const QVariant& v) {
            if (generation != m_generation || !m_watch.loading()) {
                return;
            }
            const QVariantList seen = v.toList();
            // A page that grows counts. (A count of its elements: serializing a large page every second
            // would cost far more.)
            const qint64 elements = seen.value(0).toLongLong();
            bool progress = m_elements >= 0 && elements != m_elements;
            m_elements = elements;
            // Once the new document is there, data arriving for any part of it counts, a picture
            // trickling in over a slow link too.
            m_newDocument = m_newDocument || seen.value(1).toDouble() != m_oldDocument;
            if (m_newDocument) {
                const qint64 bytes = m_view.bytesReceived();
                progress = progress || (bytes >= 0 && m_bytes >= 0 && bytes != m_bytes);
                m_bytes = bytes;
            }
            if (progress) {
                m_watch.progressed(m_now());
            }
        });
    }
    if (m_looking && m_watch.loading() && now >= m_lookDeadline + UnansweredMs) {
        // The page does not answer the look at all: it cannot hold the watch.
        ++m_generation;
        conclude(true, m_watch.watchedUrl(), ReloadWatch::Failure::NoAnswer, {}, {});
        return;
    }
    const ReloadWatch::Step step = m_looking ? ReloadWatch::Step::Nothing : m_watch.tick(now);
    if (step == ReloadWatch::Step::Stop) {
        m_stopping = 3;
        m_view.answerPageDialogs(m_unattended);
        coverNow();
        showNotice();
        m_view.stop(); // the load ends as failed; the retry comes once it has
        return;
    }
    if (step == ReloadWatch::Step::Retry) {
        startAttempt(m_watch.begin(now, m_view.address()), false);
    }
    showNotice();
    if (!m_watch.loading() && !m_watch.failed() && !m_looking) {
        m_timer->stop();
    }
}

void PageWatcher::showNotice()
{
    const QString notice = m_watch.notice(m_now(), m_wall(), m_lastGood);
    if (!notice.isEmpty() && notice != m_stateText) {
        setState(notice);
        if (m_cardShown) {
            m_view.coverWithCard(m_watch.card(m_now(), m_wall()));
        }
    }
}

void PageWatcher::rendererDied()
{
    // Like a failed refresh: the last good picture stays, and the page is loaded again under it, at
    // once the first time and after a growing pause when it keeps crashing.
    if (m_view.address().isEmpty()) {
        return;
    }
    ++m_generation;
    m_looking = false;
    m_pageGood = false;
    m_watch.crashed(m_now());
    coverNow();
    m_timer->start();
    showNotice();
    QTimer::singleShot(0, this, &PageWatcher::tick); // not from inside the engine's own notification
}

void PageWatcher::connectionRestored()
{
    m_watch.connectionRestored(m_now());
    if (m_watch.failed() && !m_watch.loading()) {
        tick();
    }
}

void PageWatcher::coverTouched()
{
    m_view.uncover();
    m_cardShown = false;
}

void PageWatcher::pictureNote(const QString& note)
{
    if (m_watch.failed() || m_view.covered()) {
        return; // a load is under way: its own state is the news
    }
    setState(m_stateText.section(QStringLiteral(". "), 0, 0) + QStringLiteral(". ") + note);
}

void PageWatcher::setState(const QString& text)
{
    m_stateText = text;
    emit statusText(text);
}

QString PageWatcher::pictureAddress() const
{
    return m_watch.holdTitle() && !m_watch.watchedUrl().isEmpty() ? m_watch.watchedUrl() : m_view.address();
}

QDateTime PageWatcher::pictureTime() const
{
    return m_lastGood > 0 ? QDateTime::fromMSecsSinceEpoch(m_lastGoodWall) : QDateTime();
}

qint64 PageWatcher::pictureAgeMs() const
{
    return m_lastGood > 0 ? m_now() - m_lastGood : -1;
}

#include "windows/WindowReport.h"

#include "core/AddressRules.h"
#include "core/AppState.h"
#include "core/BrowsingSession.h"
#include "core/LoopTiming.h"
#include "core/Notifier.h"
#include "core/Preferences.h"
#include "core/RegularFile.h"
#include "core/ShownTime.h"
#include "core/SiteFeed.h"
#include "core/Watch.h"
#include "platform/BrowserControl.h"
#include "platform/FrameRecorder.h"
#include "platform/LoopFrames.h"
#include "platform/LoopWriters.h"

#include <QBuffer>
#include <QImage>
#include <QTimer>
#include <QUrl>

WindowReport::WindowReport(Parts parts, QObject* parent)
    : QObject(parent), m_parts(std::move(parts)), m_clock(new QTimer(this))
{
    m_pool.setMaxThreadCount(1); // in turn, never many at once whatever the clients ask
    BrowserControl* browser = m_parts.browser;
    connect(browser, &BrowserControl::refreshJudged, this, &WindowReport::judged);
    connect(browser, &BrowserControl::pictureShown, this,
            [this](const QImage& picture, const QString& address) { pictureShown(picture, address); });
    if (FrameRecorder* frames = m_parts.frames) {
        connect(frames, &FrameRecorder::alertChanged, this,
                [this](const QString& address, bool active, const QDateTime& since) {
                    if (active) {
                        m_alertAddress = address;
                        m_alertSince = since;
                    } else if (address == m_alertAddress) {
                        m_alertAddress.clear();
                    }
                });
    }
    if (const SiteFeed* feed = m_parts.feed) {
        connect(feed, &SiteFeed::stallChanged, this,
                [this](const QString& address, bool stalled, const QDateTime& since) {
                    if (stalled && m_parts.notifier) {
                        m_parts.notifier->notify(
                            {Notifier::Kind::Stalled,
                             tr("No new picture since %1").arg(ShownTime::of(since)),
                             tr("%1 has shown the same picture for much longer than it usually does.")
                                 .arg(AddressRules::withoutCredentials(address)),
                             address,
                             {}});
                    }
                });
    }
    m_clock->setInterval(60 * 1000);
    connect(m_clock, &QTimer::timeout, this, &WindowReport::tell);
    m_clock->start();
}

WindowReport::~WindowReport()
{
    m_closing = true; // a loop being made stops
    m_pool.clear();
    m_pool.waitForDone();
}

void WindowReport::judged(bool ok, const QString& reason)
{
    m_health.judged(ok, reason, m_parts.monotonicMs(), QDateTime::currentDateTimeUtc());
    tell();
}

void WindowReport::tell()
{
    const QString notice = m_health.notice(m_parts.monotonicMs());
    if (!notice.isEmpty() && m_parts.notifier) {
        const QString address = m_parts.browser->pictureAddress();
        const bool failing = m_health.failing();
        m_parts.notifier->notify(
            {failing ? Notifier::Kind::Failing : Notifier::Kind::Back,
             notice,
             failing ? m_health.lastFailureReason() : AddressRules::withoutCredentials(address),
             address,
             {}});
    }
}

QByteArray WindowReport::picturePng() const
{
    return AddressRules::samePage(m_pngAddress, m_parts.browser->pictureAddress()) ? m_png : QByteArray();
}

void WindowReport::pictureShown(const QImage& picture, const QString& address)
{
    m_shownAddress = address;
    if (!m_serving) {
        return;
    }
    const int generation = ++m_pngGeneration;
    m_pool.start([this, picture, address, generation] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        QMetaObject::invokeMethod(this, [this, png, address, generation] {
            if (generation == m_pngGeneration) { // never an older picture over a newer one
                m_png = png;
                m_pngAddress = address;
            }
        });
    });
}

RemoteReport WindowReport::report() const
{
    const BrowserControl* browser = m_parts.browser;
    RemoteReport r;
    const QString address = browser->pictureAddress();
    r.address = AddressRules::withoutCredentials(address); // a site's password is never told
    r.title = m_parts.state.PageTitle;
    // The picture on screen is of another page (one opened that did not load): it is not this one's.
    const bool ownPicture = AddressRules::samePage(m_shownAddress, address);
    r.pictureTime = ownPicture ? browser->pictureTime() : QDateTime();
    const qint64 age = ownPicture ? browser->pictureAgeMs() : -1;
    r.ageSeconds = age >= 0 ? age / 1000 : -1;
    const SiteFeed* feed = m_parts.feed;
    r.changedTime = feed != nullptr ? feed->changedTime(address, r.pictureTime) : r.pictureTime;
    const qint64 changedAge = feed != nullptr ? feed->changedAgeMs(address, r.pictureTime, age) : age;
    r.changedAgeSeconds = changedAge >= 0 ? changedAge / 1000 : -1;
    const bool stalled = ownPicture && feed != nullptr && feed->stalled(address);
    r.intervalMinutes = m_parts.watch.runningInterval();
    const qint64 next = m_parts.watch.msToNextRefresh();
    r.nextRefresh = next >= 0 ? QDateTime::currentDateTimeUtc().addMSecs(next) : QDateTime();
    r.state =
        m_parts.watch.asleep()                                                   ? QStringLiteral("asleep")
        : browser->refreshCrashing()                                             ? QStringLiteral("crashing")
        : browser->refreshLoading() || (!ownPicture && browser->pageLoading())   ? QStringLiteral("loading")
        : browser->refreshFailed() || (!ownPicture && !m_shownAddress.isEmpty()) ? QStringLiteral("failed")
        : !r.pictureTime.isValid()                                               ? QStringLiteral("waiting")
        : stalled                                                                ? QStringLiteral("stalled")
                                                                                 : QStringLiteral("ok");
    r.lastFailureTime = m_health.lastFailureTime();
    r.lastFailureReason = m_health.lastFailureReason();
    if (!m_alertAddress.isEmpty() && AddressRules::samePage(m_alertAddress, address)) {
        const Preferences::Area* area = m_parts.watch.siteSettings(m_alertAddress);
        r.alertLevel = area != nullptr ? area->alertLevel : QStringLiteral("heavy");
        r.alertSince = m_alertSince;
    }
    if (FrameRecorder* frames = m_parts.frames; frames && !address.isEmpty()) {
        r.framesKept = qMax(0, frames->keptCount(address));
    }
    r.refreshesOk = m_health.okCount();
    r.refreshesFailed = m_health.failedCount();
    r.version = QStringLiteral(SKYVANE_VERSION);
    return r;
}

void WindowReport::loop(const QString& suffix, std::function<void(const QByteArray&)> done)
{
    const FrameRecorder* frames = m_parts.frames;
    const QString address = m_parts.browser->pictureAddress();
    if (frames == nullptr || address.isEmpty()) {
        done({});
        return;
    }
    const LoopWriter* writer = &LoopWriters::forSuffix(suffix);
    MadeLoop& made = m_loops[writer->suffix()];
    made.waiting.append(std::move(done));
    if (made.making) {
        return;
    }
    made.making = true;
    // Timed as Replay plays it, and made again when the speed, the dwell or the times drawn change.
    const Preferences& prefs = m_parts.state.Prefs;
    const double fps =
        Preferences::FramesPerSecond[qBound(0, prefs.replaySpeed, Preferences::SpeedCount - 1)];
    const int dwellMs = prefs.dwellMs;
    const bool stamp = prefs.timeOnFrames;
    const QString settings = QStringLiteral("%1 %2 %3").arg(fps).arg(dwellMs).arg(stamp);
    // The frames folder is looked at on the pool's thread too: it may hold very many files.
    m_pool.start([this, writer, store = frames->store(), address, fps, dwellMs, stamp, settings,
                  madeKey = made.key, madeBytes = made.bytes] {
        const QList<FrameStore::Frame> kept = store.frames(address);
        const QString key =
            kept.isEmpty() ? QString()
                           : address + QLatin1Char('\n') + kept.last().path + QLatin1Char('\n') + settings;
        QByteArray loop = key == madeKey ? madeBytes : QByteArray();
        if (!key.isEmpty() && loop.isEmpty()) {
            QList<QByteArray> pngs;
            QStringList times;
            for (const FrameStore::Frame& f : kept) {
                if (QByteArray png = RegularFile::read(f.path, 64 * 1024 * 1024).value_or(QByteArray());
                    !png.isEmpty()) {
                    pngs.append(std::move(png));
                    times.append(stamp ? ShownTime::of(f.takenUtc) : QString());
                }
            }
            loop = LoopFrames::encode(*writer, pngs, times,
                                      LoopTiming::durations(int(pngs.size()), fps, dwellMs),
                                      [this](int) { return !m_closing.load(); });
        }
        QMetaObject::invokeMethod(this, [this, format = writer->suffix(), loop, key] {
            MadeLoop& entry = m_loops[format];
            entry.making = false;
            entry.key = key;
            entry.bytes = loop;
            for (const auto& waiting : std::exchange(entry.waiting, {})) {
                waiting(loop);
            }
        });
    });
}

void WindowReport::refresh()
{
    m_parts.session->refreshNow();
}

void WindowReport::next()
{
    if (m_next && m_next()) {
        return;
    }
    if (const std::optional<SiteRecord> site =
            m_parts.rotation.next(SiteListFile(m_parts.state.siteListPath()).readAll())) {
        m_parts.session->go(site->URL);
    }
}

QString WindowReport::open(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (QString refused = AddressRules::refusalFromAfar(url, address); !refused.isEmpty()) {
        return refused;
    }
    m_parts.session->go(QString::fromLatin1(url.toEncoded()));
    return {};
}

#pragma once

#include "core/RefreshHealth.h"
#include "core/RemoteSource.h"
#include "core/SiteRotation.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

class AppState;
class BrowserControl;
class BrowsingSession;
class FrameRecorder;
class Notifier;
class SiteFeed;
class QTimer;
class Watch;

// The main window as told outside it: how the refreshes go (a desktop notification once they have
// failed for half an hour, and when they work again; one when the site's feed stalls), and, for the remote
// view, the picture, the loop and the actions. Pictures are encoded and loops made on threads of its own.
class WindowReport : public QObject, public RemoteSource
{
    Q_OBJECT
public:
    struct Parts
    {
        AppState& state; // the page's title, the saved sites, the preferences
        BrowserControl* browser;
        BrowsingSession* session; // what Refresh, Next and Open do
        const Watch& watch;
        FrameRecorder* frames;               // none: no frames are kept, no loop
        const SiteFeed* feed;                // when the site's picture changed; none: when loaded
        SiteRotation& rotation;              // the saved sites in turn, shared with the wall display
        std::unique_ptr<Notifier> notifier;  // none: no notifications
        std::function<qint64()> monotonicMs; // for the failure's duration
    };

    explicit WindowReport(Parts parts, QObject* parent = nullptr);
    ~WindowReport() override; // waits for the pictures being encoded

    // The remote view reads this report: the pictures shown are kept as PNG from now on.
    void serve() { m_serving = true; }
    // What POST /next does first (the wall display's rotation); when that is not set or does nothing
    // (false), the next saved site in list order is opened.
    void setNext(std::function<bool()> next) { m_next = std::move(next); }

    RemoteReport report() const override;
    QByteArray picturePng() const override; // of the address on screen only
    void loop(const QString& suffix, std::function<void(const QByteArray&)> done) override;
    void refresh() override;
    void next() override;
    QString open(const QString& address) override;

private:
    void judged(bool ok, const QString& reason);
    void tell();
    void pictureShown(const QImage& picture, const QString& address);

    Parts m_parts;
    std::function<bool()> m_next;
    RefreshHealth m_health;
    QTimer* m_clock; // a failure is told when it has lasted long enough, loads or not
    bool m_serving = false;
    QByteArray m_png;
    QString m_pngAddress;   // the page m_png is a picture of
    QString m_shownAddress; // the page of the last picture shown
    int m_pngGeneration = 0;
    QString m_alertAddress; // the address whose storm alert is on; empty: none
    QDateTime m_alertSince;
    // A loop in one format: made for one address and its newest frame, kept until a new frame comes.
    struct MadeLoop
    {
        QString key;
        QByteArray bytes;
        bool making = false;
        QList<std::function<void(const QByteArray&)>> waiting;
    };
    QHash<QString, MadeLoop> m_loops; // by the format's suffix
    std::atomic_bool m_closing{false};
    QThreadPool m_pool;
};

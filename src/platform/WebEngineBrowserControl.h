#pragma once

#include "core/CrashEscalation.h"
#include "platform/BrowserControl.h"
#include "platform/PageWatcher.h"
#include "platform/SavePageDownloads.h"
#include "platform/SiteLogins.h"

#include <QHash>
#include <QWebEnginePage>

#include <functional>

class ContainedPage;
class EngineView;
class NetworkUpdateProbe;
class QAuthenticator;
class QTimer;
class QWebEngineLoadingInfo;
class QWebEngineView;

// The browser control over Qt WebEngine. The loads Skyvane starts by itself are watched by a page
// watcher over the engine's view; this control turns the main window's calls into theirs and tells
// how the loads go.
class WebEngineBrowserControl : public BrowserControl
{
    Q_OBJECT
public:
    static constexpr double ZoomFactors[5] = {0.75, 0.9, 1.0, 1.25, 1.5};
    // A load that ends sooner is not told in the status bar or the progress bar.
    static constexpr int LoadingShownAfterMs = 200;

    // reloadsBeforeRenewal: reloads of one page after which the next reload under the cover is made
    // by a fresh page; every one by default. A renderer kept for a few loads of a big picture already
    // swings by a sixth of its size, and grows over the days; one fresh for each load is the same size
    // at every refresh. supervised: a service manager starts the program again when it ends, the last
    // resort of a renderer that keeps dying.
    explicit WebEngineBrowserControl(QWidget* parent = nullptr, int reloadsBeforeRenewal = 0,
                                     bool supervised = false);
    ~WebEngineBrowserControl() override;

    void navigate(const QString& address) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    void refreshAtLevel(qint16 level) override;
    bool setTextSize(qint32 level) override;
    void saveAs() override;
    QString currentAddress() const override;
    void connectionRestored() override { m_watcher->connectionRestored(); }
    void setPictureNote(const QString& note) override { m_watcher->pictureNote(note); }
    void navigateCovered(const QString& address) override;
    bool refreshFailed() const override { return m_watcher->failed(); }
    bool refreshLoading() const override { return m_watcher->loading(); }
    bool refreshCrashing() const override { return m_watcher->crashing(); }
    bool pageLoading() const override;
    QString pictureAddress() const override { return m_watcher->pictureAddress(); }
    QDateTime pictureTime() const override { return m_watcher->pictureTime(); }
    qint64 pictureAgeMs() const override { return m_watcher->pictureAgeMs(); }
    QString mainPictureAddress() const override { return m_watcher->mainPictureAddress(); }
    UpdateProbe* updateProbe() override;
    void setWatchArea(const QString& address, const QRectF& pageRect) override;
    void pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done) override;
    void setUnattended(bool on) override;

    // How long a load may go without data, and how long after a failed one began it is retried.
    void setReloadTimings(int noProgressLimitMs, int retryAfterMs, int firstCrashPauseMs = 60000);
    // The pause before a page that crashed again is loaded again, doubled at each crash after.
    void setFirstCrashPause(int ms);

    void setSavePathAsker(SavePageDownloads::PathAsker asker) { m_saves->setPathAsker(std::move(asker)); }
    // Asked for a user name and password when a site wants them; false: the user cancelled.
    using LoginAsker = SiteLogins::Asker;
    void setLoginAsker(LoginAsker asker) { m_logins.setAsker(std::move(asker)); }
    QWebEngineView* view() const;

private:
    void open(const QString& address, bool watched);
    void wirePage(ContainedPage* page); // the page's reports, told by this control
    void onLoadStarted(const QUrl& target);
    void onLoadEnded(const QWebEngineLoadingInfo& info, bool interrupted);
    void onLinkHovered(const QString& url);
    void onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator);
    void onRendererDied();

    EngineView* m_engine;   // the engine's view and its page, filling this control
    QTimer* m_loadingShown; // tells how a load goes once it takes longer than a glance
    PageWatcher* m_watcher;
    int m_progress = 0;                   // the load's progress, told when m_loadingShown fires
    SavePageDownloads* m_saves = nullptr; // Save As through the engine's downloads
    bool m_unattended = false;            // nobody is there to answer (the wall display)
    SiteLogins m_logins;                  // for this run
    int m_loads = 0;
    NetworkUpdateProbe* m_probe = nullptr; // made when first asked for
    ReloadWatch::Timings m_timings;
    CrashEscalation m_escalation; // beyond the reload's pauses
};

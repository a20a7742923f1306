#pragma once

#include "platform/BrowserControl.h"
#include "platform/PageWatcher.h"
#include "platform/SavePageDownloads.h"
#include "platform/SiteLogins.h"
#include "platform/WatchedView.h"

#include <QHash>
#include <QWebEnginePage>

#include <functional>

class ContainedPage;
class PageRenewal;
class QAuthenticator;
class PictureCover;
class QTimer;
class WatchedPart;
class QWebEngineLoadingInfo;
class QWebEngineView;

// The browser control over Qt WebEngine. The loads Skyvane starts by itself are watched by a page
// watcher over this control's view.
class WebEngineBrowserControl : public BrowserControl, private WatchedView
{
    Q_OBJECT
public:
    static constexpr double ZoomFactors[5] = {0.75, 0.9, 1.0, 1.25, 1.5};
    // A load that ends sooner is not told in the status bar or the progress bar.
    static constexpr int LoadingShownAfterMs = 200;

    // reloadsBeforeRenewal: reloads of one page after which the next reload under the cover is made
    // by a fresh page; every one by default. A renderer kept for a few loads of a big picture already
    // swings by a sixth of its size, and grows over the days; one fresh for each load is the same size
    // at every refresh.
    explicit WebEngineBrowserControl(QWidget* parent = nullptr, int reloadsBeforeRenewal = 0);
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
    bool pageLoading() const override { return m_documentLoading; }
    QString pictureAddress() const override { return m_watcher->pictureAddress(); }
    QDateTime pictureTime() const override { return m_watcher->pictureTime(); }
    qint64 pictureAgeMs() const override { return m_watcher->pictureAgeMs(); }
    void setWatchArea(const QString& address, const QRectF& pageRect) override;
    void pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done) override;
    void setUnattended(bool on) override
    {
        m_unattended = on;
        m_watcher->setUnattended(on);
    }

    // How long a load may go without data, and how long after a failed one began it is retried.
    void setReloadTimings(int noProgressLimitMs, int retryAfterMs);

    void setSavePathAsker(SavePageDownloads::PathAsker asker) { m_saves->setPathAsker(std::move(asker)); }
    // Asked for a user name and password when a site wants them; false: the user cancelled.
    using LoginAsker = SiteLogins::Asker;
    void setLoginAsker(LoginAsker asker) { m_logins.setAsker(std::move(asker)); }
    QWebEngineView* view() const { return m_view; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The view as the page watcher sees it.
    void load(const QString& address) override;
    void reload(bool bypassCache) override;
    void stop() override;
    QString address() const override;
    bool onScreen() const override;
    QImage picture() override;
    void inspect(const QString& script, std::function<void(const QVariant&)> done) override;
    qint64 bytesReceived() const override;
    void cover(const QImage& picture) override;
    void coverWithCard(const QString& text) override;
    void uncover() override;
    bool covered() const override;
    void answerPageDialogs(bool on) override;

    void open(const QString& address, bool watched);
    void attachPage(ContainedPage* page); // shows the page and wires its reports to this control
    bool renewPage();                     // true: the reload is made by a fresh page
    void loadAsReload(const QUrl& url,
                      bool bypassCache); // as a reload asks for it, validated with the server
    void onLoadStarted(const QUrl& target);
    void onLoadEnded(const QWebEngineLoadingInfo& info);
    void onUrlChanged();
    void onLinkHovered(const QString& url);
    void onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator);

    QWebEngineView* m_view; // the engine's view, filling this control
    ContainedPage* m_page;
    PictureCover* m_cover;    // the last good picture or a card, over the view during a watched load
    QTimer* m_loadingShown;   // tells how a load goes once it takes longer than a glance
    PageRenewal* m_renewal;   // when a reload is made by a fresh page
    bool m_stopAsked = false; // the load ending now was stopped by us
    int m_interrupted = 0;    // times the page cancelled the load of ours under way
    WatchedPart* m_part;      // zoomed and scrolled to, when the page has one
    PageWatcher* m_watcher;
    bool m_documentLoading = false;       // between the start and the end of a load of a new document
    bool m_committed = false;             // the loading document has been committed: the view shows it
    QUrl m_documentUrl;                   // the address the document loading or on screen was loaded from
    QUrl m_documentBefore;                // the one on screen as the load began
    QString m_certificateRefusal;         // why the loading site's certificate was refused
    int m_progress = 0;                   // the load's progress, told when m_loadingShown fires
    SavePageDownloads* m_saves = nullptr; // Save As through the engine's downloads
    bool m_unattended = false;            // nobody is there to answer (the wall display)
    SiteLogins m_logins;                  // for this run
    int m_loads = 0;
    bool m_answerDialogs = false; // the page's dialogs are answered without a box
};

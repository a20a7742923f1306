#pragma once

#include "core/ReloadWatch.h"
#include "platform/BrowserControl.h"
#include "platform/SavePageDownloads.h"

#include <functional>

#include <QPixmap>
#include <QWebEnginePage>

class QLabel;
class QTimer;
class QWebEngineView;
class QWebEngineDownloadRequest;

// The browser control over Qt WebEngine.
class WebEngineBrowserControl : public BrowserControl
{
    Q_OBJECT
public:
    // The time in milliseconds since the epoch: the wall clock, unless a test gives another.
    using Clock = std::function<qint64()>;

    static constexpr double ZoomFactors[5] = {0.75, 0.9, 1.0, 1.25, 1.5};
    // A load that ends sooner is not told in the status bar or the progress bar.
    static constexpr int LoadingShownAfterMs = 200;

    explicit WebEngineBrowserControl(QWidget* parent = nullptr, Clock clock = {});
    ~WebEngineBrowserControl() override;

    void Navigate(const QString& address) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    void Refresh2(qint16 level) override;
    bool ExecWBZoom(qint32 level) override;
    void ExecWBSaveAs() override;
    QString LocationURL() const override;
    void ConnectionRestored() override;
    void setPictureNote(const QString& note) override;
    void NavigateCovered(const QString& address) override;
    bool refreshFailed() const override { return m_watch.failed(); }

    // While a reload of the displayed page loads, or after it failed, the last good picture covers the view.
    bool showingLastGoodPicture() const;
    bool reloadFailed() const { return m_watch.failed(); }
    // How long a reload may go without data, and how long after a failed one began it is retried.
    void setReloadTimings(int noProgressLimitMs, int retryAfterMs);

    void setSavePathAsker(SavePageDownloads::PathAsker asker) { m_saves->setPathAsker(std::move(asker)); }
    QWebEngineView* view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void open(const QString& address, bool covered);
    void coveredReload(QWebEnginePage::WebAction action);
    void startAttempt(ReloadWatch::Step step, QWebEnginePage::WebAction action);
    void showCover();
    void rememberWhatIsSeen();
    bool seenOnScreen() const;
    void uncover();
    void watchTick();
    void showNotice();
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onLinkHovered(const QString& url);
    void onRendererDied();

    QWebEngineView* m_view; // the engine's view, filling this control
    QLabel* m_cover;        // the last good picture, over the view during a reload
    QTimer* m_watchTimer;   // runs the reload rules while a reload loads or has failed
    QTimer* m_loadingShown; // tells how a load goes once it takes longer than a glance
    Clock m_clock;
    ReloadWatch m_watch;             // when a reload has failed and when it is tried again
    QPixmap m_lastSeen;              // the page as last seen on screen after a good load
    qint64 m_lastGoodLoad = 0;       // when the picture under the cover was loaded (ms)
    bool m_coverUntilLoaded = false; // a covered navigation is loading
    int m_stopping = 0;              // ticks left to wait for a stopped reload to report its end
    qint64 m_documentSize = -1;      // the page's markup length at the last look, while a reload loads
    QString m_loadStateText;
    int m_progress = 0; // the load's progress, told when m_loadingShown fires
    double m_zoom = 1.0;
    bool m_zoomChosen = false;
    SavePageDownloads* m_saves = nullptr; // Save As through the engine's downloads
};

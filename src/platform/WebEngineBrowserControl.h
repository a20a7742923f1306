#pragma once

#include "BrowserControl.h"

#include <functional>

#include <QDateTime>
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
    // Asked for the file to save the page into; an empty answer cancels the save.
    using SavePathAsker = std::function<QString(const QString& suggestedPath)>;

    static constexpr double ZoomFactors[5] = {0.75, 0.9, 1.0, 1.25, 1.5};
    // A reload that has not finished by then counts as failed.
    static constexpr int ReloadTimeLimitMs = 60000;
    // A failed reload is tried again after this long.
    static constexpr int RetryAfterMs = 60000;

    explicit WebEngineBrowserControl(QWidget* parent = nullptr);
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

    // While a reload of the displayed page loads, or after it failed, the last good picture covers the view.
    bool showingLastGoodPicture() const;
    bool reloadFailed() const { return m_failedAt.isValid(); }
    void setReloadTimings(int timeLimitMs, int retryAfterMs);

    void setSavePathAsker(SavePathAsker asker) { m_askSavePath = std::move(asker); }
    QWebEngineView* view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void coveredReload(QWebEnginePage::WebAction action);
    void uncover();
    void reloadFailedNow();
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onLinkHovered(const QString& url);
    void onDownloadRequested(QWebEngineDownloadRequest* download);
    void onRenderProcessTerminated(int status, int exitCode);

    QWebEngineView* m_view;       // the engine's view, filling this control
    QLabel* m_cover;              // the last good picture, over the view during a reload
    QTimer* m_reloadTimeLimit;    // gives up on a reload that takes too long
    QTimer* m_retry;              // tries a failed reload again
    bool m_coveredReload = false; // a reload of the displayed page is loading under the cover
    QDateTime m_lastGoodLoad;     // when the picture under the cover was loaded
    QDateTime m_failedAt;         // when the last reload failed; invalid while all is well
    QString m_loadStateText;
    double m_zoom = 1.0;
    bool m_zoomChosen = false;
    bool m_saveRequested = false;
    SavePathAsker m_askSavePath;
};

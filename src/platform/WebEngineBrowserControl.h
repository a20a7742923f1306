#pragma once

#include "BrowserControl.h"

#include <functional>

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

    void setSavePathAsker(SavePathAsker asker) { m_askSavePath = std::move(asker); }
    QWebEngineView* view() const { return m_view; }

private:
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onLinkHovered(const QString& url);
    void onDownloadRequested(QWebEngineDownloadRequest* download);
    void onRenderProcessTerminated(int status, int exitCode);

    QWebEngineView* m_view; // the engine's view, filling this control
    QString m_loadStateText;
    double m_zoom = 1.0;
    bool m_zoomChosen = false;
    bool m_saveRequested = false;
    SavePathAsker m_askSavePath;
};

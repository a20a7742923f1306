#include "WebEngineBrowserControl.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebEngineBrowserControl::WebEngineBrowserControl(QWidget* parent)
    : BrowserControl(parent), m_view(new QWebEngineView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    QWebEnginePage* page = m_view->page();
    connect(m_view, &QWebEngineView::loadStarted, this, &WebEngineBrowserControl::onLoadStarted);
    connect(m_view, &QWebEngineView::loadFinished, this, &WebEngineBrowserControl::onLoadFinished);
    connect(m_view, &QWebEngineView::loadProgress, this, [this](int p) { emit ProgressChange(p, 100); });
    connect(m_view, &QWebEngineView::titleChanged, this, &WebEngineBrowserControl::TitleChange);
    connect(m_view, &QWebEngineView::urlChanged, this, [this] { emit NavigateComplete2(); });
    connect(page, &QWebEnginePage::linkHovered, this, &WebEngineBrowserControl::onLinkHovered);

    // Web content stays in its box: no pop-ups without a click, no local files for remote pages.
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    // A link meant for a new window opens here: this program shows one page.
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { m_view->load(request.requestedUrl()); });
    connect(page, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError& error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
        emit StatusTextChange(
            tr("Refused %1: its certificate is not valid (%2)").arg(error.url().host(), error.description()));
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                onRenderProcessTerminated(int(status), exitCode);
            });

    // The history actions are made on first use; ask for them once so that they follow the history.
    QAction* back = page->action(QWebEnginePage::Back);
    QAction* forward = page->action(QWebEnginePage::Forward);
    connect(back, &QAction::enabledChanged, this,
            [this](bool on) { emit CommandStateChange(CSC_NAVIGATEBACK, on); });
    connect(forward, &QAction::enabledChanged, this,
            [this](bool on) { emit CommandStateChange(CSC_NAVIGATEFORWARD, on); });

    // The download request must be answered before the handler returns.
    connect(page->profile(), &QWebEngineProfile::downloadRequested, this,
            &WebEngineBrowserControl::onDownloadRequested, Qt::DirectConnection);
}

WebEngineBrowserControl::~WebEngineBrowserControl() = default;

void WebEngineBrowserControl::Navigate(const QString& address)
{
    // An absolute path is a local file; anything else is read as a typed address ("example.org").
    QUrl url = QFileInfo(address).isAbsolute() ? QUrl::fromLocalFile(address) : QUrl::fromUserInput(address);
    if (!url.isValid() || url.isEmpty()) {
        url = QUrl(QStringLiteral("about:blank"));
    }
    m_view->load(url);
}

void WebEngineBrowserControl::GoBack()
{
    m_view->triggerPageAction(QWebEnginePage::Back);
}

void WebEngineBrowserControl::GoForward()
{
    m_view->triggerPageAction(QWebEnginePage::Forward);
}

void WebEngineBrowserControl::Refresh()
{
    m_view->triggerPageAction(QWebEnginePage::Reload);
}

void WebEngineBrowserControl::Refresh2(qint16 level)
{
    m_view->triggerPageAction(level == REFRESH_COMPLETELY ? QWebEnginePage::ReloadAndBypassCache
                                                          : QWebEnginePage::Reload);
}

bool WebEngineBrowserControl::ExecWBZoom(qint32 level)
{
    if (level < 0 || level > 4) {
        return false;
    }
    m_zoom = ZoomFactors[level];
    m_zoomChosen = true;
    m_view->setZoomFactor(m_zoom);
    return true;
}

void WebEngineBrowserControl::ExecWBSaveAs()
{
    m_saveRequested = true;
    m_view->triggerPageAction(QWebEnginePage::SavePage);
}

QString WebEngineBrowserControl::LocationURL() const
{
    QUrl url = m_view->url();
    if (url.isEmpty()) {
        url = m_view->page()->requestedUrl();
    }
    if (url.isEmpty() || url.toString() == QStringLiteral("about:blank")) {
        return {};
    }
    return url.toString();
}

void WebEngineBrowserControl::onLoadStarted()
{
    const QUrl target = m_view->page()->requestedUrl();
    m_loadStateText =
        target.isEmpty() ? tr("Opening page...") : tr("Opening page %1...").arg(target.toDisplayString());
    emit StatusTextChange(m_loadStateText);
}

void WebEngineBrowserControl::onLoadFinished(bool ok)
{
    if (m_zoomChosen && !qFuzzyCompare(m_view->zoomFactor(), m_zoom)) {
        m_view->setZoomFactor(m_zoom);
    }
    m_loadStateText = ok ? tr("Done") : tr("Could not open %1").arg(m_view->url().toDisplayString());
    emit ProgressChange(-1, 100);
    emit StatusTextChange(m_loadStateText);
    emit DownloadComplete();
}

void WebEngineBrowserControl::onLinkHovered(const QString& url)
{
    // Leaving a link shows the page's load state again.
    emit StatusTextChange(url.isEmpty() ? m_loadStateText : url);
}

void WebEngineBrowserControl::onRenderProcessTerminated(int status, int exitCode)
{
    if (status == QWebEnginePage::NormalTerminationStatus) {
        return;
    }
    emit StatusTextChange(
        tr("The page stopped working (renderer exit code %1); loading it again...").arg(exitCode));
    // Not from inside the engine's own notification.
    QTimer::singleShot(0, this, [this] { m_view->triggerPageAction(QWebEnginePage::Reload); });
}

void WebEngineBrowserControl::onDownloadRequested(QWebEngineDownloadRequest* download)
{
    if (download->page() != m_view->page()) {
        return;
    }
    if (!download->isSavePageDownload() || !m_saveRequested) {
        download->cancel(); // this program saves pages only, and only when asked
        return;
    }
    m_saveRequested = false;
    const QString suggested = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    const QString path = m_askSavePath ? m_askSavePath(suggested) : QString();
    if (path.isEmpty()) {
        download->cancel();
        emit SaveFinished(false, {});
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    const QString suffix = target.suffix().toLower();
    download->setSavePageFormat(suffix == QLatin1String("mhtml") || suffix == QLatin1String("mht")
                                    ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                    : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path] {
        emit SaveFinished(download->state() == QWebEngineDownloadRequest::DownloadCompleted, path);
    });
    download->accept();
}

#include "WebEngineBrowserControl.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
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
    : BrowserControl(parent), m_view(new QWebEngineView(this)), m_cover(new QLabel(this)),
      m_reloadTimeLimit(new QTimer(this)), m_retry(new QTimer(this))
{
    m_cover->setObjectName(QStringLiteral("LastGoodPicture"));
    m_cover->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cover->setFocusPolicy(Qt::StrongFocus);
    m_cover->installEventFilter(this);
    m_cover->hide();
    m_reloadTimeLimit->setSingleShot(true);
    m_reloadTimeLimit->setInterval(ReloadTimeLimitMs);
    connect(m_reloadTimeLimit, &QTimer::timeout, this, [this] {
        if (m_coveredReload) {
            m_view->stop(); // finishes the load as failed
        }
    });
    m_retry->setSingleShot(true);
    m_retry->setInterval(RetryAfterMs);
    connect(m_retry, &QTimer::timeout, this, [this] { coveredReload(QWebEnginePage::Reload); });

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
    if (address.trimmed().isEmpty()) {
        url = QUrl(QStringLiteral("about:blank"));
    } else if (!url.isValid() || url.isEmpty()) {
        // Not an address ("weather radar"): the page and the typed text stay as they are.
        emit StatusTextChange(tr("\"%1\" is not an address Skyvane can open").arg(address));
        return;
    }
    uncover();
    m_view->load(url);
}

void WebEngineBrowserControl::GoBack()
{
    uncover();
    m_view->triggerPageAction(QWebEnginePage::Back);
}

void WebEngineBrowserControl::GoForward()
{
    uncover();
    m_view->triggerPageAction(QWebEnginePage::Forward);
}

void WebEngineBrowserControl::Refresh()
{
    coveredReload(QWebEnginePage::Reload);
}

void WebEngineBrowserControl::Refresh2(qint16 level)
{
    coveredReload(level == REFRESH_COMPLETELY ? QWebEnginePage::ReloadAndBypassCache
                                              : QWebEnginePage::Reload);
}

void WebEngineBrowserControl::setReloadTimings(int timeLimitMs, int retryAfterMs)
{
    m_reloadTimeLimit->setInterval(timeLimitMs);
    m_retry->setInterval(retryAfterMs);
}

bool WebEngineBrowserControl::showingLastGoodPicture() const
{
    return m_cover->isVisible();
}

void WebEngineBrowserControl::coveredReload(QWebEnginePage::WebAction action)
{
    m_retry->stop();
    if (LocationURL().isEmpty()) {
        m_view->triggerPageAction(action);
        return;
    }
    // The radar stays on screen until the new picture is complete.
    // Once a reload has failed, the view may show an error page (the user can uncover it with a
    // click): the cover keeps the picture it took before the failure.
    if (!m_cover->isVisible() && !m_failedAt.isValid()) {
        m_cover->setPixmap(m_view->grab());
    }
    m_cover->setGeometry(m_view->geometry());
    m_cover->show();
    m_cover->raise();
    m_coveredReload = true;
    m_reloadTimeLimit->start();
    m_view->triggerPageAction(action);
}

void WebEngineBrowserControl::uncover()
{
    m_coveredReload = false;
    m_reloadTimeLimit->stop();
    m_retry->stop();
    m_failedAt = QDateTime();
    m_cover->hide();
    m_cover->clear();
}

void WebEngineBrowserControl::reloadFailedNow()
{
    m_coveredReload = false;
    m_reloadTimeLimit->stop();
    const QDateTime now = QDateTime::currentDateTime();
    if (!m_failedAt.isValid()) {
        m_failedAt = now;
    }
    const QString since =
        m_lastGoodLoad.isValid() ? m_lastGoodLoad.time().toString(QStringLiteral("HH:mm:ss")) : tr("before");
    m_loadStateText = tr("Refresh failed at %1; the picture is unchanged since %2. Trying again in a minute.")
                          .arg(now.time().toString(QStringLiteral("HH:mm:ss")), since);
    m_retry->start();
}

void WebEngineBrowserControl::ConnectionRestored()
{
    if (m_failedAt.isValid() && !m_coveredReload) {
        coveredReload(QWebEnginePage::Reload);
    }
}

bool WebEngineBrowserControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cover) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            // The user wants the live page, whatever state it is in.
            m_cover->hide();
            m_view->setFocus();
            return true;
        default:
            break;
        }
    }
    return BrowserControl::eventFilter(watched, event);
}

void WebEngineBrowserControl::resizeEvent(QResizeEvent* event)
{
    BrowserControl::resizeEvent(event);
    m_cover->setGeometry(m_view->geometry());
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
    if (ok) {
        m_lastGoodLoad = QDateTime::currentDateTime();
        m_loadStateText =
            tr("Done - loaded at %1").arg(m_lastGoodLoad.time().toString(QStringLiteral("HH:mm:ss")));
        if (m_coveredReload || m_failedAt.isValid()) {
            uncover();
        }
    } else if (m_coveredReload) {
        reloadFailedNow();
    } else {
        m_loadStateText = tr("Could not open %1").arg(m_view->url().toDisplayString());
    }
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

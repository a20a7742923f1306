#include "platform/WebEngineBrowserControl.h"

#include "platform/ContainedPage.h"
#include "platform/SavePageDownloads.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebEngineBrowserControl::WebEngineBrowserControl(QWidget* parent, Clock clock)
    : BrowserControl(parent), m_view(new QWebEngineView(this)), m_cover(new QLabel(this)),
      m_watchTimer(new QTimer(this)), m_loadingShown(new QTimer(this)),
      m_clock(clock ? std::move(clock) : Clock(&QDateTime::currentMSecsSinceEpoch))
{
    m_cover->setObjectName(QStringLiteral("LastGoodPicture"));
    m_cover->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cover->setFocusPolicy(Qt::StrongFocus);
    m_cover->installEventFilter(this);
    m_cover->hide();
    m_watchTimer->setInterval(1000);
    connect(m_watchTimer, &QTimer::timeout, this, &WebEngineBrowserControl::watchTick);
    // A page that loads at a glance leaves the status bar and the progress bar alone: every repaint of
    // the window while the engine loads is time taken from the load.
    m_loadingShown->setSingleShot(true);
    m_loadingShown->setInterval(LoadingShownAfterMs);
    connect(m_loadingShown, &QTimer::timeout, this, [this] {
        emit StatusTextChange(m_loadStateText);
        emit ProgressChange(m_progress, 100);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    auto* page = new ContainedPage(m_view); // deleted with the view, before the profile
    m_view->setPage(page);
    m_saves = new SavePageDownloads(page, this);
    connect(m_saves, &SavePageDownloads::finished, this, &WebEngineBrowserControl::SaveFinished);
    connect(page, &ContainedPage::certificateRefused, this, &WebEngineBrowserControl::StatusTextChange);
    connect(page, &ContainedPage::rendererDied, this, &WebEngineBrowserControl::onRendererDied);
    connect(m_view, &QWebEngineView::loadStarted, this, &WebEngineBrowserControl::onLoadStarted);
    connect(m_view, &QWebEngineView::loadFinished, this, &WebEngineBrowserControl::onLoadFinished);
    connect(m_view, &QWebEngineView::loadProgress, this, [this](int p) {
        m_watch.progressed(m_clock());
        m_progress = p;
        if (!m_loadingShown->isActive()) {
            emit ProgressChange(p, 100);
        }
    });
    connect(m_view, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        if (!m_watch.holdTitle()) { // the caption names the picture on screen
            emit TitleChange(title);
        }
    });
    connect(m_view, &QWebEngineView::urlChanged, this, [this] { emit NavigateComplete2(); });
    connect(page, &QWebEnginePage::linkHovered, this, &WebEngineBrowserControl::onLinkHovered);

    // The history actions are made on first use; ask for them once so that they follow the history.
    QAction* back = page->action(QWebEnginePage::Back);
    QAction* forward = page->action(QWebEnginePage::Forward);
    connect(back, &QAction::enabledChanged, this,
            [this](bool on) { emit CommandStateChange(CSC_NAVIGATEBACK, on); });
    connect(forward, &QAction::enabledChanged, this,
            [this](bool on) { emit CommandStateChange(CSC_NAVIGATEFORWARD, on); });
}

WebEngineBrowserControl::~WebEngineBrowserControl() = default;

void WebEngineBrowserControl::Navigate(const QString& address)
{
    open(address, false);
}

void WebEngineBrowserControl::NavigateCovered(const QString& address)
{
    open(address, !LocationURL().isEmpty() && !m_watch.failed());
}

void WebEngineBrowserControl::open(const QString& address, bool covered)
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
    if (covered) {
        showCover(); // the page on screen stays until the new one has loaded
        m_coverUntilLoaded = true;
    }
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

void WebEngineBrowserControl::setReloadTimings(int noProgressLimitMs, int retryAfterMs)
{
    ReloadWatch::Timings t;
    t.noProgressLimitMs = noProgressLimitMs;
    t.retryAfterMs = retryAfterMs;
    m_watch.setTimings(t);
    m_watchTimer->setInterval(qBound(50, qMin(noProgressLimitMs, retryAfterMs) / 4, 1000));
}

bool WebEngineBrowserControl::showingLastGoodPicture() const
{
    return m_cover->isVisible();
}

bool WebEngineBrowserControl::seenOnScreen() const
{
    return isVisible() && !window()->isMinimized() && m_view->width() > 0;
}

void WebEngineBrowserControl::rememberWhatIsSeen()
{
    if (seenOnScreen() && !m_cover->isVisible()) {
        m_lastSeen = m_view->grab();
        emit PictureShown(m_lastSeen.toImage(), LocationURL());
    }
}

void WebEngineBrowserControl::setPictureNote(const QString& note)
{
    if (m_watch.failed() || m_cover->isVisible()) {
        return; // a reload is under way: its own state is the news
    }
    m_loadStateText = m_loadStateText.section(QStringLiteral(". "), 0, 0) + QStringLiteral(". ") + note;
    emit StatusTextChange(m_loadStateText);
}

void WebEngineBrowserControl::showCover()
{
    // The radar stays on screen until the new picture is complete. A picture can be taken only of a
    // page on screen, and after a failure the view may hold an error page: otherwise the cover is
    // the page as it was last seen.
    if (!m_cover->isVisible()) {
        if (!m_watch.failed() && seenOnScreen()) {
            m_lastSeen = m_view->grab();
        }
        m_cover->setPixmap(m_lastSeen);
    }
    m_cover->setGeometry(m_view->geometry());
    m_cover->show();
    m_cover->raise();
}

void WebEngineBrowserControl::coveredReload(QWebEnginePage::WebAction action)
{
    if (LocationURL().isEmpty()) {
        m_view->triggerPageAction(action);
        return;
    }
    if (m_stopping > 0) {
        return; // the reload given up on is still ending; the retry follows it
    }
    startAttempt(m_watch.begin(m_clock(), LocationURL()), action);
}

void WebEngineBrowserControl::startAttempt(ReloadWatch::Step step, QWebEnginePage::WebAction action)
{
    if (step != ReloadWatch::Step::ReloadPage && step != ReloadWatch::Step::LoadWatched) {
        return; // one is loading already: one request is enough
    }
    showCover();
    m_documentSize = -1;
    m_watchTimer->start();
    if (step == ReloadWatch::Step::LoadWatched) {
        m_view->load(QUrl(m_watch.watchedUrl())); // not the login page the last attempt ended on
    } else {
        m_view->triggerPageAction(action);
    }
}

void WebEngineBrowserControl::uncover()
{
    m_watch.reset();
    m_coverUntilLoaded = false;
    m_watchTimer->stop();
    m_stopping = 0;
    m_cover->hide();
    m_cover->clear();
}

void WebEngineBrowserControl::showNotice()
{
    const QString notice = m_watch.notice(m_lastGoodLoad);
    if (!notice.isEmpty() && notice != m_loadStateText) {
        m_loadStateText = notice;
        emit StatusTextChange(m_loadStateText);
    }
}

void WebEngineBrowserControl::watchTick()
{
    const qint64 now = m_clock();
    if (m_stopping > 0) {
        --m_stopping; // waiting for the given-up reload to report its end
        return;
    }
    if (m_watch.loading()) {
        // Data arriving for a page whose estimate does not move still counts: the parsed page grows.
        // (A count of its elements: serializing a large page every second would cost far more.)
        m_view->page()->runJavaScript(
            QStringLiteral("document.getElementsByTagName('*').length"),
            [this, guard = QPointer<WebEngineBrowserControl>(this)](const QVariant& v) {
                if (!guard.isNull() && m_watch.loading()) {
                    const qint64 size = v.toLongLong();
                    if (m_documentSize >= 0 && size != m_documentSize) {
                        m_watch.progressed(m_clock());
                    }
                    m_documentSize = size;
                }
            });
    }
    const ReloadWatch::Step step = m_watch.tick(now);
    if (step == ReloadWatch::Step::Stop) {
        m_stopping = 3;
        showNotice();
        m_view->stop(); // the load ends as failed; the retry comes once it has
        return;
    }
    if (step == ReloadWatch::Step::Retry) {
        startAttempt(m_watch.begin(now, LocationURL()), QWebEnginePage::Reload);
    }
    showNotice();
    if (!m_watch.loading() && !m_watch.failed()) {
        m_watchTimer->stop();
    }
}

void WebEngineBrowserControl::ConnectionRestored()
{
    m_watch.connectionRestored(m_clock());
    if (m_watch.failed() && !m_watch.loading()) {
        watchTick();
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
    m_saves->expectSave();
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
    if (m_watch.failed()) {
        showNotice(); // the failure stays said until a load succeeds
        return;
    }
    const QUrl target = m_view->page()->requestedUrl();
    m_loadStateText =
        target.isEmpty() ? tr("Opening page...") : tr("Opening page %1...").arg(target.toDisplayString());
    m_progress = 0;
    m_loadingShown->start();
}

void WebEngineBrowserControl::onLoadFinished(bool ok)
{
    m_loadingShown->stop();
    if (m_zoomChosen && !qFuzzyCompare(m_view->zoomFactor(), m_zoom)) {
        m_view->setZoomFactor(m_zoom);
    }
    const qint64 now = m_clock();
    const bool wasStopped = m_stopping > 0;
    m_stopping = 0;
    if (m_coverUntilLoaded) {
        uncover();
    }
    switch (m_watch.finished(now, ok, m_view->url().toString())) {
    case ReloadWatch::Outcome::Good:
        uncover();
        emit TitleChange(m_view->title()); // held while the picture was covered
        [[fallthrough]];
    case ReloadWatch::Outcome::NotOurs:
        if (ok && !m_watch.failed()) {
            m_lastGoodLoad = now;
            m_loadStateText =
                tr("Done - loaded at %1")
                    .arg(QDateTime::fromMSecsSinceEpoch(now).time().toString(QStringLiteral("HH:mm:ss")));
            QTimer::singleShot(300, this, &WebEngineBrowserControl::rememberWhatIsSeen);
        } else if (!m_watch.failed()) {
            m_loadStateText = tr("Could not open %1").arg(m_view->url().toDisplayString());
        }
        break;
    case ReloadWatch::Outcome::Failed:
        break;
    }
    emit ProgressChange(-1, 100);
    if (m_watch.failed()) {
        m_loadStateText = m_watch.notice(m_lastGoodLoad);
    }
    emit StatusTextChange(m_loadStateText);
    emit DownloadComplete();
    if (wasStopped) {
        watchTick(); // the retry may be due already
    }
}

void WebEngineBrowserControl::onLinkHovered(const QString& url)
{
    // Leaving a link shows the page's load state again.
    emit StatusTextChange(url.isEmpty() ? m_loadStateText : url);
}

void WebEngineBrowserControl::onRendererDied()
{
    // Like a failed refresh: the last good picture stays, and the page is loaded again under it,
    // at once the first time and after a growing pause when it keeps crashing.
    if (LocationURL().isEmpty()) {
        return;
    }
    m_watch.crashed(m_clock());
    showCover();
    m_watchTimer->start();
    showNotice();
    // Not from inside the engine's own notification.
    QTimer::singleShot(0, this, &WebEngineBrowserControl::watchTick);
}

#include "platform/WebEngineBrowserControl.h"

#include "core/AddressRules.h"
#include "platform/ContainedPage.h"
#include "platform/PageRenewal.h"
#include "platform/PictureCover.h"
#include "platform/ReceivedBytes.h"
#include "platform/SavePageDownloads.h"
#include "platform/SiteLogins.h"
#include "platform/SystemClock.h"
#include "platform/WatchedPart.h"

#include <QAction>
#include <QAuthenticator>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebEngineBrowserControl::WebEngineBrowserControl(QWidget* parent, int reloadsBeforeRenewal)
    : BrowserControl(parent), m_view(new QWebEngineView(this)), m_page(new ContainedPage(m_view)),
      m_cover(new PictureCover(this)), m_loadingShown(new QTimer(this)),
      m_renewal(new PageRenewal(reloadsBeforeRenewal, this)), m_part(new WatchedPart(m_view, this)),
      m_watcher(new PageWatcher(*this, &SystemClock::monotonicMs, &SystemClock::wallMs, this))
{
    connect(m_cover, &PictureCover::touched, this, [this] {
        m_watcher->coverTouched();
        m_view->setFocus();
    });
    // A page that loads at a glance leaves the status bar and the progress bar alone: every repaint of
    // the window while the engine loads is time taken from the load.
    m_loadingShown->setSingleShot(true);
    m_loadingShown->setInterval(LoadingShownAfterMs);
    connect(m_loadingShown, &QTimer::timeout, this, [this] {
        emit statusTextChanged(m_watcher->stateText());
        emit progressChanged(m_progress, 100);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view); // the keyboard given to the browser goes to the page

    m_saves = new SavePageDownloads(m_page, this);
    connect(m_saves, &SavePageDownloads::finished, this, &WebEngineBrowserControl::saveFinished);
    attachPage(m_page);
    connect(m_view, &QWebEngineView::loadProgress, this, [this](int p) {
        m_watcher->progressed();
        m_progress = p;
        if (!m_loadingShown->isActive()) {
            emit progressChanged(p, 100);
        }
    });
    connect(m_view, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        if (!m_watcher->holdTitle()) { // the caption names the picture on screen
            emit titleChanged(title);
        }
    });
    connect(m_view, &QWebEngineView::urlChanged, this, &WebEngineBrowserControl::onUrlChanged);
    connect(m_watcher, &PageWatcher::statusText, this, &WebEngineBrowserControl::statusTextChanged);
    connect(m_watcher, &PageWatcher::loadJudged, this, &WebEngineBrowserControl::downloadCompleted);
    connect(m_watcher, &PageWatcher::titleReleased, this, [this] { emit titleChanged(m_view->title()); });
    connect(m_watcher, &PageWatcher::pictureShown, this, &WebEngineBrowserControl::pictureShown);
    connect(m_watcher, &PageWatcher::refreshJudged, this, &WebEngineBrowserControl::refreshJudged);
}

void WebEngineBrowserControl::attachPage(ContainedPage* page)
{
    m_page = page;
    m_renewal->attach(page);
    m_view->setPage(page); // the page is the view's child: deleted with it, before the profile
    m_saves->setPage(page);
    page->setAnswerDialogs(m_answerDialogs);
    connect(page, &ContainedPage::certificateRefused, this, [this](const QString& text) {
        m_certificateRefusal = text;
        emit statusTextChanged(text);
    });
    connect(page, &ContainedPage::dialogAnswered, this, [this](const QString& text) {
        const QString said = tr("The page said: %1").arg(text.simplified().left(200));
        emit statusTextChanged(said);
        emit pageSaid(said);
    });
    connect(page, &ContainedPage::rendererDied, m_watcher, &PageWatcher::rendererDied);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            onLoadStarted(info.url());
        } else {
            onLoadEnded(info);
        }
    });
    // The server's redirects move the document; the page's own history.replaceState and pushState ask
    // for nothing and are not seen here.
    connect(page, &QWebEnginePage::navigationRequested, this, [this](QWebEngineNavigationRequest& request) {
        if (request.isMainFrame() &&
            request.navigationType() == QWebEngineNavigationRequest::RedirectNavigation) {
            m_documentUrl = request.url();
        }
    });
    connect(page, &QWebEnginePage::linkHovered, this, &WebEngineBrowserControl::onLinkHovered);
    connect(page, &QWebEnginePage::authenticationRequired, this,
            &WebEngineBrowserControl::onAuthenticationRequired);

    // The history actions are made on first use; ask for them once so that they follow the history.
    QAction* back = page->action(QWebEnginePage::Back);
    QAction* forward = page->action(QWebEnginePage::Forward);
    connect(back, &QAction::enabledChanged, this,
            [this](bool on) { emit historyStateChanged(BackCommand, on); });
    connect(forward, &QAction::enabledChanged, this,
            [this](bool on) { emit historyStateChanged(ForwardCommand, on); });
}

bool WebEngineBrowserControl::renewPage()
{
    // Under the cover, a fresh page in a fresh renderer gives back what weeks of reloads took.
    PageRenewal::PageState state;
    state.covered = covered();
    state.historyKept = !m_unattended && m_page->history()->count() > 1;
    state.scrolledByHand = !m_part->shown() && !m_page->scrollPosition().isNull();
    state.busy = m_saves->busy() || m_page->inDialog();
    state.document = m_documentUrl;
    if (!m_renewal->renewsAt(state)) {
        return false;
    }
    const QUrl url = m_documentUrl;
    ContainedPage* old = m_page;
    old->disconnect(); // its last reports are not this page's
    attachPage(new ContainedPage(m_view));
    old->deleteLater();
    m_part->keepWholePageZoom();
    loadAsReload(url, false);
    return true;
}

void WebEngineBrowserControl::loadAsReload(const QUrl& url, bool bypassCache)
{
    // As a reload asks for it: the page itself validated with the server (or, for a complete refresh,
    // not taken from the cache at all).
    QWebEngineHttpRequest request(url);
    request.setHeader("Cache-Control", bypassCache ? "no-cache" : "max-age=0");
    if (bypassCache) {
        request.setHeader("Pragma", "no-cache");
    }
    m_view->load(request);
}

WebEngineBrowserControl::~WebEngineBrowserControl() = default;

void WebEngineBrowserControl::navigate(const QString& address)
{
    open(address, false);
}

void WebEngineBrowserControl::navigateCovered(const QString& address)
{
    open(address, true);
}

void WebEngineBrowserControl::open(const QString& address, bool watched)
{
    // An absolute path is a local file; anything else is read as a typed address ("example.org").
    QUrl url = QFileInfo(address).isAbsolute() ? QUrl::fromLocalFile(address) : QUrl::fromUserInput(address);
    if (address.trimmed().isEmpty()) {
        url = QUrl(QStringLiteral("about:blank"));
    } else if (!url.isValid() || url.isEmpty()) {
        // Not an address ("weather radar"): the page and the typed text stay as they are.
        emit statusTextChanged(tr("\"%1\" is not an address Skyvane can open").arg(address));
        return;
    }
    if (!AddressRules::opens(url)) {
        emit statusTextChanged(AddressRules::refusal(url)); // javascript:, data:, ftp: ... nothing is loaded
        return;
    }
    if (watched && url.scheme() != QLatin1String("about")) {
        m_watcher->openWatched(QString::fromLatin1(url.toEncoded()));
        return;
    }
    m_watcher->letGo();
    m_view->load(url);
}

void WebEngineBrowserControl::goBack()
{
    m_watcher->letGo();
    m_view->triggerPageAction(QWebEnginePage::Back);
}

void WebEngineBrowserControl::goForward()
{
    m_watcher->letGo();
    m_view->triggerPageAction(QWebEnginePage::Forward);
}

void WebEngineBrowserControl::refresh()
{
    m_watcher->refresh(false);
}

void WebEngineBrowserControl::refreshAtLevel(qint16 level)
{
    m_watcher->refresh(level == RefreshCompletely);
}

void WebEngineBrowserControl::setReloadTimings(int noProgressLimitMs, int retryAfterMs)
{
    ReloadWatch::Timings t;
    t.noProgressLimitMs = noProgressLimitMs;
    t.retryAfterMs = retryAfterMs;
    m_watcher->setTimings(t);
}

// --- the view as the page watcher sees it ---------------------------------------------------------

void WebEngineBrowserControl::load(const QString& address)
{
    m_view->load(QUrl::fromEncoded(address.toLatin1()));
}

void WebEngineBrowserControl::reload(bool bypassCache)
{
    m_interrupted = 0;
    if (!bypassCache && renewPage()) { // a complete refresh is the page's own: every part asked anew
        return;
    }
    if (!m_documentUrl.isEmpty() && !AddressRules::samePage(currentAddress(), address())) {
        // The page wrote another address for itself (a map's view, a time): the engine would reload
        // that one, which the site never served. The address the document came from is asked again.
        loadAsReload(m_documentUrl, bypassCache);
        return;
    }
    m_view->triggerPageAction(bypassCache ? QWebEnginePage::ReloadAndBypassCache : QWebEnginePage::Reload);
}

void WebEngineBrowserControl::stop()
{
    m_stopAsked = m_documentLoading;
    m_view->stop();
}

bool WebEngineBrowserControl::onScreen() const
{
    return isVisible() && !window()->isMinimized() && m_view->width() > 0;
}

QImage WebEngineBrowserControl::picture()
{
    return onScreen() ? m_view->grab().toImage() : QImage();
}

void WebEngineBrowserControl::inspect(const QString& script, std::function<void(const QVariant&)> done)
{
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [guard = QPointer<WebEngineBrowserControl>(this), done](const QVariant& v) {
                              if (!guard.isNull()) {
                                  done(v);
                              }
                          });
}

qint64 WebEngineBrowserControl::bytesReceived() const
{
    return ReceivedBytes::total();
}

void WebEngineBrowserControl::cover(const QImage& picture)
{
    m_cover->showPicture(picture, m_view->geometry());
}

void WebEngineBrowserControl::coverWithCard(const QString& text)
{
    m_cover->showCard(text, m_view->geometry());
}

void WebEngineBrowserControl::uncover()
{
    m_cover->remove();
}

bool WebEngineBrowserControl::covered() const
{
    return m_cover->isVisible();
}

void WebEngineBrowserControl::answerPageDialogs(bool on)
{
    m_answerDialogs = on;
    m_page->setAnswerDialogs(on);
}

// --- the engine's reports ----------------------------------------------------------------------------

void WebEngineBrowserControl::onLoadStarted(const QUrl& target)
{
    ++m_loads;
    m_documentLoading = true;
    m_committed = false;
    m_certificateRefusal.clear();
    m_documentBefore = m_documentUrl;
    m_documentUrl = target;
    m_watcher->loadStarted(target.toDisplayString());
    m_progress = 0;
    if (!m_watcher->failed()) {
        m_loadingShown->start();
    }
}

void WebEngineBrowserControl::onUrlChanged()
{
    // A page that changes its own address (a #fragment, history.pushState) stays the same document:
    // that is no navigation.
    if (!m_documentLoading) {
        return;
    }
    m_committed = true;
    emit navigationCompleted();
}

void WebEngineBrowserControl::onLoadEnded(const QWebEngineLoadingInfo& info)
{
    m_loadingShown->stop();
    m_documentLoading = false;
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    // Cancelled rather than failed: stopped, or ended without any error (a network error, a status or
    // a certificate would say which).
    const bool cancelled = !ok && (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ||
                                   info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain ||
                                   (info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain &&
                                    info.errorCode() == -3)); // the engine's "aborted"
    if (cancelled && !std::exchange(m_stopAsked, false) && m_certificateRefusal.isEmpty() &&
        m_watcher->loading() && m_interrupted < 3 && !m_documentUrl.isEmpty()) {
        // A page that writes its own address (replaceState, a #part) while a load of ours is on its way
        // cancels that load in the engine: the page may not hold a refresh up, so it is asked again.
        ++m_interrupted;
        QTimer::singleShot(0, this, [this, again = m_documentUrl] {
            if (m_watcher->loading()) { // not given up on meanwhile
                loadAsReload(again, false);
            }
        });
        return;
    }
    m_stopAsked = false;
    m_interrupted = ok ? 0 : m_interrupted;
    if (ok) {
        m_part->show(address()); // before the look at the page, under the cover
        m_renewal->documentLoaded();
    }
    m_part->keepWholePageZoom();
    emit progressChanged(-1, 100);
    using F = ReloadWatch::Failure;
    F failure = F::None;
    QString detail;
    if (!m_certificateRefusal.isEmpty()) {
        failure = F::Certificate;
        detail = m_certificateRefusal;
    } else if (!ok && info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        failure = F::Status;
        detail = QString::number(info.errorCode());
    } else if (!ok) {
        failure = F::NoConnection;
    }
    if (!ok && !m_committed && !m_watcher->holdTitle()) {
        // Nothing new is shown: a download, or a link for another program. The page on screen stays.
        m_documentUrl = m_documentBefore;
        emit statusTextChanged(tr("The link was not opened here: %1").arg(info.url().toDisplayString()));
        emit downloadCompleted();
        return;
    }
    // Judged on the document the load brought: where the page moved its address since is its own affair.
    m_watcher->loadEnded(ok && failure == F::None, address(), failure, detail);
}

void WebEngineBrowserControl::onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator)
{
    if (m_logins.answer(url.host(), authenticator, m_loads, m_unattended) == SiteLogins::Answer::Refused) {
        const QString said = tr("%1 asks for a user name and password").arg(url.host());
        emit statusTextChanged(said);
        emit pageSaid(said); // on a wall display, in its corner; none given: the site's refusal is shown
    }
}

void WebEngineBrowserControl::onLinkHovered(const QString& url)
{
    // Leaving a link shows the page's load state again.
    emit statusTextChanged(url.isEmpty() ? m_watcher->stateText() : url);
}

void WebEngineBrowserControl::resizeEvent(QResizeEvent* event)
{
    BrowserControl::resizeEvent(event);
    m_cover->setGeometry(m_view->geometry());
    m_part->resized(address());
}

void WebEngineBrowserControl::setWatchArea(const QString& address, const QRectF& pageRect)
{
    m_part->set(address, pageRect);
    m_part->show(this->address());
}

void WebEngineBrowserControl::pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done)
{
    m_part->pageRectOf(viewRect, std::move(done));
}

bool WebEngineBrowserControl::setTextSize(qint32 level)
{
    if (level < 0 || level > 4) {
        return false;
    }
    m_part->setWholePageZoom(ZoomFactors[level]);
    return true;
}

void WebEngineBrowserControl::saveAs()
{
    m_saves->expectSave();
    m_view->triggerPageAction(QWebEnginePage::SavePage);
}

QString WebEngineBrowserControl::address() const
{
    if (m_documentUrl.isEmpty()) {
        return currentAddress();
    }
    return m_documentUrl.toString() == QStringLiteral("about:blank") ? QString()
                                                                     : AddressRules::kept(m_documentUrl);
}

QString WebEngineBrowserControl::currentAddress() const
{
    QUrl url = m_view->url();
    if (url.isEmpty()) {
        url = m_page->requestedUrl();
    }
    if (url.isEmpty() || url.toString() == QStringLiteral("about:blank")) {
        return {};
    }
    return AddressRules::kept(url); // as sent: percent-encoding and punycode, never a look-alike
}

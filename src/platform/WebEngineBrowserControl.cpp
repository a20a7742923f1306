#include "platform/WebEngineBrowserControl.h"

#include "core/AddressRules.h"
#include "platform/ContainedPage.h"
#include "platform/EngineView.h"
#include "platform/NetworkUpdateProbe.h"
#include "platform/SavePageDownloads.h"
#include "platform/SiteLogins.h"
#include "platform/SystemClock.h"

#include <QAction>
#include <QAuthenticator>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

WebEngineBrowserControl::WebEngineBrowserControl(QWidget* parent, int reloadsBeforeRenewal, bool supervised)
    : BrowserControl(parent), m_engine(new EngineView(reloadsBeforeRenewal, this)),
      m_loadingShown(new QTimer(this)),
      m_watcher(new PageWatcher(*m_engine, &SystemClock::monotonicMs, &SystemClock::wallMs, this)),
      m_escalation(supervised)
{
    connect(m_engine, &EngineView::coverTouched, this, [this] {
        m_watcher->coverTouched();
        m_engine->view()->setFocus();
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
    layout->addWidget(m_engine);
    setFocusProxy(m_engine); // the keyboard given to the browser goes to the page

    m_saves = new SavePageDownloads(m_engine->page(), this);
    connect(m_saves, &SavePageDownloads::finished, this, &WebEngineBrowserControl::saveFinished);
    m_engine->setPageKept([this] { return m_saves->busy(); });
    wirePage(m_engine->page());
    connect(m_engine, &EngineView::pageAttached, this, &WebEngineBrowserControl::wirePage);
    connect(m_engine, &EngineView::loadStarted, this, &WebEngineBrowserControl::onLoadStarted);
    connect(m_engine, &EngineView::loadEnded, this, &WebEngineBrowserControl::onLoadEnded);
    connect(m_engine, &EngineView::documentCommitted, this, &WebEngineBrowserControl::navigationCompleted);
    QWebEngineView* view = m_engine->view();
    connect(view, &QWebEngineView::loadProgress, this, [this](int p) {
        m_watcher->progressed();
        m_progress = p;
        if (!m_loadingShown->isActive()) {
            emit progressChanged(p, 100);
        }
    });
    connect(view, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        if (!m_watcher->holdTitle()) { // the caption names the picture on screen
            emit titleChanged(title);
        }
    });
    connect(m_watcher, &PageWatcher::statusText, this, &WebEngineBrowserControl::statusTextChanged);
    connect(m_watcher, &PageWatcher::loadJudged, this, &WebEngineBrowserControl::downloadCompleted);
    connect(m_watcher, &PageWatcher::titleReleased, this,
            [this] { emit titleChanged(m_engine->view()->title()); });
    connect(m_watcher, &PageWatcher::pictureShown, this, &WebEngineBrowserControl::pictureShown);
    connect(m_watcher, &PageWatcher::refreshJudged, this, &WebEngineBrowserControl::refreshJudged);
}

WebEngineBrowserControl::~WebEngineBrowserControl() = default;

UpdateProbe* WebEngineBrowserControl::updateProbe()
{
    if (m_probe == nullptr) {
        m_probe = new NetworkUpdateProbe(
            m_engine->page()->profile(),
            [this](const QString& host, QString* user, QString* password) {
                return m_logins.known(host, user, password);
            },
            this);
    }
    return m_probe;
}

void WebEngineBrowserControl::wirePage(ContainedPage* page)
{
    m_saves->setPage(page);
    connect(page, &ContainedPage::certificateRefused, this, &WebEngineBrowserControl::statusTextChanged);
    connect(page, &ContainedPage::dialogAnswered, this, [this](const QString& text) {
        const QString said = tr("The page said: %1").arg(text.simplified().left(200));
        emit statusTextChanged(said);
        emit pageSaid(said);
    });
    connect(page, &ContainedPage::rendererDied, m_watcher, &PageWatcher::rendererDied);
    connect(page, &ContainedPage::rendererDied, this, &WebEngineBrowserControl::onRendererDied);
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

QWebEngineView* WebEngineBrowserControl::view() const
{
    return m_engine->view();
}

bool WebEngineBrowserControl::pageLoading() const
{
    return m_engine->documentLoading();
}

void WebEngineBrowserControl::setUnattended(bool on)
{
    m_unattended = on;
    m_engine->setUnattended(on);
    m_watcher->setUnattended(on);
}

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
    m_engine->view()->load(url);
}

void WebEngineBrowserControl::goBack()
{
    m_watcher->letGo();
    m_engine->view()->triggerPageAction(QWebEnginePage::Back);
}

void WebEngineBrowserControl::goForward()
{
    m_watcher->letGo();
    m_engine->view()->triggerPageAction(QWebEnginePage::Forward);
}

void WebEngineBrowserControl::refresh()
{
    m_watcher->refresh(false);
}

void WebEngineBrowserControl::refreshAtLevel(qint16 level)
{
    m_watcher->refresh(level == RefreshCompletely);
}

void WebEngineBrowserControl::setReloadTimings(int noProgressLimitMs, int retryAfterMs, int firstCrashPauseMs)
{
    m_timings.noProgressLimitMs = noProgressLimitMs;
    m_timings.retryAfterMs = retryAfterMs;
    m_timings.firstCrashBackoffMs = firstCrashPauseMs;
    m_watcher->setTimings(m_timings);
}

void WebEngineBrowserControl::setFirstCrashPause(int ms)
{
    m_timings.firstCrashBackoffMs = ms;
    m_watcher->setTimings(m_timings);
}

// --- the engine's reports ----------------------------------------------------------------------------

void WebEngineBrowserControl::onRendererDied()
{
    switch (m_escalation.crashed(SystemClock::monotonicMs())) {
    case CrashEscalation::Step::Reload:
        break;
    case CrashEscalation::Step::FreshPage:
        // What the renderer read may be what kills it: the next reload starts from nothing.
        m_engine->page()->profile()->clearHttpCache();
        m_engine->renewAtNextReload();
        break;
    case CrashEscalation::Step::Exit:
        emit renderingGaveUp(tr("the page's renderer crashed %1 times within half an hour, and a fresh one "
                                "again; ending for the service manager to start Skyvane afresh")
                                 .arg(CrashEscalation::CrashesBeforeFresh));
        break;
    }
}

void WebEngineBrowserControl::onLoadStarted(const QUrl& target)
{
    ++m_loads;
    m_watcher->loadStarted(target.toDisplayString());
    m_progress = 0;
    if (!m_watcher->failed()) {
        m_loadingShown->start();
    }
}

void WebEngineBrowserControl::onLoadEnded(const QWebEngineLoadingInfo& info, bool interrupted)
{
    m_loadingShown->stop();
    if (interrupted && m_watcher->loading()) {
        // The page may not hold a refresh up: the load it cancelled is asked again.
        QTimer::singleShot(0, this, [this, again = m_engine->takeInterruption()] {
            if (m_watcher->loading()) { // not given up on meanwhile
                m_engine->loadAsReload(again, false);
            }
        });
        return;
    }
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    m_engine->finishLoad(ok);
    emit progressChanged(-1, 100);
    using F = ReloadWatch::Failure;
    F failure = F::None;
    QString detail;
    if (!m_engine->certificateRefusal().isEmpty()) {
        failure = F::Certificate;
        detail = m_engine->certificateRefusal();
    } else if (!ok && info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        failure = F::Status;
        detail = QString::number(info.errorCode());
    } else if (!ok) {
        failure = F::NoConnection;
    }
    if (!ok && !m_engine->committed() && !m_watcher->holdTitle()) {
        // Nothing new is shown: a download, or a link for another program. The page on screen stays.
        m_engine->keepDocumentBefore();
        emit statusTextChanged(tr("The link was not opened here: %1").arg(info.url().toDisplayString()));
        emit downloadCompleted();
        return;
    }
    // Judged on the document the load brought: where the page moved its address since is its own affair.
    m_watcher->loadEnded(ok && failure == F::None, m_engine->address(), failure, detail);
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

void WebEngineBrowserControl::setWatchArea(const QString& address, const QRectF& pageRect)
{
    m_engine->setWatchArea(address, pageRect);
}

void WebEngineBrowserControl::pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done)
{
    m_engine->pageRectOf(viewRect, std::move(done));
}

bool WebEngineBrowserControl::setTextSize(qint32 level)
{
    if (level < 0 || level > 4) {
        return false;
    }
    m_engine->setWholePageZoom(ZoomFactors[level]);
    return true;
}

void WebEngineBrowserControl::saveAs()
{
    m_saves->expectSave();
    m_engine->view()->triggerPageAction(QWebEnginePage::SavePage);
}

QString WebEngineBrowserControl::currentAddress() const
{
    return m_engine->currentAddress();
}

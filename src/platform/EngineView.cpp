#include "platform/EngineView.h"

#include "core/AddressRules.h"
#include "platform/ContainedPage.h"
#include "platform/PageRenewal.h"
#include "platform/PictureCover.h"
#include "platform/ReceivedBytes.h"
#include "platform/WatchedPart.h"

#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEngineScript>
#include <QWebEngineView>

EngineView::EngineView(int reloadsBeforeRenewal, QWidget* parent)
    : QWidget(parent), m_view(new QWebEngineView(this)), m_page(new ContainedPage(m_view)),
      m_cover(new PictureCover(this)), m_renewal(new PageRenewal(reloadsBeforeRenewal, this)),
      m_part(new WatchedPart(m_view, this))
{
    connect(m_cover, &PictureCover::touched, this, &EngineView::coverTouched);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view); // the keyboard given to the browser goes to the page

    attachPage(m_page);
    connect(m_view, &QWebEngineView::urlChanged, this, &EngineView::onUrlChanged);
}

EngineView::~EngineView() = default;

void EngineView::attachPage(ContainedPage* page)
{
    m_page = page;
    m_renewal->attach(page);
    m_view->setPage(page); // the page is the view's child: deleted with it, before the profile
    page->setAnswerDialogs(m_answerDialogs);
    connect(page, &ContainedPage::certificateRefused, this,
            [this](const QString& text) { m_certificateRefusal = text; });
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
    emit pageAttached(page);
}

bool EngineView::renewPage()
{
    // Under the cover, a fresh page in a fresh renderer gives back what weeks of reloads took.
    PageRenewal::PageState state;
    state.covered = covered();
    state.historyKept = !m_unattended && m_page->history()->count() > 1;
    state.scrolledByHand = !m_part->shown() && !m_page->scrollPosition().isNull();
    state.busy = (m_pageKept && m_pageKept()) || m_page->inDialog();
    state.document = m_documentUrl;
    const bool forced = !state.busy && !state.document.isEmpty() && std::exchange(m_renewNext, false);
    if (!forced && !m_renewal->renewsAt(state)) {
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

void EngineView::loadAsReload(const QUrl& url, bool bypassCache)
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

void EngineView::load(const QString& address)
{
    m_view->load(QUrl::fromEncoded(address.toLatin1()));
}

void EngineView::reload(bool bypassCache)
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

void EngineView::stop()
{
    m_stopAsked = m_documentLoading;
    m_view->stop();
}

bool EngineView::onScreen() const
{
    return isVisible() && !window()->isMinimized() && m_view->width() > 0;
}

QImage EngineView::picture()
{
    return onScreen() ? m_view->grab().toImage() : QImage();
}

void EngineView::inspect(const QString& script, std::function<void(const QVariant&)> done)
{
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [guard = QPointer<EngineView>(this), done](const QVariant& v) {
                              if (!guard.isNull()) {
                                  done(v);
                              }
                          });
}

qint64 EngineView::bytesReceived() const
{
    return ReceivedBytes::total();
}

void EngineView::cover(const QImage& picture)
{
    m_cover->showPicture(picture, m_view->geometry());
}

void EngineView::coverWithCard(const QString& text)
{
    m_cover->showCard(text, m_view->geometry());
}

void EngineView::uncover()
{
    m_cover->remove();
}

bool EngineView::covered() const
{
    return m_cover->isVisible();
}

void EngineView::answerPageDialogs(bool on)
{
    m_answerDialogs = on;
    m_page->setAnswerDialogs(on);
}

void EngineView::onLoadStarted(const QUrl& target)
{
    m_documentLoading = true;
    m_committed = false;
    m_certificateRefusal.clear();
    m_documentBefore = m_documentUrl;
    m_documentUrl = target;
    emit loadStarted(target);
}

void EngineView::onUrlChanged()
{
    // A page that changes its own address (a #fragment, history.pushState) stays the same document:
    // that is no navigation.
    if (!m_documentLoading) {
        return;
    }
    m_committed = true;
    emit documentCommitted();
}

void EngineView::onLoadEnded(const QWebEngineLoadingInfo& info)
{
    m_documentLoading = false;
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    // Cancelled rather than failed: stopped, or ended without any error (a network error, a status or
    // a certificate would say which).
    const bool cancelled = !ok && (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ||
                                   info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain ||
                                   (info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain &&
                                    info.errorCode() == -3)); // the engine's "aborted"
    const bool stopAsked = std::exchange(m_stopAsked, false);
    // A page that writes its own address (replaceState, a #part) while a load is on its way cancels
    // that load in the engine.
    const bool interrupted = cancelled && !stopAsked && m_certificateRefusal.isEmpty() && m_interrupted < 3 &&
                             !m_documentUrl.isEmpty();
    emit loadEnded(info, interrupted);
}

QUrl EngineView::takeInterruption()
{
    ++m_interrupted;
    return m_documentUrl;
}

void EngineView::finishLoad(bool ok)
{
    if (ok) {
        m_interrupted = 0;
        m_part->show(address()); // before the look at the page, under the cover
        m_renewal->documentLoaded();
    }
    m_part->keepWholePageZoom();
}

void EngineView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_cover->setGeometry(m_view->geometry());
    m_part->resized(address());
}

void EngineView::setWatchArea(const QString& address, const QRectF& pageRect)
{
    m_part->set(address, pageRect);
    m_part->show(this->address());
}

void EngineView::pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done)
{
    m_part->pageRectOf(viewRect, std::move(done));
}

void EngineView::setWholePageZoom(double zoom)
{
    m_part->setWholePageZoom(zoom);
}

QString EngineView::address() const
{
    if (m_documentUrl.isEmpty()) {
        return currentAddress();
    }
    return m_documentUrl.toString() == QStringLiteral("about:blank") ? QString()
                                                                     : AddressRules::kept(m_documentUrl);
}

QString EngineView::currentAddress() const
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

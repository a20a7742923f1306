#include "platform/WatchedPart.h"

#include "core/AddressRules.h"

#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWindow>

WatchedPart::WatchedPart(QWebEngineView* view, QObject* parent)
    : QObject(parent), m_view(view), m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(300);
    connect(m_settle, &QTimer::timeout, this, [this] { show(m_address); });
}

void WatchedPart::setWholePageZoom(double zoom)
{
    m_wholePageZoom = zoom;
    m_zoomChosen = true;
    if (!m_shown) {
        m_view->setZoomFactor(zoom);
    }
}

void WatchedPart::keepWholePageZoom()
{
    if (!m_shown && m_zoomChosen && !qFuzzyCompare(m_view->zoomFactor(), m_wholePageZoom)) {
        m_view->setZoomFactor(m_wholePageZoom);
    }
}

void WatchedPart::set(const QString& address, const QRectF& pageRect)
{
    m_parts.removeIf([&address](const auto& a) { return a.first == address; });
    if (!pageRect.isEmpty()) {
        m_parts.append({address, pageRect});
    }
}

void WatchedPart::resized(const QString& address)
{
    if (!m_screenWatched && m_view->window()->windowHandle() != nullptr) {
        m_screenWatched = true; // another screen may give the page another size or scale
        connect(m_view->window()->windowHandle(), &QWindow::screenChanged, m_settle,
                qOverload<>(&QTimer::start));
    }
    if (m_shown) {
        // At once, and again when the page has taken the new size (maximizing takes the engine a
        // while), so that the part is never left at the zoom and place of the old size.
        show(address);
        m_settle->start();
    }
}

void WatchedPart::show(const QString& address)
{
    m_address = address;
    QWebEnginePage* page = m_view->page();
    const QSize view = m_view->size();
    const auto part = std::find_if(m_parts.cbegin(), m_parts.cend(), [&address](const auto& a) {
        return AddressRules::samePage(address, a.first);
    });
    if (part == m_parts.cend() || view.isEmpty()) {
        if (std::exchange(m_shown, false)) {
            m_view->setZoomFactor(m_wholePageZoom); // the whole page again
            page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, true);
            page->runJavaScript(
                QStringLiteral("document.getElementById('watched-part-scrollbars')?.remove()"),
                QWebEngineScript::ApplicationWorld);
        }
        return;
    }
    // The part is a picture, not a page to scroll through: no scrollbars over it, nor in its frames.
    // The setting holds from the next load; the page shown now has them hidden by a style of its own.
    page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    if (!m_shown) {
        page->runJavaScript(
            QStringLiteral("(() => { if (document.getElementById('watched-part-scrollbars')) return; "
                           "const s = document.createElement('style'); s.id = 'watched-part-scrollbars'; "
                           "s.textContent = '::-webkit-scrollbar { display: none }'; "
                           "(document.head || document.documentElement).appendChild(s); })()"),
            QWebEngineScript::ApplicationWorld);
    }
    // The part fills the view, kept in proportion and centred, within the zoom the engine takes.
    const double zoom =
        qBound(0.25, qMin(view.width() / part->second.width(), view.height() / part->second.height()), 5.0);
    m_view->setZoomFactor(zoom);
    m_shown = true;
    // Page pixels do not change with the zoom: the part's middle is put in the middle of the page's
    // own viewport, at once and again at the next frame, by which the zoom and size have reached it.
    const QString scroll =
        QStringLiteral("(() => { const f = () => scrollTo(%1 - innerWidth / 2, %2 - innerHeight / 2); f(); "
                       "requestAnimationFrame(f); })()")
            .arg(part->second.center().x())
            .arg(part->second.center().y());
    page->runJavaScript(scroll, QWebEngineScript::ApplicationWorld);
}

void WatchedPart::pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done)
{
    const double zoom = m_view->zoomFactor();
    const QPointer<WatchedPart> alive(this);
    m_view->page()->runJavaScript(
        QStringLiteral("[scrollX, scrollY]"), QWebEngineScript::ApplicationWorld,
        [alive, viewRect, zoom, done = std::move(done)](const QVariant& v) {
            if (alive.isNull()) {
                return;
            }
            const QVariantList scroll = v.toList();
            const QPointF at(scroll.value(0).toDouble(), scroll.value(1).toDouble());
            done(QRectF(at + QPointF(viewRect.topLeft()) / zoom, QSizeF(viewRect.size()) / zoom));
        });
}

#include "platform/PageRenewal.h"

#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

PageRenewal::PageRenewal(int reloadsBefore, QObject* parent)
    : QObject(parent), m_reloadsBefore(reloadsBefore), m_sessionCheck(new QTimer(this))
{
    // Looked at after each load and now and then between loads, for what the page or the user's
    // clicks put there later.
    m_sessionCheck->setInterval(SessionCheckMs);
    connect(m_sessionCheck, &QTimer::timeout, this, &PageRenewal::checkSession);
    m_sessionCheck->start();
}

void PageRenewal::attach(QWebEnginePage* page)
{
    m_page = page;
    m_keepsSession = false;
    m_sessionAsked = false;
}

void PageRenewal::documentLoaded()
{
    m_sessionAsked = false;
    checkSession();
}

bool PageRenewal::renewsAt(const PageState& page)
{
    // Nobody goes back on a wall display: there history does not hold the page. One scrolled by hand
    // or saving stays, and one waiting in its dialog goes only once that has returned.
    if (++m_reloads <= m_reloadsBefore || !page.covered || m_keepsSession || page.historyKept ||
        page.scrolledByHand || page.busy) {
        return false;
    }
    if (page.document.isEmpty() || page.document.scheme() == QLatin1String("about")) {
        return false;
    }
    m_reloads = 0;
    return true;
}

void PageRenewal::checkSession()
{
    static const QString script =
        QStringLiteral("(() => { try { return window.sessionStorage.length; } catch (e) { return 0; } })()");
    if (m_page == nullptr || m_sessionAsked) {
        return; // a page that does not answer is not asked again and again
    }
    m_sessionAsked = true;
    m_page->runJavaScript(
        script, QWebEngineScript::ApplicationWorld,
        [guard = QPointer<PageRenewal>(this), page = QPointer<QWebEnginePage>(m_page)](const QVariant& v) {
            if (!guard.isNull() && page == guard->m_page) { // not a page renewed meanwhile
                guard->m_keepsSession = v.toInt() > 0;
                guard->m_sessionAsked = false;
            }
        });
}

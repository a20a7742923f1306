#pragma once

#include <QObject>
#include <QUrl>

class QTimer;
class QWebEnginePage;

// When a reload under the cover is made by a fresh page instead. Weeks of reloads grow the renderer's
// heap; a fresh page in a fresh renderer gives it all back. Only under the cover, and only where the
// user loses nothing by it. What the page keeps in cookies and localStorage stays; a page that keeps
// something in its sessionStorage keeps it over a reload, but a fresh page would start without it:
// such a page is never renewed.
class PageRenewal : public QObject
{
    Q_OBJECT
public:
    // How often a shown page's sessionStorage is looked at between loads.
    static constexpr int SessionCheckMs = 10000;

    // The page on screen as a reload of it begins.
    struct PageState
    {
        bool covered = false;        // under the cover, where the change is not seen
        bool historyKept = false;    // there is history to go back or forward to, and someone to do it
        bool scrolledByHand = false; // scrolled, and not to a watched part
        bool busy = false;           // a save under way, or the page waiting in its own dialog
        QUrl document;               // the address the document was loaded from
    };

    // reloadsBefore: reloads of one page after which the next reload under the cover is made by a
    // fresh page.
    PageRenewal(int reloadsBefore, QObject* parent);

    // The view shows page from now on; a fresh page's sessionStorage is empty.
    void attach(QWebEnginePage* page);
    // A new document was loaded: what was asked of the last one is moot, and it is looked at anew.
    void documentLoaded();
    // Counts a reload of the page; true when this one is to be made by a fresh page.
    bool renewsAt(const PageState& page);

private:
    void checkSession(); // whether the page keeps anything in its sessionStorage

    int m_reloadsBefore;
    QTimer* m_sessionCheck; // looks at the page's sessionStorage between loads
    QWebEnginePage* m_page = nullptr;
    int m_reloads = 0;           // reloads since the page was made
    bool m_keepsSession = false; // the page's sessionStorage has something: it is not renewed
    bool m_sessionAsked = false; // a look at it is under way
};

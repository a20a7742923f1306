#pragma once

#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>

#include <functional>
#include <utility>

class QTimer;
class QWebEngineView;

// The part of a page that is watched instead of the whole page (page pixels at 100% zoom): the view
// is zoomed and scrolled so that the part fills it, kept in proportion and centred, again after every
// resize and change of screen, and without scrollbars over it. Elsewhere the view has the zoom the
// user chose for the whole page (the text size), once one was chosen.
class WatchedPart : public QObject
{
    Q_OBJECT
public:
    WatchedPart(QWebEngineView* view, QObject* parent);

    // The zoom of the whole page: at once, unless a part is shown, which keeps its own.
    void setWholePageZoom(double zoom);
    // The view's page is a fresh one, or has loaded: it is given the chosen zoom again where no part
    // is shown.
    void keepWholePageZoom();

    // The part of an address's page; an empty one shows the whole page again.
    void set(const QString& address, const QRectF& pageRect);
    // Zooms and scrolls to the part of the page at address, if it has one; else the whole page.
    void show(const QString& address);
    // The view was resized: shown again at once, and once the page has taken the new size.
    void resized(const QString& address);
    // Whether the view is zoomed and scrolled to a part now.
    bool shown() const { return m_shown; }
    // The page rectangle under a rectangle of the view, as the page is scrolled and zoomed now.
    void pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done);

private:
    QWebEngineView* m_view;
    double m_wholePageZoom = 1.0; // the engine's own until the user chose one
    bool m_zoomChosen = false;
    QTimer* m_settle; // shown again once a resize has reached the page
    bool m_screenWatched = false;
    QString m_address; // of the last page shown
    QList<std::pair<QString, QRectF>> m_parts;
    bool m_shown = false;
};

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
// resize and change of screen, and without scrollbars over it.
class WatchedPart : public QObject
{
    Q_OBJECT
public:
    // wholePageZoom: the zoom the view goes back to when no part is shown.
    WatchedPart(QWebEngineView* view, std::function<double()> wholePageZoom, QObject* parent);

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
    std::function<double()> m_wholePageZoom;
    QTimer* m_settle; // shown again once a resize has reached the page
    bool m_screenWatched = false;
    QString m_address; // of the last page shown
    QList<std::pair<QString, QRectF>> m_parts;
    bool m_shown = false;
};

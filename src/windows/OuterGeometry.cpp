#include "windows/OuterGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

OuterGeometry::OuterGeometry(QWidget* window) : QObject(window), m_window(window)
{
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        check();
        if (++m_ticks >= WatchTicks) {
            m_watch.stop();
            m_active = false;
        }
    });
    window->installEventFilter(this);
}

QMargins OuterGeometry::frameOf(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle == nullptr ? QMargins() : handle->frameMargins();
}

QRect OuterGeometry::of(const QWidget* window)
{
    return window->geometry().marginsAdded(frameOf(window));
}

bool OuterGeometry::placeKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

TwipRect OuterGeometry::twipsOf(const QWidget* window, const Twips& twips)
{
    const QRect r = of(window);
    return {twips.fromPixelsX(r.x()), twips.fromPixelsY(r.y()), twips.fromPixelsX(r.width()),
            twips.fromPixelsY(r.height())};
}

void OuterGeometry::apply(QSize outerSize, std::optional<QPoint> topLeft)
{
    m_outerSize = outerSize;
    m_topLeft = topLeft;
    m_active = true;
    m_ticks = 0;
    place();
    if (m_window->isVisible()) {
        m_watch.start();
    }
}

void OuterGeometry::place()
{
    const QMargins frame = frameOf(m_window);
    m_placedFrame = frame;
    const QSize client(m_outerSize.width() - frame.left() - frame.right(),
                       m_outerSize.height() - frame.top() - frame.bottom());
    m_window->resize(client.expandedTo(QSize(1, 1)));
    QPoint topLeft;
    if (m_topLeft) {
        topLeft = *m_topLeft;
    } else if (const QScreen* screen = m_window->screen()) {
        const QSize outer = m_window->size().grownBy(frame);
        const QRect area = screen->availableGeometry();
        topLeft =
            area.topLeft() + QPoint((area.width() - outer.width()) / 2, (area.height() - outer.height()) / 2);
    }
    m_window->move(topLeft); // a top-level window's position is that of its frame
    m_placedClient = m_window->size();
}

void OuterGeometry::check()
{
    if (!m_active || m_window->windowState() != Qt::WindowNoState) {
        return;
    }
    if (m_window->size() != m_placedClient) {
        m_active = false; // resized since: that size stays
        m_watch.stop();
        return;
    }
    if (frameOf(m_window) != m_placedFrame) {
        place();
    }
}

bool OuterGeometry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && m_active) {
        switch (event->type()) {
        case QEvent::Show:
            m_ticks = 0;
            m_watch.start();
            QTimer::singleShot(0, this, &OuterGeometry::check); // some window systems frame at once
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_window->isVisible()) {
                check();
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

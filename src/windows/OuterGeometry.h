#pragma once

#include "core/MainLayout.h"
#include "core/Twips.h"

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <optional>

class QWidget;

// A top-level window's outer geometry, its frame included, as the settings store it. The window
// manager tells the frame only after it has mapped the window, sometimes several events later and
// with no event of its own, so a geometry applied before that is applied again once the frame is
// known; once the window has been resized otherwise, that size stays.
class OuterGeometry : public QObject
{
    Q_OBJECT
public:
    explicit OuterGeometry(QWidget* window);

    // The frame around the window's client area as the window manager reports it now.
    static QMargins frameOf(const QWidget* window);
    // The window's outer rectangle in pixels, frame included.
    static QRect of(const QWidget* window);
    // The same in twips, as the settings hold it.
    static TwipRect twipsOf(const QWidget* window, const Twips& twips);

    // Whether the window system tells a program where its windows are: Wayland does not, and lets
    // the compositor place them.
    static bool placeKnown();

    // Gives the window this outer size and puts its outer top-left corner at topLeft, or centres it
    // on its screen's work area when topLeft is not given.
    void apply(QSize outerSize, std::optional<QPoint> topLeft);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    void check();

    static constexpr int WatchIntervalMs = 25;
    static constexpr int WatchTicks = 160; // four seconds after the window shows

    QWidget* m_window;
    QSize m_outerSize;
    std::optional<QPoint> m_topLeft;
    bool m_active = false;
    QMargins m_placedFrame;
    QSize m_placedClient;
    QTimer m_watch;
    int m_ticks = 0;
};

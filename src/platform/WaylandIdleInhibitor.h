#pragma once

class QWindow;
struct wl_display;
struct wl_event_queue;
struct zwp_idle_inhibit_manager_v1;
struct zwp_idle_inhibitor_v1;

// Keeps the compositor from going idle (blanking or locking the screen) while the window shows,
// through the idle-inhibit protocol on the window's surface, when the program runs on Wayland and
// the compositor offers the protocol. Elsewhere nothing happens.
class WaylandIdleInhibitor
{
public:
    explicit WaylandIdleInhibitor(QWindow* window);
    ~WaylandIdleInhibitor();
    WaylandIdleInhibitor(const WaylandIdleInhibitor&) = delete;
    WaylandIdleInhibitor& operator=(const WaylandIdleInhibitor&) = delete;

    bool active() const { return m_inhibitor != nullptr; }

private:
    wl_display* m_display = nullptr;
    wl_event_queue* m_queue = nullptr; // its own, so that Qt's events are never dispatched from here
    zwp_idle_inhibit_manager_v1* m_manager = nullptr;
    zwp_idle_inhibitor_v1* m_inhibitor = nullptr;
};

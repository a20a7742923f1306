#include "platform/WaylandIdleInhibitor.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include <wayland-client.h>

#include <cstring>

namespace {

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t /*version*/)
{
    auto** manager = static_cast<zwp_idle_inhibit_manager_v1**>(data);
    if (*manager == nullptr && std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0) {
        *manager = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
    }
}

void withdrawn(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener Listener{announced, withdrawn};

} // namespace

WaylandIdleInhibitor::WaylandIdleInhibitor(QWindow* window)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (window == nullptr || native == nullptr ||
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return;
    }
    m_display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
    if (m_display == nullptr || surface == nullptr) {
        return;
    }
    // The compositor's globals, asked on a queue of this object's own over Qt's connection.
    m_queue = wl_display_create_queue(m_display);
    auto* display = static_cast<wl_display*>(wl_proxy_create_wrapper(m_display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(display), m_queue);
    wl_registry* registry = wl_display_get_registry(display);
    wl_proxy_wrapper_destroy(display);
    wl_registry_add_listener(registry, &Listener, &m_manager);
    wl_display_roundtrip_queue(m_display, m_queue);
    wl_registry_destroy(registry);
    if (m_manager != nullptr) {
        m_inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(m_manager, surface);
        wl_display_flush(m_display);
    }
}

WaylandIdleInhibitor::~WaylandIdleInhibitor()
{
    if (m_inhibitor != nullptr) {
        zwp_idle_inhibitor_v1_destroy(m_inhibitor);
    }
    if (m_manager != nullptr) {
        zwp_idle_inhibit_manager_v1_destroy(m_manager);
    }
    if (m_display != nullptr) {
        wl_display_flush(m_display);
    }
    if (m_queue != nullptr) {
        wl_event_queue_destroy(m_queue);
    }
}

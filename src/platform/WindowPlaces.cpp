#include "platform/WindowPlaces.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>

WindowPlaces::WindowPlaces()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x11->connection()));
    if (screens.rem > 0)
        m_root = screens.data->root;
    qGuiApp->installNativeEventFilter(this);
    m_listening = true;
}

WindowPlaces::~WindowPlaces()
{
    if (m_listening && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

void WindowPlaces::setRoot(std::uint32_t root)
{
    m_root = root;
    m_listening = true;
}

bool WindowPlaces::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // The high bit marks an event another client sent: the window manager's notices.
    const bool sent = (event->response_type & 0x80) != 0;
    switch (event->response_type & ~0x80) {
    case XCB_REPARENT_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        if (e->event != e->window)
            break;
        if (e->parent == m_root)
            m_framed.erase(e->window);
        else
            m_framed.insert(e->window);
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (e->event != e->window)
            break;
        // The server's own notice of a framed window is relative to the frame: no place
        // on the screen. The manager's notices are on the screen (ICCCM 4.1.5).
        if (sent || !m_framed.contains(e->window))
            note(e->window, QPoint(e->x, e->y));
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        m_framed.erase(e->window);
        m_announced.erase(e->window);
        break;
    }
    default:
        break;
    }
    return false; // the toolkit handles every event as ever
}

void WindowPlaces::note(std::uint32_t window, QPoint nativePlace)
{
    Recent& r = m_announced[window];
    r.places[r.next] = nativePlace;
    r.next = (r.next + 1) % r.places.size();
    r.count = std::min(r.count + 1, r.places.size());
}

bool WindowPlaces::announced(const QWindow& window, QPoint place) const
{
    if (!m_listening)
        return true;
    const auto found = m_announced.find(static_cast<std::uint32_t>(window.winId()));
    if (found == m_announced.end())
        return false;
    // The window system counts device pixels; a scaled session rounds them to logical
    // ones, so a pixel either way is the same place.
    const double ratio = window.devicePixelRatio() > 0 ? window.devicePixelRatio() : 1.0;
    const Recent& r = found->second;
    for (std::size_t i = 0; i < r.count; ++i) {
        const QPoint p = r.places[i];
        if (std::abs(p.x() / ratio - place.x()) <= 1.0 && std::abs(p.y() / ratio - place.y()) <= 1.0)
            return true;
    }
    return false;
}

#pragma once

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// xcb hands its replies over to be freed with free().
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// The X connection Qt already holds; null on any other window system.
inline xcb_connection_t* x11Connection()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Sends the X server what Qt has queued for it. Qt sends its requests as it reads the
// server's events: one made from a timer while nothing else happens (a window's icon,
// say) would otherwise wait for the next mouse move.
inline void flushX11()
{
    if (xcb_connection_t* c = x11Connection())
        xcb_flush(c);
}

#include "x11hints.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(DAYVANE_HAVE_XCB)
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>
#endif

namespace x11hints {

#if defined(DAYVANE_HAVE_XCB)
namespace {

xcb_connection_t *connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *conn, const char *name)
{
    const auto cookie = xcb_intern_atom(conn, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(conn, cookie, nullptr),
                                               &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// A window's property of 32-bit values; none when it is not set.
std::vector<uint32_t> property(xcb_connection_t *conn, xcb_window_t window, xcb_atom_t name,
                               xcb_atom_t type)
{
    const auto cookie = xcb_get_property(conn, 0, window, name, type, 0, 1024);
    const Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(conn, cookie, nullptr),
                                                &std::free);
    if (!reply)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / sizeof(uint32_t)};
}

} // namespace
#endif

void skipTaskbar(QWidget *window)
{
#if defined(DAYVANE_HAVE_XCB)
    xcb_connection_t *const conn = connection();
    if (!conn)
        return;
    const xcb_atom_t state = atom(conn, "_NET_WM_STATE");
    const std::array<xcb_atom_t, 2> skip = {atom(conn, "_NET_WM_STATE_SKIP_TASKBAR"),
                                            atom(conn, "_NET_WM_STATE_SKIP_PAGER")};
    // Qt keeps states it finds already set when it maps the window.
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(skip.size()), skip.data());
    xcb_flush(conn);
#else
    Q_UNUSED(window);
#endif
}

QMargins frameExtents(QWidget *window)
{
#if defined(DAYVANE_HAVE_XCB)
    xcb_connection_t *const conn = connection();
    if (!conn)
        return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const xcb_atom_t ask = atom(conn, "_NET_REQUEST_FRAME_EXTENTS");
    // Only a window manager that says it answers is asked, so that none keeps us waiting.
    const auto supported = property(conn, root, atom(conn, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), ask) == supported.end())
        return {};
    xcb_client_message_event_t request = {};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = ask;
    xcb_send_event(conn, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&request));
    // Reads the window's extents every millisecond until the window manager has set them,
    // for at most a tenth of a second: one answers at once (openbox in 1-2 ms) or not at all.
    const xcb_atom_t extents = atom(conn, "_NET_FRAME_EXTENTS");
    for (int tries = 0; tries < 100; ++tries) {
        // Left, right, top, bottom, in the screen's pixels.
        if (const auto side = property(conn, id, extents, XCB_ATOM_CARDINAL); side.size() == 4) {
            const qreal ratio = window->devicePixelRatioF();
            return QMargins(qRound(side[0] / ratio), qRound(side[2] / ratio),
                            qRound(side[1] / ratio), qRound(side[3] / ratio));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
#else
    Q_UNUSED(window);
#endif
    return {};
}

} // namespace x11hints

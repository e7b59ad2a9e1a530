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
    const xcb_screen_t *const screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    const xcb_atom_t extents = atom(conn, "_NET_FRAME_EXTENTS");
    const xcb_atom_t ask = atom(conn, "_NET_REQUEST_FRAME_EXTENTS");
    // Only a window manager that says it answers is asked, so that none keeps us waiting.
    const Owned<xcb_get_property_reply_t> supported(
        xcb_get_property_reply(conn,
                               xcb_get_property(conn, 0, screen->root, atom(conn, "_NET_SUPPORTED"),
                                                XCB_ATOM_ATOM, 0, 1024),
                               nullptr),
        &std::free);
    if (!supported)
        return {};
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / int(sizeof(xcb_atom_t));
    if (std::find(atoms, atoms + count, ask) == atoms + count)
        return {};
    xcb_client_message_event_t request = {};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = ask;
    xcb_send_event(conn, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&request));
    // Reads the window's extents every millisecond until the window manager has set them,
    // for at most a tenth of a second: one answers at once (openbox in 1-2 ms) or not at all.
    for (int tries = 0; tries < 100; ++tries) {
        const Owned<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(
                conn, xcb_get_property(conn, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr),
            &std::free);
        if (reply && xcb_get_property_value_length(reply.get()) == 4 * sizeof(uint32_t)) {
            const auto *side = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
            // Left, right, top, bottom, in the screen's pixels.
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

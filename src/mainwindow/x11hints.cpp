#include "x11hints.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(DAYVANE_HAVE_XCB)
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace x11hints {

void skipTaskbar(QWidget *window)
{
#if defined(DAYVANE_HAVE_XCB)
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *const conn = x11->connection();
    const auto atom = [conn](const char *name) {
        const auto cookie =
            xcb_intern_atom(conn, 0, static_cast<uint16_t>(std::strlen(name)), name);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(conn, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const std::array<xcb_atom_t, 2> skip = {atom("_NET_WM_STATE_SKIP_TASKBAR"),
                                            atom("_NET_WM_STATE_SKIP_PAGER")};
    // Qt keeps states it finds already set when it maps the window.
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(skip.size()), skip.data());
    xcb_flush(conn);
#else
    Q_UNUSED(window);
#endif
}

} // namespace x11hints

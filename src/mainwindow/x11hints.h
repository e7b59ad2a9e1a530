#pragma once

#include <QMargins>

class QWidget;

namespace x11hints {

// Keeps a top-level window out of the task bar and the pager. Qt has no flag for it, so on
// X11 the window manager is told through _NET_WM_STATE before the window is first mapped.
// Does nothing on other platforms.
void skipTaskbar(QWidget *window);

// The frame the X11 window manager will put around a window not yet mapped, which Qt
// learns only once it is (_NET_REQUEST_FRAME_EXTENTS). None on other platforms, where Qt
// knows the frame itself, or where the window manager does not say.
QMargins frameExtents(QWidget *window);

} // namespace x11hints

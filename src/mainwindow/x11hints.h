#pragma once

class QWidget;

namespace x11hints {

// Keeps a top-level window out of the task bar and the pager. Qt has no flag for it, so on
// X11 the window manager is told through _NET_WM_STATE before the window is first mapped.
// Does nothing on other platforms.
void skipTaskbar(QWidget *window);

} // namespace x11hints

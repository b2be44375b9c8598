// The close request a window manager sends when its caption's close button is pressed.
#pragma once

#include <string>

namespace rvtest {

// Sends WM_DELETE_WINDOW to window on the X11 server display, from a client of its own
// through the server, so that it comes to the window's program as any event does.
bool RequestClose(const std::string& display, unsigned long window);

}  // namespace rvtest

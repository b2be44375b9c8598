// A file of its own, kept out of unity batches: Xlib's macros would clash with Qt's names.
#include "tests/display/close_request.h"

#include <X11/Xlib.h>

namespace rvtest {

bool RequestClose(const std::string& display, unsigned long window) {
    Display* server = XOpenDisplay(display.c_str());
    if (!server) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(server, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(server, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(server, window, False, NoEventMask, &event);
    XSync(server, False);  // delivered before the display goes
    XCloseDisplay(server);
    return sent != 0;
}

}  // namespace rvtest

// A real display for the keypad test: an X server (Xvfb) whose keyboard xdotool works, and
// for Wayland a weston on it (x11 back end) that passes the X keyboard on to its clients.
#pragma once

#include <sys/types.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace keytest {

class KeyDisplay {
public:
    // Starts the servers for the Qt platform "xcb" or "wayland" and points this process's
    // environment (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM) at them.
    explicit KeyDisplay(const std::string& platform);
    ~KeyDisplay();
    KeyDisplay(const KeyDisplay&) = delete;
    KeyDisplay& operator=(const KeyDisplay&) = delete;

    // Empty when the display runs; otherwise why not (a program missing, a server failing).
    const std::string& Missing() const { return m_missing; }

private:
    bool StartX();
    bool StartWeston();

    rvtest::TempDir m_runtime;  // XDG_RUNTIME_DIR, weston's socket
    pid_t m_x = -1;
    pid_t m_weston = -1;
    std::string m_missing;
};

// Runs xdotool with the arguments and waits for it; false when it failed.
bool XDoTool(const std::string& args);

// Why the test program has no display (set by its entry); empty when it has one.
extern std::string g_displayMissing;

}  // namespace keytest

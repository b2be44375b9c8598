// Real display servers for tests, each private to its test: weston (on its headless back end,
// or in a window of an X server) and Xvfb. Each runs in a runtime folder of its own (0700,
// the XDG_RUNTIME_DIR of its clients) under a fresh name, so tests can run side by side. The
// constructor returns once the server takes clients, or has failed (Ready() says which); the
// destructor ends it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace rvtest {

class DisplayServer {
public:
    virtual ~DisplayServer();

    bool Ready() const { return m_ready; }
    // What a client needs in its environment to reach the server, as a session gives it.
    virtual std::vector<std::string> ClientEnvironment() const = 0;
    // The server's own messages so far, for a failure's report.
    std::string Log() const;
    const std::filesystem::path& RuntimeDir() const { return m_runtime.path(); }

protected:
    DisplayServer();
    // Starts the server with a pipe as its descriptor 3 and returns the first line it writes
    // there: empty when none comes in time or the server ends first.
    std::string Start(const std::vector<std::string>& argv, const std::vector<std::string>& env);

    TempDir m_runtime;
    std::unique_ptr<Child> m_server;
    bool m_ready = false;
};

struct WestonScreen {
    bool kiosk = true;  // the kiosk shell (full screen, no captions), or the desktop shell
    int width = 240;    // the output's size in logical pixels: scale 2 has twice the pixels
    int height = 320;
    int scale = 1;
    // An X display: the output is a window there, which passes the X keyboard on to weston's
    // clients. None: the headless back end.
    std::string onX;
};

// weston with the pixman renderer.
//
// Its kiosk shell (weston 10) puts a window on the screen only when a seat activates it, and
// the headless back end has no seat: the window is configured full screen and draws, but the
// screen stays black, for every client. So what a kiosk window looks like can be asked of the
// window and of the protocol, not of the screen's pixels.
class Weston : public DisplayServer {
public:
    explicit Weston(const WestonScreen& screen);

    std::vector<std::string> ClientEnvironment() const override;

private:
    std::string m_socket;
};

// Xvfb with one screen of width × height at 24 bits, and no window manager.
class Xvfb : public DisplayServer {
public:
    Xvfb(int width, int height);

    std::vector<std::string> ClientEnvironment() const override;
    const std::string& Display() const { return m_display; }

private:
    std::string m_display;
};

}  // namespace rvtest

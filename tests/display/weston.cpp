#include <unistd.h>

#include "tests/display/display_server.h"

namespace rvtest {

Weston::Weston(const WestonScreen& screen) : m_socket("rv4417-" + std::to_string(getpid())) {
    // weston says it is up by starting the autolaunch program, which tells the test so.
    const std::filesystem::path ready = m_runtime.Write("ready.sh", "#!/bin/sh\necho up >&3\n");
    std::filesystem::permissions(ready, std::filesystem::perms::owner_all);
    const std::filesystem::path config =
        m_runtime.Write("weston.ini", "[autolaunch]\npath=" + ready.string() + "\n");
    ChildOptions options;
    options.argv = {
        "/usr/bin/weston",
        "--backend=headless-backend.so",
        "--use-pixman",
        "--width=" + std::to_string(screen.width),
        "--height=" + std::to_string(screen.height),
        "--scale=" + std::to_string(screen.scale),
        std::string("--shell=") + (screen.kiosk ? "kiosk-shell.so" : "desktop-shell.so"),
        "--socket=" + m_socket,
        "--config=" + config.string()};
    options.env = EnvironmentWith({"XDG_RUNTIME_DIR=" + RuntimeDir().string()});
    options.log = LogPath();
    m_ready = Start(options, kStartMs) == "up";
}

std::vector<std::string> Weston::ClientEnvironment() const {
    return {"XDG_RUNTIME_DIR=" + RuntimeDir().string(), "WAYLAND_DISPLAY=" + m_socket};
}

}  // namespace rvtest

#include "tests/support/display_server.h"

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace rvtest {

namespace {

constexpr int kStartMs = 20000;

}  // namespace

DisplayServer::DisplayServer() {
    std::filesystem::permissions(m_runtime.path(), std::filesystem::perms::owner_all);
}

DisplayServer::~DisplayServer() {
    if (m_server) {
        m_server->Signal(SIGTERM);
        m_server->Wait(kStartMs);
    }
}

std::string DisplayServer::Log() const {
    std::ostringstream text;
    text << std::ifstream(m_runtime.path() / "server.log").rdbuf();
    return text.str();
}

std::string DisplayServer::Start(const std::vector<std::string>& argv,
                                 const std::vector<std::string>& env) {
    m_server = std::make_unique<Child>(
        ChildOptions{.argv = argv, .env = env, .log = m_runtime.path() / "server.log", .pipe = 3});
    return m_server->ReadLine(kStartMs).value_or("");
}

Weston::Weston(const WestonScreen& screen) : m_socket("rv4417-" + std::to_string(getpid())) {
    // weston says it is up by starting the autolaunch program, which tells the test so.
    const std::filesystem::path ready = m_runtime.Write("ready.sh", "#!/bin/sh\necho up >&3\n");
    std::filesystem::permissions(ready, std::filesystem::perms::owner_all);
    const std::filesystem::path config =
        m_runtime.Write("weston.ini", "[autolaunch]\npath=" + ready.string() + "\n");
    std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + RuntimeDir().string()};
    if (!screen.onX.empty()) {
        env.push_back("DISPLAY=" + screen.onX);
    }
    m_ready =
        Start(
            {"/usr/bin/weston",
             screen.onX.empty() ? "--backend=headless-backend.so" : "--backend=x11-backend.so",
             "--use-pixman", "--idle-time=0", "--width=" + std::to_string(screen.width),
             "--height=" + std::to_string(screen.height), "--scale=" + std::to_string(screen.scale),
             std::string("--shell=") + (screen.kiosk ? "kiosk-shell.so" : "desktop-shell.so"),
             "--socket=" + m_socket, "--config=" + config.string()},
            EnvironmentWith(env)) == "up";
}

std::vector<std::string> Weston::ClientEnvironment() const {
    return {"XDG_RUNTIME_DIR=" + RuntimeDir().string(), "WAYLAND_DISPLAY=" + m_socket};
}

Xvfb::Xvfb(int width, int height) {
    // -displayfd: Xvfb takes the first free display and names it once it takes clients. It
    // keeps its keymap when its last client goes (-noreset).
    const std::string number = Start({"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0",
                                      std::to_string(width) + "x" + std::to_string(height) + "x24",
                                      "-nolisten", "tcp", "-noreset"},
                                     EnvironmentWith({}));
    m_display = ":" + number;
    m_ready = !number.empty();
}

std::vector<std::string> Xvfb::ClientEnvironment() const {
    return {"XDG_RUNTIME_DIR=" + RuntimeDir().string(), "DISPLAY=" + m_display};
}

}  // namespace rvtest

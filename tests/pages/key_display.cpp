#include "tests/pages/key_display.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLibraryInfo>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace keytest {

namespace {

bool OnPath(const std::string& program) {
    const char* path = getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Starts argv with stdout and stderr to /dev/null; it inherits the descriptors that have no
// close-on-exec flag.
pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

void Stop(pid_t& pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

}  // namespace

KeyDisplay::KeyDisplay(const std::string& platform) {
    chmod(m_runtime.path().c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", m_runtime.path().c_str(), 1);
    if (StartX() && platform == "wayland") {
        StartWeston();
    }
    setenv("QT_QPA_PLATFORM", m_missing.empty() ? platform.c_str() : "offscreen", 1);
}

KeyDisplay::~KeyDisplay() {
    Stop(m_weston);
    Stop(m_x);
}

bool KeyDisplay::StartX() {
    for (const char* program : {"Xvfb", "xdotool", "xkbcomp"}) {
        if (!OnPath(program)) {
            m_missing = std::string(program) + " is not installed";
            return false;
        }
    }
    // Xvfb picks a free display and writes its number to the pipe once it takes clients. It
    // keeps the keymap when its last client goes (-noreset).
    int ready[2];
    if (pipe(ready) != 0) {
        m_missing = "no pipe";
        return false;
    }
    m_x = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "800x600x24",
                 "-nolisten", "tcp", "-noreset"});
    close(ready[1]);
    std::string number;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(ready[0]);
    if (m_x < 0 || number.empty()) {
        m_missing = "Xvfb did not start";
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    // The server's own keymap, and the keysyms Select and Clear on two keys it leaves empty
    // (evdev's KEY_MACRO and KEY_SETUP), as a terminal's keymap may name its keys.
    const auto keymap = m_runtime.Write("keymap.xkb", R"xkb(xkb_keymap {
        xkb_keycodes { include "evdev+aliases(qwerty)" };
        xkb_types { include "complete" };
        xkb_compat { include "complete" };
        xkb_symbols { include "pc+us+inet(evdev)"
                      key <I120> { [ Select ] };
                      key <I149> { [ Clear ] }; };
    };)xkb");
    if (system(("xkbcomp -w0 " + keymap.string() + " \"$DISPLAY\"").c_str()) != 0) {
        m_missing = "xkbcomp could not load the keymap";
        return false;
    }
    return true;
}

bool KeyDisplay::StartWeston() {
    if (!OnPath("weston")) {
        m_missing = "weston is not installed";
        return false;
    }
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    if (!std::filesystem::exists(plugins.toStdString() + "/platforms/libqwayland-generic.so")) {
        m_missing = "Qt's Wayland platform (qt6-wayland) is not installed";
        return false;
    }
    // The desktop shell gives a new window the keyboard at once.
    m_weston =
        Spawn({"weston", "--backend=x11-backend.so", "--use-pixman", "--width=800", "--height=600",
               "--shell=desktop-shell.so", "--socket=rv-keypad", "--idle-time=0"});
    const auto socket = m_runtime.path() / "rv-keypad";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(socket) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polls for the socket
    }
    if (m_weston < 0 || !std::filesystem::exists(socket)) {
        m_missing = "weston did not start";
        return false;
    }
    setenv("WAYLAND_DISPLAY", "rv-keypad", 1);
    // The widgets draw into shared memory: no EGL driver to load (and to leave behind).
    setenv("QT_WAYLAND_DISABLE_HW_INTEGRATION", "1", 1);
    return true;
}

bool XDoTool(const std::string& args) {
    return system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace keytest

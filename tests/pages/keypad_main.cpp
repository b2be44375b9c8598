// The keypad test's entry: a real display first, then the Qt application on it. The display
// is an X server (Xvfb) whose keyboard xdotool works, and for Wayland a weston on it (x11
// back end) that passes the X keyboard on to its clients. RV_KEYPAD_PLATFORM says which (xcb
// or wayland); listing the tests needs none.
#include <stdlib.h>
#include <unistd.h>

#include <QLibraryInfo>
#include <cstring>
#include <fstream>
#include <memory>

#include "tests/support/display_server.h"
#include "tests/support/gui_run.h"

namespace keytest {
std::string g_displayMissing;
}

namespace {

std::unique_ptr<rvtest::Xvfb> g_x;
std::unique_ptr<rvtest::Weston> g_weston;

void Export(const std::vector<std::string>& env) {
    for (const std::string& entry : env) {
        const size_t is = entry.find('=');
        setenv(entry.substr(0, is).c_str(), entry.substr(is + 1).c_str(), 1);
    }
}

// Starts the servers for the platform and points this process at them; why not, if not.
std::string StartDisplay(const std::string& platform) {
#ifdef RV_UNDER_EMULATION
    // A foreign build's Qt platform plugins need not be there; the native run has the test.
    return "the keypad runs natively only, not under emulation";
#endif
    const bool wayland = platform == "wayland";
    if (wayland && !std::filesystem::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath)
                                                .append("/platforms/libqwayland-generic.so")
                                                .toStdString())) {
        return "Qt's Wayland platform (qt6-wayland) is not installed";
    }
    if (access("/usr/bin/xdotool", X_OK) != 0) {
        return "xdotool is not installed";
    }
    g_x = std::make_unique<rvtest::Xvfb>(800, 600);
    if (!g_x->Ready()) {
        return "Xvfb is not installed or did not start: " + g_x->Log();
    }
    Export(g_x->ClientEnvironment());
    // The server's own keymap, and the keysyms Select and Clear on two keys it leaves empty
    // (evdev's KEY_MACRO and KEY_SETUP), as a terminal's keymap may name its keys.
    const auto keymap = g_x->RuntimeDir() / "keymap.xkb";
    std::ofstream(keymap) << R"xkb(xkb_keymap {
        xkb_keycodes { include "evdev+aliases(qwerty)" };
        xkb_types { include "complete" };
        xkb_compat { include "complete" };
        xkb_symbols { include "pc+us+inet(evdev)"
                      key <I120> { [ Select ] };
                      key <I149> { [ Clear ] }; };
    };)xkb";
    const rvtest::Ran loaded =
        rvtest::RunProgram({"/usr/bin/xkbcomp", "-w0", keymap.string(), g_x->Display()});
    if (loaded.status != 0) {
        return "xkbcomp is not installed or could not load the keymap: " + loaded.err;
    }
    if (wayland) {
        // The desktop shell gives a new window the keyboard at once.
        g_weston = std::make_unique<rvtest::Weston>(rvtest::WestonScreen{
            .kiosk = false, .width = 800, .height = 600, .onX = g_x->Display()});
        if (!g_weston->Ready()) {
            return "weston is not installed or did not start: " + g_weston->Log();
        }
        Export(g_weston->ClientEnvironment());
        // The widgets draw into shared memory: no EGL driver to load (and to leave behind).
        setenv("QT_WAYLAND_DISABLE_HW_INTEGRATION", "1", 1);
    }
    return {};
}

}  // namespace

// Under the address sanitizer: the display's client libraries keep their connection's state
// to the end (D-Bus, Wayland's proxies, xkbcommon's keymaps and compose tables).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libwayland-client.so\nleak:libxkbcommon.so\n"
           "leak:libQt6WaylandClient.so\n";
}
// Whole stacks, so that the libraries above are seen in them (Qt's have no frame pointers).
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
    const char* asked = getenv("RV_KEYPAD_PLATFORM");
    const std::string platform = asked && !listing ? asked : "";
    keytest::g_displayMissing =
        platform.empty() ? "no display asked for (RV_KEYPAD_PLATFORM)" : StartDisplay(platform);
    setenv("QT_QPA_PLATFORM", keytest::g_displayMissing.empty() ? platform.c_str() : "offscreen",
           1);
    const int result = rvtest::RunGuiTests(argc, argv);
    g_weston.reset();
    g_x.reset();
    return result;
}

// The keypad test's entry: a real display server first, then the Qt application on it.
// RV_KEYPAD_PLATFORM says which (xcb or wayland); listing the tests needs none.
#include <stdlib.h>

#include <cstring>
#include <memory>

#include "tests/pages/key_display.h"
#include "tests/support/gui_run.h"

std::string keytest::g_displayMissing;

namespace {
#ifdef RV_UNDER_EMULATION
// A foreign build's Qt platform plugins need not be there; the native run has the test.
const char* const kNoDisplayHere = "the keypad runs natively only, not under emulation";
#else
const char* const kNoDisplayHere = nullptr;
#endif
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
    const char* platform = getenv("RV_KEYPAD_PLATFORM");
    std::unique_ptr<keytest::KeyDisplay> display;
    if (listing || !platform || kNoDisplayHere) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        keytest::g_displayMissing =
            kNoDisplayHere ? kNoDisplayHere : "no display asked for (RV_KEYPAD_PLATFORM)";
    } else {
        display = std::make_unique<keytest::KeyDisplay>(platform);
        keytest::g_displayMissing = display->Missing();
    }
    return rvtest::RunGuiTests(argc, argv);
}

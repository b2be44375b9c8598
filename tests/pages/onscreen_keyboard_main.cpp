// The on-screen keyboard test's entry: a machine without a keyboard (RV4417_KEYBOARD=none),
// the input method chosen before the Qt application is made, as the program's entry does.
#include <stdlib.h>

#include "platform/afx/input_panel.h"
#include "tests/support/gui_run.h"

// Under the address sanitizer: Qt Quick leaves its image cache, its textures and the points a
// MultiPointTouchArea makes of mouse presses behind at exit (Qt 6.4), all allocated inside Qt.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Quick.so\nleak:libQt6Qml.so\nleak:libQt6Gui.so\n";
}
// Whole stacks, so that the libraries above are seen in them (Qt's have no frame pointers).
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

int main(int argc, char** argv) {
    rvtest::UseTestDefaults();
    setenv("RV4417_KEYBOARD", "none", 1);
    AfxPrepareInputPanel();
    return rvtest::RunGuiTests(argc, argv);
}

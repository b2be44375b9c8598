// The on-screen keyboard test's entry: a machine without a keyboard (RV4417_KEYBOARD=none),
// the input method chosen before the Qt application is made, as the program's entry does.
#include <stdlib.h>

#include "platform/afx/input_panel.h"
#include "tests/support/gui_run.h"

int main(int argc, char** argv) {
    rvtest::UseTestDefaults();
    setenv("RV4417_KEYBOARD", "none", 1);
    AfxPrepareInputPanel();
    return rvtest::RunGuiTests(argc, argv);
}

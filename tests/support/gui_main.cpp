// The entry of test binaries that drive real widgets: an offscreen Qt application with the
// dialog framework running on the main thread, then GoogleTest.
#include "tests/support/gui_run.h"

int main(int argc, char** argv) {
    rvtest::UseTestDefaults();
    return rvtest::RunGuiTests(argc, argv);
}

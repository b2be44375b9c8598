// The start of the test programs that drive real widgets, for those with an entry of their own.
#pragma once

namespace rvtest {

// The offscreen platform unless QT_QPA_PLATFORM says otherwise, and a runtime folder of the
// tests' own (XDG_RUNTIME_DIR, unless set), which keeps Qt quiet.
void UseTestDefaults();

// Makes the Qt application, starts the dialog framework on this thread, runs the tests and
// stops the framework again; the tests' result.
int RunGuiTests(int argc, char** argv);

}  // namespace rvtest

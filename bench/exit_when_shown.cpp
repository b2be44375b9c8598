// Built into RV4417Test-shown only, the program bench_program times from its start until its
// dialog is up: once the main dialog is shown, it says "shown" on the standard output and
// ends the dialog, and with it the program.
#include <cstdio>

#include "platform/afx/afx.h"

namespace {

void SayShownAndEnd(CDialog& dialog) {
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    dialog.EndDialog(IDCANCEL);
}

const bool kInstalled = [] {
    AfxSetModalShownHook(&SayShownAndEnd);
    return true;
}();

}  // namespace

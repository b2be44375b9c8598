// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Ending the program from outside (SIGTERM, SIGINT, SIGHUP) the way a user ends it.
#pragma once

namespace afx_detail {

// From now on a termination request closes what waits for the user (message boxes, the file
// dialog, a progress window: as if cancelled) and then the main window, the way its caption's
// button does, so every window's destroy handling runs in its order. The request is read by
// the event loop; a second one while closing ends the program at once.
void CloseMainWindowOnTermination();

}  // namespace afx_detail

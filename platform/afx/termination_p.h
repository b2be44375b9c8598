// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Ending the program from outside (SIGTERM, SIGINT, SIGHUP) the way a user ends it.
#pragma once

namespace afx_detail {

// From now on a termination request closes what waits for the user (message boxes, the file
// dialog, a progress window: as if cancelled; a wait for a utility the tool started, which
// keeps running) and then the main window, the way its caption's button does, so every
// window's destroy handling runs in its order. The request is served by the event loop and
// by every wait of the user-interface thread; a second one while closing ends the program at
// once.
void CloseMainWindowOnTermination();

// The descriptor that turns readable when a request comes (-1 before the above), for the
// user-interface thread's waits, and the serving of it: false when there was none.
int TerminationRequestFd();
bool ServeTerminationRequest();

// Whether a request is being carried out: a message box opened from now on answers at once
// as if closed.
bool TerminationUnderWay();

}  // namespace afx_detail

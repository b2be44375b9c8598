// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Requests to end the program from outside: SIGTERM (a service manager, the session ending),
// SIGINT (Ctrl+C in the terminal that started it) and SIGHUP (that terminal closed).
//
// The handler only writes a byte to a pipe; the user-interface thread's event loop reads it
// and closes the program in order. A second request while the first is being carried out
// ends the program at once, by the signal's own default action.
#pragma once

namespace win_detail {

// Installs the handlers (the first call) and returns the descriptor that becomes readable
// when a request arrives; -1 when no pipe could be made (the signals then keep their default
// action).
int TerminationRequests();

// The signal of the request that arrived, and 0 when none has; from then on a further
// request ends the program at once.
int TakeTerminationRequest();

}  // namespace win_detail

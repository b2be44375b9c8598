// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Window texts that worker threads set without waiting for the user-interface thread.
//
// A reader that shows what it receives sets the whole text of its box for every chunk. Done
// as a sent message, every chunk would cost the reader a round trip to the user-interface
// thread; queued, the reader goes on and the user-interface thread takes the chunks in
// batches. A text view gets only what was added since the text queued before.
#pragma once

#include "platform/win/cstring.h"
#include "platform/win/types.h"

namespace afx_detail {

// Worker threads: queues the text for the window, in order with the thread's other calls.
void QueueWindowText(HWND hwnd, const CString& text);

// User-interface thread: the window's text changed some other way (or the window went), so
// the next text queued for it goes whole.
void ForgetQueuedText(HWND hwnd);
void ForgetQueuedWindow(HWND hwnd);

}  // namespace afx_detail

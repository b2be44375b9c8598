// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The edit controls' own messages: EM_SETSEL, EM_GETSEL and EM_SCROLLCARET on single-line
// edits, multi-line edits and text views. Positions count the system's text, where a line break is
// CR LF.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

LRESULT EditProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace afx_detail

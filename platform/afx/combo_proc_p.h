// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The combo boxes' own messages: CB_ADDSTRING, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT and
// CB_SETITEMHEIGHT. Adding from the program notifies nothing, as on the system.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

LRESULT ComboProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace afx_detail

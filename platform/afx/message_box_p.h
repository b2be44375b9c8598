// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The system's message box on Qt's: icon and buttons from the MB_ type, answered with the
// button's IDOK, IDCANCEL, IDYES... Any thread (it runs on the user-interface thread).
#pragma once

#include "platform/afx/gui_types.h"

namespace afx_detail {

// A modal box over the owner's window (none: over nothing); no caption shows "Error", as on
// the system. Closing the box answers Cancel where there is one, OK for a box with OK alone.
int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

}  // namespace afx_detail

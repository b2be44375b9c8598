// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The tab controls' own messages: TCM_INSERTITEMW, TCM_GETCURSEL, TCM_GETCURFOCUS,
// TCM_GETITEMRECT, and WM_LBUTTONDOWN's default (the tab row's own press handling). Inserting
// from the program notifies nothing.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

LRESULT TabProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace afx_detail

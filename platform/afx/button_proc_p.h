// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The buttons' own messages: BM_GETCHECK, BM_SETCHECK (check boxes only) and BM_CLICK.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

LRESULT ButtonProc(Window& window, UINT message, WPARAM wParam);

}  // namespace afx_detail

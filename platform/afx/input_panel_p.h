// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The on-screen keyboard's service (input_panel.h): it follows the focus once installed.
#pragma once

#include "platform/afx/gui_types.h"

namespace afx_detail {

// On the user-interface thread, with the QApplication made; both do nothing when
// AfxPrepareInputPanel did not choose the on-screen keyboard.
void InstallInputPanel();
void RemoveInputPanel();

// The edit box takes an integer: a keyboard offers digits for it. Any thread.
void AskForDigits(HWND edit);

}  // namespace afx_detail

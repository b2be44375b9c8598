// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Keys reach PreTranslateMessage before they are dispatched.
//
// Every key press and release addressed to one of the framework's windows (the focused
// control, or the window itself when nothing in it has the focus) becomes WM_KEYDOWN /
// WM_KEYUP with the system's virtual-key code (virtual_keys_p.h), offered to the bound
// objects from the target up through its parents until one returns TRUE; then the key is
// consumed. Auto-repeat gives repeated key-downs and no key-ups. Keys in windows that are not
// the framework's (message boxes, file dialogs) are left alone.
#pragma once

namespace afx_detail {

void InstallKeyFilter();
void RemoveKeyFilter();

}  // namespace afx_detail

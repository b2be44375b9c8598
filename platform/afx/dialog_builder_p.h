// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Dialog windows from templates: the window with its controls (dialog units in pixels:
// dialog_units_p.h).
#pragma once

#include "platform/afx/resource.h"
#include "platform/afx/wnd.h"

namespace afx_detail {

// Builds the dialog window with its controls and their initialisation data, in the dialog
// font of the look (look_p.h). A child dialog is placed at the template's position inside its
// parent, in the font and units of its top-level dialog, and stays hidden; a top-level one is
// sized for its screen (dialog_fit_p.h). The window is bound to owner, which also owns its
// widgets.
HWND BuildDialog(const AfxDialogTemplate& t, HWND parent, bool child, CWnd* owner);

}  // namespace afx_detail

// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The controls of a dialog template as widgets: buttons and check boxes, edits (a read-only
// multi-line edit is a text view), statics, combo boxes and tab controls, with their styles,
// and their notifications to the parent dialog (BN_CLICKED, CBN_SELCHANGE, TCN_SELCHANGE).
#pragma once

#include "platform/afx/resource.h"
#include "platform/afx/window_table_p.h"

namespace afx_detail {

// Creates the control inside the dialog, placed at its template's rectangle in the dialog's
// units (placement_p.h), and registers it.
Window& CreateControl(Window& dialog, const AfxControlTemplate& control);

}  // namespace afx_detail

// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Windows put again where they were put, when the units of their dialog change. A control
// from a template and a window the program places inside a dialog keep their rectangle in
// dialog units; a window the program places inside a tab control keeps its distances in
// pixels to the tab row and to the control's edges, so that a page placed just below the
// row stays just below it whatever the row's height becomes.
#pragma once

#include <QPoint>

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// The nearest dialog that holds the window (not the window itself); nullptr for none.
Window* EnclosingDialog(const Window& window);
// The top-level dialog the window belongs to (the window itself if it is one); nullptr for none.
Window* TopLevelDialog(Window& window);

// Where a window's client coordinates start in its widget: below a caption row the dialog
// draws itself.
QPoint ClientOrigin(const Window& window);

// Puts the window where its placement says, in the current units of its dialog.
void Place(Window& window);
// Keeps where the window is now as its placement (after the program placed it).
void KeepPlacement(Window& window);

}  // namespace afx_detail

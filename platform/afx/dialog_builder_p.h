// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Dialog windows from templates: the dialog font's base units, dialog units in pixels, and
// the window with its controls.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "platform/afx/resource.h"
#include "platform/afx/wnd.h"

namespace afx_detail {

// The dialog base units of a font: average character width and height, as the system
// computes them (the width from the 52 letters, rounded).
QSize BaseUnits(const QFont& font);

// Dialog units to pixels: x * width / 4, y * height / 8.
QRect MapDialogRect(QSize baseUnits, int x, int y, int cx, int cy);

// Builds the dialog window with its controls and their initialisation data, in the dialog
// font of the look (look_p.h). A child dialog is placed at the template's position inside its
// parent and stays hidden; a top-level one is a fixed-size window. The window is bound to
// owner, which also owns its widgets.
HWND BuildDialog(const AfxDialogTemplate& t, HWND parent, bool child, CWnd* owner);

}  // namespace afx_detail

// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Icons loaded from the program's resources (resource.h), as Qt sees them. An HICON names a
// loaded icon; loaded icons live for the whole run, as the system's shared icons do.
// User-interface thread only.
#pragma once

#include <QIcon>

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// The icon of the resource table with the id, loaded on first use (every picture of it that
// is a PNG); 0 when the table has no such icon.
HICON LoadIconResource(UINT id);

QIcon IconOf(HICON icon);
// WM_SETICON: sets the big (ICON_BIG) or small icon of a top-level window; returns the last.
HICON SetWindowIcon(Window& window, WPARAM which, HICON icon);

}  // namespace afx_detail

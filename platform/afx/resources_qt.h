// Icons loaded from the program's resources, as Qt sees them.
#pragma once

#include <QIcon>

#include "platform/afx/window_table.h"

namespace afx_detail {

QIcon IconOf(HICON icon);
// WM_SETICON: sets the big (ICON_BIG) or small icon of a top-level window; returns the last.
HICON SetWindowIcon(Window& window, WPARAM which, HICON icon);

}  // namespace afx_detail

// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// A top-level dialog on its screen. It opens on the screen under the pointer, as Qt's own
// dialogs do. Where its size in the dialog font fits the screen's available area with room for
// a window manager's frame (a desktop), it takes that size; on a smaller screen (the terminal's)
// it fills the area. Whatever size the window system then gives it (a kiosk's full screen, a
// tiling window manager, a maximise), the dialog lays itself out for it: its dialog units span
// the client area, the dialog font becomes the largest whose characters fit the units and with
// which every page holds its controls and every tab row its tabs, and every window is put again
// where it was put (placement_p.h). At its own size the dialog keeps its own font.
//
// Where no window manager draws a caption (the window is full screen, or it got no frame from
// an X server or the offscreen platform), the dialog draws its caption row itself
// (caption_row_p.h); its client area starts below the row.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// Sizes a new top-level dialog, before it is shown, for its screen.
void FitToScreen(Window& dialog);
// Lays the dialog out for its widget's size, unless it is laid out for that size already.
void FitToSize(Window& dialog);
// Draws or drops the dialog's own caption row, as the window system's frame says.
void CheckOwnCaption(Window& dialog);
// Whether the window system places and sizes the window (maximised, full screen, or a
// Wayland compositor): the program's moves do not apply to it.
bool PlacedByWindowSystem(const QWidget& window);

}  // namespace afx_detail

// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The virtual-key code of a key event, as the Win32 platform gives it to WM_KEYDOWN.
//
// Under X11 and Wayland a key comes from evdev through xkb: a keycode (evdev + 8), a keysym
// from the keymap, and Qt's key made from the keysym. Qt's key alone loses what Win32 keeps:
// - the numeric keypad: with NumLock on its keys give VK_NUMPAD0..9, VK_DECIMAL, and its
//   operators always VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DIVIDE. Qt marks them with the
//   keypad modifier under X11 but not under Wayland (Qt 6.4), so the keypad keysyms tell too.
//   With NumLock off they are the cursor keys (VK_LEFT, VK_HOME, VK_DELETE...), the 5 is
//   VK_CLEAR, and Enter is VK_RETURN, as on Win32;
// - the keysyms Clear and Select, which Qt makes Delete and nothing;
// - keys the keymap names otherwise or not at all: evdev's F13-F24 (a scanner's trigger
//   keys often are) get XF86Tools, XF86Launch5... or no keysym; KEY_SELECT and KEY_CLEAR
//   have none, and reach Wayland clients only (X11 keycodes end at 255). These go by keycode.
// A key that Win32 has no code for gives 0.
#pragma once

#include "platform/afx/gui_types.h"

class QKeyEvent;

namespace afx_detail {

WPARAM VirtualKeyOf(const QKeyEvent& key);

}  // namespace afx_detail

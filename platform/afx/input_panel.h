// The on-screen keyboard, for a terminal with a keypad and a touch screen but no keyboard to
// type text with.
//
// When an editable text box of one of the framework's windows takes the focus and the
// machine has no alphanumeric keyboard (GetKeyboardStatus, which RV4417_KEYBOARD overrides),
// a keyboard comes up along the bottom of that window, and the window's contents move up so
// that the box stays visible above it; they move back when the keyboard goes (the focus
// leaves the text boxes, or its own hide key). Its keys type into the box as a keyboard would:
// characters as input, Backspace and Enter as key presses, which the dialogs see as such.
// Boxes take what is typed as it is typed (no word prediction, no automatic capitals); a box
// that exchanges an integer asks for digits.
//
// The keyboard is Qt Virtual Keyboard, drawn inside the window itself (a QQuickWidget holding
// its InputPanel): that works alike under X11, under a Wayland desktop and under a Wayland
// kiosk, which makes every window of its own full screen and has no input panels.
#pragma once

// Call before the QApplication is made: chooses the keyboard's input method when the machine
// has no keyboard to type with (or RV4417_KEYBOARD says "none"). Leaves an input method that
// QT_IM_MODULE names alone, and the offscreen platform, which nobody types on, unless
// RV4417_KEYBOARD is set. The program's entry (AfxWinMain) calls it.
void AfxPrepareInputPanel();

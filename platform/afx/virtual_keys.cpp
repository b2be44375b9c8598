#include "platform/afx/virtual_keys_p.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace afx_detail {

namespace {

// xkb keysyms (xkbcommon-keysyms.h) and keycodes (evdev code + 8).
constexpr quint32 kKeysymClear = 0xFF0B;
constexpr quint32 kKeysymSelect = 0xFF60;
constexpr quint32 kKeysymKeypadFirst = 0xFF80;  // KP_Space
constexpr quint32 kKeysymKeypadLast = 0xFFBD;   // KP_Equal
constexpr quint32 kKeycodeF13 = 183 + 8;
constexpr quint32 kKeycodeF24 = 194 + 8;
constexpr quint32 kKeycodeSelect = 353 + 8;
constexpr quint32 kKeycodeClear = 355 + 8;

// The platforms that hand over xkb keysyms and keycodes.
bool FromXkb() {
    const QString platform = QGuiApplication::platformName();
    return platform == u"xcb" || platform.startsWith(u"wayland");
}

// A key of the numeric keypad with its own code: digits (NumLock on) and operators.
WPARAM KeypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return VK_NUMPAD0 + static_cast<WPARAM>(key - Qt::Key_0);
    }
    switch (key) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        case Qt::Key_Period:
        case Qt::Key_Comma:  // the decimal key, whichever sign the layout gives it
            return VK_DECIMAL;
        default:
            return 0;
    }
}

WPARAM KeyOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<WPARAM>(key);  // the same codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return VK_F1 + static_cast<WPARAM>(key - Qt::Key_F1);
    }
    switch (key) {
        case Qt::Key_Cancel:
            return VK_CANCEL;
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Clear:  // also the keypad's 5 with NumLock off
            return VK_CLEAR;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Pause:
            return VK_PAUSE;
        case Qt::Key_CapsLock:
            return VK_CAPITAL;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Select:
            return VK_SELECT;
        case Qt::Key_Execute:
            return VK_EXECUTE;
        case Qt::Key_Print:
            return VK_SNAPSHOT;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Help:
            return VK_HELP;
        case Qt::Key_Menu:
            return VK_APPS;
        case Qt::Key_Sleep:
            return VK_SLEEP;
        case Qt::Key_NumLock:
            return VK_NUMLOCK;
        case Qt::Key_ScrollLock:
            return VK_SCROLL;
        case Qt::Key_Back:
            return VK_BROWSER_BACK;
        case Qt::Key_VolumeMute:
            return VK_VOLUME_MUTE;
        case Qt::Key_VolumeDown:
            return VK_VOLUME_DOWN;
        case Qt::Key_VolumeUp:
            return VK_VOLUME_UP;
        case Qt::Key_Semicolon:
        case Qt::Key_Colon:
            return VK_OEM_1;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return VK_OEM_PLUS;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return VK_OEM_COMMA;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return VK_OEM_MINUS;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return VK_OEM_PERIOD;
        case Qt::Key_Slash:
        case Qt::Key_Question:
            return VK_OEM_2;
        default:
            return 0;
    }
}

WPARAM KeycodeKey(quint32 keycode) {
    if (keycode >= kKeycodeF13 && keycode <= kKeycodeF24) {
        return VK_F13 + (keycode - kKeycodeF13);
    }
    return keycode == kKeycodeSelect ? VK_SELECT : keycode == kKeycodeClear ? VK_CLEAR : 0;
}

}  // namespace

WPARAM VirtualKeyOf(const QKeyEvent& event) {
    const bool xkb = FromXkb();
    const quint32 keysym = xkb ? event.nativeVirtualKey() : 0;
    if (keysym == kKeysymClear) {
        return VK_CLEAR;
    }
    if (keysym == kKeysymSelect) {
        return VK_SELECT;
    }
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier) ||
                        (keysym >= kKeysymKeypadFirst && keysym <= kKeysymKeypadLast);
    if (const WPARAM code = keypad ? KeypadKey(event.key()) : 0) {
        return code;
    }
    if (const WPARAM code = KeyOf(event.key())) {
        return code;
    }
    return xkb ? KeycodeKey(event.nativeScanCode()) : 0;
}

}  // namespace afx_detail

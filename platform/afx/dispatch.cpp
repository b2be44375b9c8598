#include "platform/afx/dispatch_p.h"

#include <algorithm>

#include "platform/afx/button_proc_p.h"
#include "platform/afx/combo_proc_p.h"
#include "platform/afx/edit_proc_p.h"
#include "platform/afx/icons_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/tab_proc_p.h"
#include "platform/afx/window_text_p.h"

namespace afx_detail {

namespace {

thread_local QEvent* t_currentEvent = nullptr;

}  // namespace

LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(hwnd);
    if (!window) {
        return 0;
    }
    if (window->bound) {
        return window->bound->WindowProc(message, wParam, lParam);
    }
    return DefaultProc(*window, message, wParam, lParam);
}

LRESULT DefaultProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            SetWindowTextOf(w, ToQString(reinterpret_cast<LPCWSTR>(lParam)));
            return TRUE;
        case WM_GETTEXT: {
            const QString text = WindowText(w);
            const int size = static_cast<int>(wParam);
            auto* out = reinterpret_cast<char16_t*>(lParam);
            if (!out || size <= 0) {
                return 0;
            }
            const int n = std::min(static_cast<int>(text.size()), size - 1);
            std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, out);
            out[n] = 0;
            return n;
        }
        case WM_GETTEXTLENGTH:
            return WindowText(w).size();
        case WM_SETICON:
            return reinterpret_cast<LRESULT>(
                SetWindowIcon(w, wParam, reinterpret_cast<HICON>(lParam)));
        case WM_INITDIALOG:
            return TRUE;
        default:
            break;
    }
    switch (w.kind) {
        case Kind::TextView:
        case Kind::LineEdit:
        case Kind::TextEdit:
            return EditProc(w, message, wParam, lParam);
        case Kind::PushButton:
        case Kind::CheckBox:
            return ButtonProc(w, message, wParam);
        case Kind::ComboBox:
            return ComboProc(w, message, wParam, lParam);
        case Kind::TabControl:
            return TabProc(w, message, wParam, lParam);
        default:
            return 0;
    }
}

QtEventScope::QtEventScope(QEvent* event) : m_previous(t_currentEvent) {
    t_currentEvent = event;
}

QtEventScope::~QtEventScope() {
    t_currentEvent = m_previous;
}

QEvent* QtEventScope::Current() {
    return t_currentEvent;
}

}  // namespace afx_detail

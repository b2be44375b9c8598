#include "platform/afx/window_api.h"

#include <QApplication>
#include <QWidget>

#include "platform/afx/dialog_fit_p.h"
#include "platform/afx/dispatch_p.h"
#include "platform/afx/icons_p.h"
#include "platform/afx/message_box_p.h"
#include "platform/afx/placement_p.h"
#include "platform/afx/timers_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/window_table_p.h"

using afx_detail::OnUi;
using afx_detail::OnWidget;
using afx_detail::OnWindow;
using afx_detail::Window;

namespace {

// The window that has the focus (or holds the widget that has it); 0 for none.
HWND FocusedWindow() {
    Window* w = afx_detail::FindEnclosing(QApplication::focusWidget());
    return w ? w->hwnd : nullptr;
}

// SetWindowPos's move and size. A top-level window lays itself out for the size it gets
// (dialog_fit_p.h); a child keeps where the program put it, for when the units change.
void MoveAndSize(Window& w, UINT flags, const QRect& r) {
    QWidget& widget = *w.widget;
    if ((flags & SWP_NOMOVE) && (flags & SWP_NOSIZE)) {
        return;
    }
    const Window* parent = widget.isWindow() ? nullptr : afx_detail::Find(w.parent);
    const QPoint origin = parent ? afx_detail::ClientOrigin(*parent) : QPoint();
    if (!(flags & SWP_NOMOVE)) {
        widget.move(r.topLeft() + origin);
    }
    if (!(flags & SWP_NOSIZE)) {
        widget.resize(r.size());
    }
    if (!widget.isWindow()) {
        afx_detail::KeepPlacement(w);
    }
}

}  // namespace

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A worker moving a caret needs no answer (an edit gives 0), so it need not wait.
    if ((message == EM_SETSEL || message == EM_SCROLLCARET) && !afx_detail::IsUiThread()) {
        afx_detail::QueueOnUi([=] { afx_detail::Dispatch(hwnd, message, wParam, lParam); });
        return 0;
    }
    return OnUi([&] { return afx_detail::Dispatch(hwnd, message, wParam, lParam); });
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(hwnd)) {
        return FALSE;
    }
    afx_detail::PostToUi(
        [hwnd, message, wParam, lParam] { afx_detail::Dispatch(hwnd, message, wParam, lParam); });
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return OnWindow(hwnd, FALSE, [](Window&) { return TRUE; });
}

BOOL DestroyWindow(HWND hwnd) {
    return OnWindow(hwnd, FALSE, [&](Window&) {
        afx_detail::DestroyTree(hwnd);
        return TRUE;
    });
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    return OnWidget(hwnd, FALSE, [&](QWidget& widget) {
        const BOOL wasVisible = widget.isVisible() ? TRUE : FALSE;
        if (cmdShow == SW_HIDE) {
            widget.hide();
        } else {
            widget.show();
        }
        return wasVisible;
    });
}

BOOL IsWindowVisible(HWND hwnd) {
    return OnWidget(hwnd, FALSE, [](QWidget& widget) { return widget.isVisible() ? TRUE : FALSE; });
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    return OnWidget(hwnd, FALSE, [&](QWidget& widget) {
        const BOOL wasDisabled = widget.isEnabled() ? FALSE : TRUE;
        widget.setEnabled(enable != FALSE);
        return wasDisabled;
    });
}

BOOL IsWindowEnabled(HWND hwnd) {
    return OnWidget(hwnd, FALSE, [](QWidget& widget) { return widget.isEnabled() ? TRUE : FALSE; });
}

BOOL SetWindowPos(HWND hwnd, HWND /*insertAfter*/, int x, int y, int cx, int cy, UINT flags) {
    return OnWindow(hwnd, FALSE, [&](Window& w) {
        if (!w.widget) {
            return FALSE;
        }
        QWidget& widget = *w.widget;
        // Where the window system places a top-level window, it stacks it too.
        const bool placedHere = !widget.isWindow() || !afx_detail::PlacedByWindowSystem(widget);
        MoveAndSize(w, placedHere ? flags : flags | SWP_NOMOVE, QRect(x, y, cx, cy));
        if (!(flags & SWP_NOZORDER) && placedHere) {
            widget.raise();
        }
        if (flags & SWP_SHOWWINDOW) {
            widget.show();
        }
        if (flags & SWP_HIDEWINDOW) {
            widget.hide();
        }
        return TRUE;
    });
}

HWND SetFocus(HWND hwnd) {
    return OnWidget(hwnd, nullptr, [](QWidget& widget) {
        const HWND previous = FocusedWindow();
        widget.setFocus(Qt::OtherFocusReason);
        return previous;
    });
}

BOOL SetForegroundWindow(HWND hwnd) {
    return OnWidget(hwnd, FALSE, [](QWidget& widget) {
        QWidget* top = widget.window();
        top->raise();
        top->activateWindow();
        if (!widget.isWindow()) {
            widget.raise();
        }
        return TRUE;
    });
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    return OnWindow(hwnd, FALSE, [&](const Window& w) {
        if (!rect || !w.widget) {
            return FALSE;
        }
        // Below a caption row the dialog draws itself.
        const QPoint origin = afx_detail::ClientOrigin(w);
        *rect = RECT{0, 0, w.widget->width() - origin.x(), w.widget->height() - origin.y()};
        return TRUE;
    });
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    return OnWidget(hwnd, FALSE, [&](QWidget& widget) {
        if (!rect) {
            return FALSE;
        }
        const QRect r = widget.isWindow() ? widget.frameGeometry()
                                          : QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
        *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return TRUE;
    });
}

HWND GetParent(HWND hwnd) {
    return OnWindow(hwnd, nullptr, [](const Window& w) { return w.parent; });
}

HWND GetDlgItem(HWND dialog, int id) {
    return OnUi([&] { return afx_detail::FindChild(dialog, id); });
}

int GetDlgCtrlID(HWND hwnd) {
    return OnWindow(hwnd, 0, [](const Window& w) { return w.id; });
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    return static_cast<BOOL>(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG GetWindowLongW(HWND hwnd, int index) {
    return OnWindow(hwnd, 0, [&](const Window& w) -> LONG {
        switch (index) {
            case GWL_STYLE:
                return static_cast<LONG>(w.style);
            case GWL_EXSTYLE:
                return static_cast<LONG>(w.exStyle);
            case GWL_ID:
                return w.id;
            default:
                return 0;
        }
    });
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC /*proc*/) {
    return OnWindow(hwnd, 0, [&](Window& w) { return afx_detail::StartTimer(w, id, elapse); });
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    return OnWindow(hwnd, FALSE,
                    [&](Window& w) { return afx_detail::StopTimer(w, id) ? TRUE : FALSE; });
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return afx_detail::ShowMessageBox(owner, text, caption, type);
}

HICON LoadIconW(HINSTANCE /*instance*/, LPCWSTR name) {
    if (reinterpret_cast<UINT_PTR>(name) > 0xFFFF) {
        return nullptr;  // icons are named by number only
    }
    const auto id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    return OnUi([&] { return afx_detail::LoadIconResource(id); });
}

// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Messages to windows on the user-interface thread: the bound object's window procedure
// first, the window kind's own handling as the default.
#pragma once

#include <QEvent>

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// Sends a message to the window's bound object or its default procedure; 0 for a handle that
// names no window.
LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The window kind's own handling of a message: the window text and icon messages for every
// window, then the control messages of its kind (edit_proc_p.h, button_proc_p.h,
// combo_proc_p.h, tab_proc_p.h); 0 for a message it does not know.
LRESULT DefaultProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// The Qt event being turned into the message in progress, for the default procedure (a tab
// row's own press handling needs the mouse event).
class QtEventScope {
public:
    explicit QtEventScope(QEvent* event);
    ~QtEventScope();
    static QEvent* Current();

private:
    QEvent* m_previous;
};

}  // namespace afx_detail

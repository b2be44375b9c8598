// Windows: the system's window functions on handles.
//
// Every window belongs to the user-interface thread. Each function here may be called on any
// thread: on another thread it runs on the user-interface thread while the caller waits, as
// a sent message does; PostMessageW queues and returns at once. A handle that names no window
// (0, destroyed) makes the functions fail harmlessly: FALSE, 0 or nullptr. CWnd (wnd.h) wraps
// them for the window it is bound to.
#pragma once

#include "platform/afx/gui_types.h"

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// From a worker, EM_SETSEL and EM_SCROLLCARET are queued without waiting and give 0.
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hwnd);
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmdShow);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
// x, y, cx, cy in pixels, in the parent's client coordinates (the screen's for top-level
// windows). Only HWND_TOP is offered as insert-after.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
HWND SetFocus(HWND hwnd);
BOOL SetForegroundWindow(HWND hwnd);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
HWND GetParent(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextLengthW(HWND hwnd);
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_ID = -12;
LONG GetWindowLongW(HWND hwnd, int index);
// Timers deliver WM_TIMER with the id as wParam. Setting an id again restarts it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// A modal message box over the owner's window; no caption shows "Error", as on the system.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// An icon of the program's resources (resource.h), named by number (MAKEINTRESOURCE); the
// instance is not looked at. Loaded icons are shared and live for the whole run.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

// Windows: CWnd and the system's window functions.
//
// Every window belongs to the user-interface thread. Each function here may be called on any
// thread: on another thread it runs on the user-interface thread while the caller waits, as
// a sent message does (see ui_thread.h); PostMessageW queues and returns at once. A handle
// that names no window (0, destroyed) makes the functions fail harmlessly.
//
// A CWnd is bound to the window it created (dialogs) or subclassed (DDX_Control); its message
// map then sees the window's messages first, and DefWindowProc is the window's own behaviour.
// Unbound windows reached through FromHandle get a wrapper object owned by the framework.
#pragma once

#include "platform/afx/msgmap.h"
#include "platform/win/cstring.h"

class CDataExchange;

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
HWND GetFocus();
BOOL SetForegroundWindow(HWND hwnd);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
HWND GetParent(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size);
int GetWindowTextLengthW(HWND hwnd);
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_ID = -12;
LONG GetWindowLongW(HWND hwnd, int index);
// Timers deliver WM_TIMER with the id as wParam. Setting an id again restarts it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }  // NOLINT(google-explicit-constructor)
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to the window, or a framework-owned wrapper; nullptr for no window.
    static CWnd* FromHandle(HWND hwnd);
    // The object bound to the window only.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Binds this object to an existing window, so its message map sees the window's messages.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetWindowText(LPCWSTR text);
    // A text that only grew since the window last showed it is appended, not sent whole.
    // From a worker it is queued without waiting.
    void SetWindowText(const CString& text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    CWnd* SetFocus();
    BOOL SetForegroundWindow();
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    DWORD GetStyle() const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc);
    BOOL KillTimer(UINT_PTR id);
    HICON SetIcon(HICON icon, BOOL bigIcon);
    // A message box owned by this window; no caption means the application's title.
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);

    // Data exchange between the controls and the members: TRUE shows nothing new and reads
    // the controls into the members (validating), FALSE shows the members in the controls.
    // Stops at the first failed value after telling the user; then returns FALSE. Runs on
    // the user-interface thread whichever thread calls it.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    // The window procedure: this object's message map first, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's own behaviour (its control kind's default handling).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Default handling of the message now being processed by this thread.
    LRESULT Default();
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Notifications a control sent to its parent are offered to the control first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called after the window is gone and m_hWnd has been cleared.
    virtual void PostNcDestroy() {}

    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    friend struct CWndAccess;
};

// Windows: CWnd, the object a window's messages reach.
//
// Its members may be called on any thread, as the window functions (window_api.h) they use:
// on another thread they run on the user-interface thread while the caller waits. A CWnd
// bound to no window (m_hWnd 0) makes them fail harmlessly.
//
// A CWnd is bound to the window it created (dialogs) or subclassed (DDX_Control); its message
// map then sees the window's messages first, and DefWindowProc is the window's own behaviour.
// Unbound windows reached through FromHandle get a wrapper object owned by the framework.
#pragma once

#include "platform/afx/msgmap.h"
#include "platform/afx/window_api.h"
#include "platform/win/cstring.h"

class CDataExchange;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }  // NOLINT(google-explicit-constructor)

    // The object bound to the window, or a framework-owned wrapper; nullptr for no window.
    static CWnd* FromHandle(HWND hwnd);
    // The object bound to the window only.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Binds this object to an existing window, so its message map sees the window's messages.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetWindowText(LPCWSTR text);
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

// Dialogs built from templates, and dialog data exchange.
//
// A CDialog names its template; DoModal builds it as a top-level window and runs it until
// EndDialog, Create builds it as a child window (a page). OnInitDialog runs when the controls
// exist; the default shows the members in the controls. The default OK and Cancel end a
// modal dialog with IDOK / IDCANCEL and leave a child dialog as it is. Dialogs pre-translate
// keys as the system's dialogs do: Escape in a multi-line edit becomes the Cancel command,
// Escape elsewhere Cancel, Return the OK command unless the focus wants it (a multi-line
// edit with ES_WANTRETURN) or is a push button, which it clicks.
//
// With AFX_EXIT_WHEN_SHOWN set in the environment, a modal dialog writes "shown" to the
// standard output and ends as soon as it is up (for measuring start-up time).
//
// Data exchange: DDX_ functions move one value between a control and a member, in the
// direction of the exchange; DDV_ functions check a value read. A failure tells the user with
// the framework's message, puts the focus on the control (its text selected) and ends the
// exchange: UpdateData then returns FALSE.
#pragma once

#include "platform/afx/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp = 0;
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    // Builds the window from the template and sends WM_INITDIALOG.
    BOOL Build(UINT templateId, HWND parent, bool child);
    // The system's dialog keys (see above); TRUE when the key was used.
    BOOL PreTranslateInput(MSG* msg);

    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = -1;
    void* m_loop = nullptr;  // the modal loop while DoModal runs
};

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control with the id, remembered as the one a failure puts the focus on.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Puts the focus on the last control prepared (an edit gets its text selected) and ends
    // the exchange.
    [[noreturn]] void Fail();

    struct Failure {};

private:
    HWND m_lastControl = nullptr;
    bool m_lastWasEdit = false;
};

// Binds the member object to the control (on the first exchange only).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// Reads a decimal integer (blanks before and after allowed): otherwise "Please enter an
// integer." and the member keeps its value.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// On reading: outside [min, max] gives "Please enter an integer between %1 and %2." (the
// value has been taken already).
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);

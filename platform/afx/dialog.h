// Dialogs built from templates.
//
// A CDialog names its template; DoModal builds it as a top-level window and runs it until
// EndDialog, Create builds it as a child window (a page). OnInitDialog runs when the controls
// exist; the default shows the members in the controls. The default OK and Cancel end a
// modal dialog with IDOK / IDCANCEL and leave a child dialog as it is. Dialogs pre-translate
// keys as the system's dialogs do: Escape in a multi-line edit becomes the Cancel command,
// Escape elsewhere Cancel, Return the OK command unless the focus wants it (a multi-line
// edit with ES_WANTRETURN) or is a push button, which it clicks.
//
// Data exchange (UpdateData, DoDataExchange, DDX_ and DDV_) is in data_exchange.h.
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

// A program may have every modal dialog handed to hook as soon as it is up (from a zero-time
// timer once DoModal has built it), for example to measure its start-up; nullptr: none.
void AfxSetModalShownHook(void (*hook)(CDialog&));

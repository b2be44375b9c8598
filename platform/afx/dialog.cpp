#include "platform/afx/dialog.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "platform/afx/ddx_parse.h"
#include "platform/afx/dialog_builder.h"
#include "platform/afx/ui_thread.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_table.h"

using afx_detail::Find;
using afx_detail::Kind;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::Build(UINT templateId, HWND parent, bool child) {
    const AfxDialogTemplate* t = AfxFindDialogTemplate(templateId);
    if (!t || m_hWnd) {
        return FALSE;
    }
    m_hWnd = afx_detail::BuildDialog(*t, parent, child, this);
    SendMessage(WM_INITDIALOG);
    if (Find(m_hWnd) && (t->style & WS_VISIBLE)) {
        ShowWindow(SW_SHOW);
    }
    return m_hWnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    return afx_detail::OnUi([&]() -> INT_PTR {
        m_modal = true;
        m_ended = false;
        m_result = -1;
        const HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
        if (!Build(m_nIDTemplate, parent, false)) {
            m_modal = false;
            return -1;
        }
        QEventLoop loop;
        if (getenv("AFX_EXIT_WHEN_SHOWN")) {
            // For measuring start-up: once the window is up and painted, say so and end.
            QTimer::singleShot(0, [this] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                EndDialog(IDCANCEL);
            });
        }
        if (!m_ended && Find(m_hWnd)) {
            Find(m_hWnd)->widget->setWindowModality(Qt::ApplicationModal);
            m_loop = &loop;
            loop.exec(QEventLoop::DialogExec);
            m_loop = nullptr;
        }
        DestroyWindow();
        m_modal = false;
        return m_result;
    });
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    return afx_detail::OnUi([&] {
        m_pParentWnd = parent;
        return Build(templateId, parent ? parent->m_hWnd : nullptr, true);
    });
}

void CDialog::EndDialog(int result) {
    afx_detail::OnUi([&] {
        m_result = result;
        m_ended = true;
        if (m_loop) {
            static_cast<QEventLoop*>(m_loop)->exit();
        } else if (!m_modal) {
            ShowWindow(SW_HIDE);
        }
    });
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (m_modal && UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    if (m_modal) {
        EndDialog(IDCANCEL);
    }
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_INITDIALOG) {
        *result = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) {
        return TRUE;
    }
    if (HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    if (LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateMessage(msg)) {
        return TRUE;
    }
    // Escape in a multi-line edit would otherwise be taken by the edit itself.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_CANCEL)) {
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(msg->hwnd, GWL_STYLE));
        if (afx_detail::IsEditWindow(msg->hwnd) && (style & ES_MULTILINE)) {
            const HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
            if (!cancel || ::IsWindowEnabled(cancel)) {
                SendMessage(WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            }
        }
    }
    return PreTranslateInput(msg);
}

BOOL CDialog::PreTranslateInput(MSG* msg) {
    if (msg->message != WM_KEYDOWN) {
        return FALSE;
    }
    if (msg->wParam == VK_ESCAPE || msg->wParam == VK_CANCEL) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    if (msg->wParam == VK_RETURN) {
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(msg->hwnd, GWL_STYLE));
        if (afx_detail::IsEditWindow(msg->hwnd) && (style & ES_MULTILINE) &&
            (style & ES_WANTRETURN)) {
            return FALSE;
        }
        if (afx_detail::IsPushButton(msg->hwnd)) {
            ::SendMessageW(msg->hwnd, BM_CLICK, 0, 0);
            return TRUE;
        }
        SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
    return FALSE;
}

// Data exchange

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    m_lastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_lastWasEdit = false;
    return m_lastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    const HWND control = PrepareCtrl(id);
    m_lastWasEdit = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_lastControl) {
        ::SetFocus(m_lastControl);
        if (m_lastWasEdit) {
            ::SendMessageW(m_lastControl, EM_SETSEL, 0, -1);
        }
    }
    throw Failure{};
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) {
        control.SubclassWindow(dx->PrepareCtrl(id));
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    const HWND control = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        ::SendMessageW(control, afx_detail::WM_AFX_SETCSTRING, 0, reinterpret_cast<LPARAM>(&value));
    } else if (!afx_detail::ShowsText(control, value)) {
        // A box that shows exactly this text is not read back: the member stays the same text,
        // so the box can go on appending to it.
        if (CWnd* wnd = CWnd::FromHandle(control)) {
            wnd->GetWindowText(value);
        }
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    const HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        CString text;
        if (CWnd* wnd = CWnd::FromHandle(control)) {
            wnd->GetWindowText(text);
        }
        if (!AfxParseInt(text, value)) {
            AfxMessageBox(_T("Please enter an integer."), MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        }
    } else {
        CString text;
        text.Format(_T("%d"), value);
        ::SetWindowTextW(control, text);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    const HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max) {
    if (!dx->m_bSaveAndValidate || (value >= min && value <= max)) {
        return;
    }
    CString low;
    CString high;
    low.Format(_T("%d"), min);
    high.Format(_T("%d"), max);
    CString message(_T("Please enter an integer between %1 and %2."));
    std::u16string text = message.str();
    text.replace(text.find(u"%1"), 2, low.str());
    text.replace(text.find(u"%2"), 2, high.str());
    AfxMessageBox(CString(text), MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

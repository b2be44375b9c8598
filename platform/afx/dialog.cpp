#include "platform/afx/dialog.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include "platform/afx/dialog_builder_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/window_table_p.h"

using afx_detail::Find;

namespace {

// Set before main() by a program that wants it; a plain pointer is ready before any code runs.
void (*g_modalShownHook)(CDialog&) = nullptr;

}  // namespace

void AfxSetModalShownHook(void (*hook)(CDialog&)) {
    g_modalShownHook = hook;
}

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
        if (void (*hook)(CDialog&) = g_modalShownHook) {
            // Once the window is up and painted.
            QTimer::singleShot(0, [this, hook] { hook(*this); });
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

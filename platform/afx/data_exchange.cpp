#include "platform/afx/data_exchange.h"

#include <string>

#include "platform/afx/ddx_parse_p.h"
#include "platform/afx/input_panel_p.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_text_p.h"

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
    if (afx_detail::ExchangeViewText(control, value, dx->m_bSaveAndValidate)) {
        return;  // a receive box shows the member itself
    }
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowTextW(control, value);
    } else if (CWnd* wnd = CWnd::FromHandle(control)) {
        wnd->GetWindowText(value);
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
        afx_detail::AskForDigits(control);
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

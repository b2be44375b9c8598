#include "platform/afx/controls.h"

void CEdit::SetSel(int start, int end, BOOL noScroll) {
    ::SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll) {
        ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
}

void CEdit::GetSel(int& start, int& end) const {
    DWORD from = 0;
    DWORD to = 0;
    ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                   reinterpret_cast<LPARAM>(&to));
    start = static_cast<int>(from);
    end = static_cast<int>(to);
}

BOOL CEdit::SetReadOnly(BOOL readOnly) {
    return static_cast<BOOL>(::SendMessageW(m_hWnd, EM_SETREADONLY, readOnly, 0));
}

int CButton::GetCheck() const {
    return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int check) {
    ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

int CComboBox::AddString(LPCWSTR text) {
    return static_cast<int>(
        ::SendMessageW(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::GetCount() const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0));
}

int CComboBox::SetCurSel(int index) {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int CComboBox::SetItemHeight(int index, UINT height) {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(index),
                                           static_cast<LPARAM>(height)));
}

LONG CTabCtrl::InsertItem(UINT mask, int item, LPCWSTR text, int image, LPARAM param) {
    TCITEMW tab{};
    tab.mask = mask;
    tab.pszText = const_cast<LPWSTR>(text);
    tab.iImage = image;
    tab.lParam = param;
    return static_cast<LONG>(::SendMessageW(m_hWnd, TCM_INSERTITEMW, static_cast<WPARAM>(item),
                                            reinterpret_cast<LPARAM>(&tab)));
}

int CTabCtrl::GetItemCount() const {
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_GETITEMCOUNT, 0, 0));
}

int CTabCtrl::GetCurSel() const {
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0));
}

int CTabCtrl::SetCurSel(int item) {
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_SETCURSEL, static_cast<WPARAM>(item), 0));
}

int CTabCtrl::GetCurFocus() const {
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_GETCURFOCUS, 0, 0));
}

BOOL CTabCtrl::GetItemRect(int item, LPRECT rect) const {
    return static_cast<BOOL>(::SendMessageW(m_hWnd, TCM_GETITEMRECT, static_cast<WPARAM>(item),
                                            reinterpret_cast<LPARAM>(rect)));
}

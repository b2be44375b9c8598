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

int CComboBox::GetCurSel() const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0));
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

int CTabCtrl::GetCurSel() const {
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0));
}

BOOL CTabCtrl::GetItemRect(int item, LPRECT rect) const {
    return static_cast<BOOL>(::SendMessageW(m_hWnd, TCM_GETITEMRECT, static_cast<WPARAM>(item),
                                            reinterpret_cast<LPARAM>(rect)));
}

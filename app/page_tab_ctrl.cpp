#include "app/page_tab_ctrl.h"

namespace {

// Sent to itself after a selection change that was not a press on a tab (keyboard, wheel).
constexpr UINT WM_SHOW_FOCUSED_PAGE = WM_APP + 1;

}  // namespace

BEGIN_MESSAGE_MAP(CPageTabCtrl, CTabCtrl)
ON_WM_LBUTTONDOWN()
ON_NOTIFY_REFLECT_EX(TCN_SELCHANGE, OnSelchange)
ON_MESSAGE(WM_SHOW_FOCUSED_PAGE, OnShowFocusedPage)
END_MESSAGE_MAP()

BOOL CPageTabCtrl::AddPage(LPCWSTR title, CDialog* page, UINT dialogId) {
    if (m_pageCount == kMaxPages) {
        return FALSE;
    }
    m_titles[m_pageCount] = title;
    m_pages[m_pageCount] = page;
    m_dlgIds[m_pageCount] = dialogId;
    ++m_pageCount;
    return TRUE;
}

void CPageTabCtrl::CreatePages() {
    for (int i = 0; i < m_pageCount; ++i) {
        m_pages[i]->Create(m_dlgIds[i], this);
        InsertItem(TCIF_TEXT, i, m_titles[i], 0, 0);
    }
    if (m_pageCount == 0) {
        return;
    }
    m_pages[0]->ShowWindow(SW_SHOW);
    for (int i = 1; i < m_pageCount; ++i) {
        m_pages[i]->ShowWindow(SW_HIDE);
    }
    LayoutPages();
}

void CPageTabCtrl::LayoutPages() {
    CRect client;
    GetClientRect(&client);
    CRect item;
    SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(static_cast<LPRECT>(item)));
    const int x = item.left;
    const int y = item.bottom + 1;
    const int cx = client.right - item.left - 2;
    const int cy = client.bottom - (item.bottom + 1) - 2;
    m_pages[0]->SetWindowPos(nullptr, x, y, cx, cy, SWP_SHOWWINDOW);
    for (int i = 1; i < m_pageCount; ++i) {
        m_pages[i]->SetWindowPos(nullptr, x, y, cx, cy, SWP_HIDEWINDOW);
    }
}

void CPageTabCtrl::OnLButtonDown(UINT flags, CPoint point) {
    // The tab row's own handling changes the selection and tells the main dialog first.
    CTabCtrl::OnLButtonDown(flags, point);
    ShowFocusedPage();
}

BOOL CPageTabCtrl::OnSelchange(NMHDR* /*header*/, LRESULT* result) {
    // Selection by keyboard must show its page too, so that the page shown and the routing
    // of received data never disagree. After the main dialog has seen the change, as a press
    // does; a press has shown its page by then and this finds nothing to do.
    PostMessage(WM_SHOW_FOCUSED_PAGE);
    *result = 0;
    return FALSE;
}

LRESULT CPageTabCtrl::OnShowFocusedPage(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    ShowFocusedPage();
    return 0;
}

void CPageTabCtrl::ShowFocusedPage() {
    const int focused = static_cast<int>(SendMessage(TCM_GETCURFOCUS, 0, 0));
    if (focused == m_curPage || focused < 0 || focused >= m_pageCount) {
        return;  // the same page, or no page of ours
    }
    m_pages[m_curPage]->ShowWindow(SW_HIDE);
    m_curPage = static_cast<int>(SendMessage(TCM_GETCURFOCUS, 0, 0));
    m_pages[m_curPage]->ShowWindow(SW_SHOW);
    m_pages[m_curPage]->SetFocus();
}

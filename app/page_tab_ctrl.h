// The page tab control: child dialogs shown one at a time below a row of tabs.
#pragma once

#include "platform/afx/afx.h"

class CPageTabCtrl : public CTabCtrl {
public:
    static constexpr int kMaxPages = 16;

    CPageTabCtrl() = default;
    ~CPageTabCtrl() override = default;

    // Registers a page (before CreatePages); FALSE when sixteen are registered already. The
    // title and the page belong to the caller and must outlive the control.
    BOOL AddPage(LPCWSTR title, CDialog* page, UINT dialogId);
    // Creates every registered page as a child, adds its tab, shows the first page only.
    void CreatePages();
    // Places every page in the area below the tab row.
    void LayoutPages();

    LPCWSTR m_titles[kMaxPages] = {};
    UINT m_dlgIds[kMaxPages] = {};
    CDialog* m_pages[kMaxPages] = {};
    int m_pageCount = 0;
    int m_curPage = 0;

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnSelchange(NMHDR* header, LRESULT* result);
    LRESULT OnShowFocusedPage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Shows the page of the focused tab, when it is another registered page.
    void ShowFocusedPage();
};

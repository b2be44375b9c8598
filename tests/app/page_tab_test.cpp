#include "app/page_tab_ctrl.h"

#include <gtest/gtest.h>

#include "res/resource.h"

namespace {

TEST(PageTabCtrlTest, SixteenPagesAtMost) {
    CPageTabCtrl tab;
    CDialog page(IDD_PRINTER);
    for (int i = 0; i < CPageTabCtrl::kMaxPages; ++i) {
        EXPECT_TRUE(tab.AddPage(_T("Page"), &page, IDD_PRINTER));
    }
    EXPECT_FALSE(tab.AddPage(_T("Seventeenth"), &page, IDD_CARD));
    EXPECT_EQ(tab.m_pageCount, 16);
    EXPECT_EQ(tab.m_dlgIds[15], static_cast<UINT>(IDD_PRINTER));
    EXPECT_EQ(tab.m_curPage, 0);
}

}  // namespace

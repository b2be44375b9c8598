#include "tests/pages/dialog_fixture.h"

// The application object of this test program: its title is the program's name.
CWinApp g_testApp;

namespace pagetest {

void DialogTest::Open(bool withCom0, bool withCom2) {
    if (withCom0) {
        devices.Link("COM0", com0.SlavePath());
    }
    if (withCom2) {
        devices.Link("COM2", com2.SlavePath());
    }
    ASSERT_TRUE(dlg.Create(IDD_RV4417TEST_DIALOG));
    g_testApp.m_pMainWnd = &dlg;
    ASSERT_TRUE(rvtest::WaitUntil([&] { return rvtest::WidgetOf(dlg.m_hWnd)->isVisible(); }));
}

void DialogTest::TearDown() {
    if (dlg.m_hWnd) {
        dlg.DestroyWindow();
    }
    g_testApp.m_pMainWnd = nullptr;
}

std::string DialogTest::Received(size_t count, int timeoutMs) {
    std::string all;
    rvtest::WaitUntil(
        [&] {
            all += com0.Receive(count ? count - std::min(count, all.size()) : 0, 5);
            return count && all.size() >= count;
        },
        timeoutMs);
    return all;
}

}  // namespace pagetest

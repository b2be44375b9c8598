// The main dialog opened against a device directory, for the pages' tests.
#pragma once

#include <gtest/gtest.h>

#include <QTabBar>

#include "app/test_dlg.h"
#include "tests/support/device_dir.h"
#include "tests/support/gui.h"
#include "tools/sim/pty.h"

namespace pagetest {

class DialogTest : public testing::Test {
protected:
    // Opens the main dialog; COM0 and COM2 are pseudo-terminals unless told otherwise.
    void Open(bool withCom0 = true, bool withCom2 = true);
    void TearDown() override;

    // The shared helpers on this dialog; a control or tab that is not there fails the test.
    QTabBar* Tabs() { return rvtest::TabBarOf(dlg.m_tab); }
    void ClickTab(int index) { ASSERT_TRUE(rvtest::ClickTab(dlg.m_tab, index)) << index; }
    void Click(const CWnd& page, int id) { ASSERT_TRUE(rvtest::Click(page, id)) << id; }
    void SetText(const CWnd& page, int id, LPCWSTR text) {
        ASSERT_TRUE(rvtest::SetText(page, id, text)) << id;
    }
    static CString Text(const CWnd& page, int id) { return rvtest::Text(page, id); }
    // What the device received within timeoutMs (count 0: everything until then).
    std::string Received(size_t count = 0, int timeoutMs = 300);

    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    sim::PseudoTerminal com2;
    CTestDlg dlg;
};

}  // namespace pagetest

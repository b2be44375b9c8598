// The main dialog against a pseudo-terminal as COM0: pages, tabs, routing, the COM0 reader.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <QWidget>
#include <atomic>
#include <thread>

#include "app/test_dlg.h"
#include "tests/support/device_dir.h"
#include "tests/support/dialog_layout.h"
#include "tests/support/gui.h"
#include "tools/sim/control_device.h"
#include "tools/sim/pty.h"

// The application object of this test program: its title is the program's name.
CWinApp g_testApp;

namespace {

using rvtest::WaitUntil;

class MainDialogTest : public testing::Test {
protected:
    void Open(bool withCom0 = true) {
        if (withCom0) {
            devices.Link("COM0", line.SlavePath());
        }
        devices.Link("COM2", com2.SlavePath());
        ASSERT_TRUE(dlg.Create(IDD_RV4417TEST_DIALOG));
        g_testApp.m_pMainWnd = &dlg;
        ASSERT_TRUE(WaitUntil([&] { return rvtest::WidgetOf(dlg.m_hWnd)->isVisible(); }));
    }
    void TearDown() override {
        if (dlg.m_hWnd) {
            dlg.DestroyWindow();
        }
        g_testApp.m_pMainWnd = nullptr;
    }

    QTabBar* Tabs() { return rvtest::TabBarOf(dlg.m_tab); }
    void ClickTab(int index) { ASSERT_TRUE(rvtest::ClickTab(dlg.m_tab, index)) << index; }
    QWidget* Page(const CWnd& page) { return rvtest::WidgetOf(page.m_hWnd); }
    static CString BoxText(const CEdit& box) {
        CString text;
        box.GetWindowText(text);
        return text;
    }
    void SetHex(int* flag, int value) {
        CSingleLock lock(&dlg.m_recvLock, TRUE);
        *flag = value;
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
    sim::PseudoTerminal com2;
    CTestDlg dlg;
};

TEST_F(MainDialogTest, FivePagesShareTheAreaBelowTheTabRowAndOnlyPrinterShows) {
    Open();
    ASSERT_EQ(Tabs()->count(), 5);
    const QStringList titles = {"Printer", "Card", "KeyBoard", "Barcode", "Other"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Tabs()->tabText(i), titles[i]);
    }
    EXPECT_EQ(rvtest::WidgetOf(dlg.m_hWnd)->windowTitle(), "RV4417Test");

    const QRect expected = rvtest::PageArea(dlg);
    const CDialog* pages[] = {&dlg.m_pagePrinter, &dlg.m_pageCard, &dlg.m_pageKeyboard,
                              &dlg.m_pageBarcode, &dlg.m_pageOther};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Page(*pages[i])->geometry(), expected);
        EXPECT_EQ(Page(*pages[i])->isVisible(), i == 0);
    }
    EXPECT_EQ(dlg.m_tab.m_curPage, 0);
}

TEST_F(MainDialogTest, APressOnAnotherTabSwitchesPagesAndOnTheCurrentOneChangesNothing) {
    Open();
    ClickTab(2);
    EXPECT_FALSE(Page(dlg.m_pagePrinter)->isVisible());
    EXPECT_TRUE(Page(dlg.m_pageKeyboard)->isVisible());
    EXPECT_EQ(dlg.m_tab.m_curPage, 2);
    ASSERT_TRUE(WaitUntil([&] { return Page(dlg.m_pageKeyboard)->hasFocus(); }));

    ClickTab(2);
    EXPECT_EQ(dlg.m_tab.m_curPage, 2);
    EXPECT_TRUE(Page(dlg.m_pageKeyboard)->isVisible());
    EXPECT_FALSE(Page(dlg.m_pagePrinter)->isVisible());
}

TEST_F(MainDialogTest, ChoosingATabByKeyboardShowsItsPageAndRoutesToIt) {
    Open();
    Tabs()->setFocus();
    QTest::keyClick(Tabs(), Qt::Key_Right);
    EXPECT_EQ(dlg.m_tab.GetCurSel(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Page(dlg.m_pageCard)->isVisible(); }));
    EXPECT_FALSE(Page(dlg.m_pagePrinter)->isVisible());
    EXPECT_EQ(dlg.m_tab.m_curPage, 1);
    EXPECT_EQ(dlg.m_pRecvText.load(), &dlg.m_pageCard.m_recvText);
}

TEST_F(MainDialogTest, AMissingCom0IsReportedOnceAndTheDialogStillRuns) {
    rvtest::MessageBoxes boxes(IDOK);
    Open(false);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const auto box = boxes.Seen().front();
    EXPECT_EQ(box.text, "Open COM0: Filed!");
    EXPECT_EQ(box.title, "app_test");  // the program's name
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(dlg.m_recvThread.load(), nullptr);
    ClickTab(4);
    EXPECT_TRUE(Page(dlg.m_pageOther)->isVisible());
    EXPECT_EQ(boxes.Seen().size(), 1u);
}

TEST_F(MainDialogTest, ReceivedBytesShowAsHexOrCharactersWithTheLastOneSelected) {
    Open();
    SetHex(&dlg.m_pagePrinter.m_recvHex, 1);
    line.Send("\x41\x0D\xA5");
    int start = 0;
    int end = 0;
    ASSERT_TRUE(WaitUntil([&] {
        dlg.m_pagePrinter.m_recvEdit.GetSel(start, end);
        return BoxText(dlg.m_pagePrinter.m_recvEdit) == _T("41 0D A5 ") && end == 9;
    }));
    EXPECT_EQ(start, 8);

    SetHex(&dlg.m_pagePrinter.m_recvHex, 0);
    line.Send(std::string("A\0B", 3));
    ASSERT_TRUE(WaitUntil([&] {
        dlg.m_pagePrinter.m_recvEdit.GetSel(start, end);
        return BoxText(dlg.m_pagePrinter.m_recvEdit) == _T("41 0D A5 AB") && end == 11;
    }));
    EXPECT_EQ(start, 10);
    EXPECT_EQ(dlg.m_pagePrinter.m_recvText, _T("41 0D A5 AB"));
}

TEST_F(MainDialogTest, DataGoesToCardWhileItsTabIsSelectedAndToPrinterOtherwise) {
    Open();
    ClickTab(1);
    line.Send("card");
    ASSERT_TRUE(WaitUntil([&] { return BoxText(dlg.m_pageCard.m_recvEdit) == _T("card"); }));
    ClickTab(2);
    line.Send("keys");
    ASSERT_TRUE(WaitUntil([&] { return BoxText(dlg.m_pagePrinter.m_recvEdit) == _T("keys"); }));
    ClickTab(1);
    line.Send("+");
    ASSERT_TRUE(WaitUntil([&] { return BoxText(dlg.m_pageCard.m_recvEdit) == _T("card+"); }));
    ClickTab(0);
    line.Send("!");
    ASSERT_TRUE(WaitUntil([&] { return BoxText(dlg.m_pagePrinter.m_recvEdit) == _T("keys!"); }));
    EXPECT_EQ(BoxText(dlg.m_pageCard.m_recvEdit), _T("card+"));  // what was shown stays
}

TEST_F(MainDialogTest, ClosingWhileDataStreamsInEndsTheReaderFirst) {
    Open();
    std::atomic<bool> stop{false};
    std::thread device([&] {
        while (!stop) {
            line.SendSome(std::string(64, 'x'), 10);
        }
    });
    ASSERT_TRUE(
        WaitUntil([&] { return BoxText(dlg.m_pagePrinter.m_recvEdit).GetLength() > 1000; }));
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_recvThread.load(), nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    stop = true;
    device.join();
}

// The object goes with its window up (an exception, an early return) while COM0 streams in,
// the auto send runs and the COM2 reader waits: its destroy handling runs first, so the
// threads end before what they use goes, and the scanner is stopped and disabled as on a close.
TEST_F(MainDialogTest, ADialogObjectThatGoesWithItsWindowUpEndsItsThreadsFirst) {
    devices.Link("COM0", line.SlavePath());
    devices.Link("COM2", com2.SlavePath());
    sim::ControlDeviceServer scanner(devices.Entry("GPR1"), [](std::uint32_t) { return 1; });
    std::atomic<bool> stop{false};
    std::thread device([&] {
        while (!stop) {
            line.SendSome(std::string(64, 'x'), 10);
        }
    });
    auto doomed = std::make_unique<CTestDlg>();
    ASSERT_TRUE(doomed->Create(IDD_RV4417TEST_DIALOG));
    ASSERT_TRUE(rvtest::Click(doomed->m_pagePrinter, IDC_AUTO_SEND));
    ASSERT_TRUE(
        WaitUntil([&] { return BoxText(doomed->m_pagePrinter.m_recvEdit).GetLength() > 1000; }));
    doomed.reset();
    EXPECT_EQ(scanner.Codes(), (std::vector<std::uint32_t>{500, 100, 500, 150}));
    stop = true;
    device.join();
}

// A peer that writes as fast as the line takes: every byte shows, in order, as hex.
TEST_F(MainDialogTest, AFloodShowsEveryByteInOrder) {
    Open();
    SetHex(&dlg.m_pagePrinter.m_recvHex, 1);
    std::string data;
    CString expected;
    for (int i = 0; data.size() < 96 * 1024; ++i) {
        const auto byte = static_cast<unsigned char>(i * 7 % 256);
        if (byte != 0x11 && byte != 0x13) {  // XON and XOFF are the line's own
            data += static_cast<char>(byte);
            CString hex;
            hex.Format(_T("%.2X "), byte);
            expected += hex;
        }
    }
    // The box is read from its widget: a window call would bring the box up to date itself,
    // and the event loop must do that alone.
    QAccessibleInterface* box =
        QAccessible::queryAccessibleInterface(rvtest::ControlOf(dlg.m_pagePrinter, IDC_RECV));
    ASSERT_TRUE(box && box->textInterface());
    const auto shown = [&] {
        QAccessibleTextInterface* text = box->textInterface();
        return text->text(0, text->characterCount());
    };
    std::thread device([&] { line.Send(data); });
    const bool all = WaitUntil([&] { return shown().size() >= expected.GetLength(); }, 60000);
    device.join();
    ASSERT_TRUE(all);
    EXPECT_TRUE(shown() == QString::fromUtf16(expected.str().data(), expected.GetLength()));
    CSingleLock lock(&dlg.m_recvLock, TRUE);
    EXPECT_TRUE(dlg.m_pagePrinter.m_recvText == expected);
}

TEST_F(MainDialogTest, ShowsItsPagesWholeForALookAtTheLayout) {
    Open();
    const char* folder = getenv("RV_SCREENSHOTS");
    if (!folder) {
        GTEST_SKIP() << "set RV_SCREENSHOTS to a folder to get pictures of every tab";
    }
    for (int i = 0; i < 5; ++i) {
        ClickTab(i);
        rvtest::Pump(50);
        EXPECT_TRUE(rvtest::Screenshot(rvtest::WidgetOf(dlg.m_hWnd),
                                       QString("%1/tab%2.png").arg(folder).arg(i)));
    }
}

}  // namespace

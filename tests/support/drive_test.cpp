// The shared driving helpers against the real main dialog and the framework's own dialogs:
// what they do when what they are asked for is not there.
#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/win/text.h"
#include "tests/pages/dialog_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using DriveTest = pagetest::DialogTest;

TEST_F(DriveTest, AbsentTabsControlsAndItemsAreReportedAndNothingHappens) {
    Open();
    CPrinterPage& printer = dlg.m_pagePrinter;
    EXPECT_FALSE(rvtest::ClickTab(dlg.m_tab, 5));
    EXPECT_FALSE(rvtest::ClickTab(dlg.m_tab, -1));
    EXPECT_EQ(dlg.m_tab.m_curPage, 0);
    EXPECT_TRUE(rvtest::ClickTab(dlg.m_tab, 3));
    EXPECT_EQ(dlg.m_tab.m_curPage, 3);

    EXPECT_EQ(rvtest::ControlOf(printer, 0x7FFF), nullptr);
    EXPECT_FALSE(rvtest::Click(printer, 0x7FFF));
    EXPECT_FALSE(rvtest::SetText(printer, 0x7FFF, _T("x")));
    EXPECT_EQ(rvtest::Text(printer, 0x7FFF), _T(""));
    EXPECT_FALSE(rvtest::Choose(dlg.m_pageCard, IDC_TRACK, 99));
    EXPECT_FALSE(rvtest::Choose(printer, IDC_SEND, 0));  // a button is no list
    EXPECT_TRUE(rvtest::Choose(dlg.m_pageCard, IDC_TRACK, 1));

    EXPECT_TRUE(rvtest::SetText(printer, IDC_INTERVAL, _T("250")));
    EXPECT_EQ(rvtest::Text(printer, IDC_INTERVAL), _T("250"));
    EXPECT_FALSE(rvtest::Screenshot(nullptr, "unused.png"));
}

TEST_F(DriveTest, AWindowThatIsGoneHasNoWidget) {
    EXPECT_EQ(rvtest::WidgetOf(nullptr), nullptr);
    Open();
    const HWND page = dlg.m_pagePrinter.m_hWnd;
    ASSERT_NE(rvtest::WidgetOf(page), nullptr);
    dlg.DestroyWindow();
    EXPECT_EQ(rvtest::WidgetOf(page), nullptr);
    EXPECT_EQ(rvtest::TabBarOf(dlg.m_tab), nullptr);
    EXPECT_FALSE(rvtest::ClickTab(dlg.m_tab, 0));
}

TEST(VisibilityTest, CountsHidesAndShowsAndOutlivesItsWindow) {
    QWidget window;
    window.show();
    {
        const rvtest::Visibility seen(&window);
        window.hide();
        window.show();
        window.hide();
        EXPECT_EQ(seen.Hidden(), 2);
        EXPECT_EQ(seen.Shown(), 1);
    }
    auto shortLived = std::make_unique<QWidget>();
    const rvtest::Visibility seen(shortLived.get());
    shortLived->show();
    shortLived.reset();  // the filter must not be taken off a window that is gone
    EXPECT_EQ(seen.Shown(), 1);
    const rvtest::Visibility none(nullptr);
    EXPECT_EQ(none.Hidden() + none.Shown(), 0);
}

TEST(ModalAnswersTest, ABoxWithoutTheButtonAskedForIsClosedNotLeftOpen) {
    rvtest::MessageBoxes boxes(IDYES);
    AfxMessageBox(_T("only OK"), MB_OK);  // returns only when the box is gone
    boxes.Answer(IDNO);
    EXPECT_EQ(AfxMessageBox(_T("yes or no"), MB_YESNO), IDNO);
    ASSERT_EQ(boxes.Texts(), QStringList({"only OK", "yes or no"}));
    EXPECT_EQ(boxes.Seen()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(ModalAnswersTest, AFileOfAnotherTypeIsChosenUnderTheLastFileType) {
    rvtest::TempDir dir;
    const auto path = dir.Write("receipt.txt", "x");
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY,
                       _T("LNG (*.lng)|*.lng|All File (*.*)|*.*||"));
    {
        rvtest::FileDialogs answer(QString::fromStdString(path.string()));
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(answer.ChosenFilter().startsWith(QStringLiteral("LNG")))
            << answer.ChosenFilter().toStdString();
    }
    {
        rvtest::FileDialogs answer(QString::fromStdString(path.string()));
        answer.ChooseLastFilter();
        ASSERT_EQ(dialog.DoModal(), IDOK);
        ASSERT_EQ(answer.NameFilters().size(), 2);
        EXPECT_TRUE(answer.ChosenFilter().startsWith(QStringLiteral("All File")))
            << answer.ChosenFilter().toStdString();
    }
    EXPECT_EQ(dialog.GetPathName(), FromPosixPath(path.string()));
}

TEST(WaitTest, WaitsEndWhenTheConditionHoldsOrWithFalseAtTheTimeOut) {
    bool set = false;
    QTimer later;
    later.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, [&] { set = true; });
    later.start(20);
    EXPECT_TRUE(rvtest::RunLoopUntil([&] { return set; }, 10000));
    set = false;
    later.start(20);
    EXPECT_TRUE(rvtest::WaitUntil([&] { return set; }, 10000));
    EXPECT_FALSE(rvtest::RunLoopUntil([] { return false; }, 30));
    EXPECT_FALSE(rvtest::WaitUntil([] { return false; }, 30));
}

}  // namespace

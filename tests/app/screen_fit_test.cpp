// The main dialog on screens of every size: it fills a terminal's small screen with every page
// whole, keeps its size on a desktop, lays itself out again for any size it is given, and draws
// its own caption where no window manager does. The offscreen platform has the screens of
// screens.json (ctest sets QT_QPA_PLATFORM); the dialog opens on the screen under the pointer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFontInfo>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "tests/pages/dialog_fixture.h"
#include "tests/support/dialog_layout.h"
#include "tools/sim/control_device.h"

namespace {

using rvtest::WaitUntil;
using rvtest::WidgetOf;

constexpr std::uint32_t kStop = 500;
constexpr std::uint32_t kEnable = 100;
constexpr std::uint32_t kDisable = 150;
const std::vector<std::string> kWhole;  // no layout faults

QScreen* ScreenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name) {
            return screen;
        }
    }
    return nullptr;
}

// Descriptors of this process open on the file (the simulated device keeps one of its own).
int OpenedHere(const std::filesystem::path& file) {
    int count = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(fd.path(), error) == file) {
            ++count;
        }
    }
    return count;
}

class ScreenFitTest : public pagetest::DialogTest {
protected:
    void SetUp() override {
        ASSERT_NE(ScreenNamed("terminal"), nullptr) << "run through ctest: needs screens.json";
    }
    void OpenOn(const QString& screenName) {
        QCursor::setPos(ScreenNamed(screenName)->geometry().center());
        Open();
    }
    QWidget* Window() { return WidgetOf(dlg.m_hWnd); }
    QWidget* Tab() { return WidgetOf(dlg.m_tab.m_hWnd); }
    int FontPixels() { return QFontInfo(Window()->font()).pixelSize(); }

    void ExpectFilling(const QString& name) {
        OpenOn(name);
        const QRect area = ScreenNamed(name)->availableGeometry();
        ASSERT_TRUE(WaitUntil([&] { return Window()->frameGeometry() == area; }))
            << "the dialog covers " << Window()->frameGeometry().width() << "x"
            << Window()->frameGeometry().height();
        EXPECT_GE(FontPixels(), 11);
        EXPECT_EQ(rvtest::LayoutFaults(dlg), kWhole);
    }
};

TEST_F(ScreenFitTest, A240By320ScreenIsFilledWithEveryPageWholeAndReadable) {
    ExpectFilling("terminal");
}

TEST_F(ScreenFitTest, A320By480ScreenIsFilledWithEveryPageWholeAndReadable) {
    ExpectFilling("tall");
}

TEST_F(ScreenFitTest, ADesktopKeepsTheDialogsSizeAndAnyGivenSizeIsLaidOutAgain) {
    OpenOn("desktop");
    EXPECT_EQ(Window()->size(), QSize(414, 465));  // the look's 20-pixel font, 3 pixels a unit
    EXPECT_EQ(FontPixels(), 20);
    EXPECT_EQ(rvtest::LayoutFaults(dlg), kWhole);
    const QRect send = rvtest::ControlOf(dlg.m_pagePrinter, IDC_SEND)->geometry();

    // A tiling window manager, say.
    Window()->resize(600, 700);
    ASSERT_TRUE(WaitUntil([&] { return Tab()->height() == 700; }));
    EXPECT_GT(FontPixels(), 20);
    EXPECT_EQ(rvtest::LayoutFaults(dlg), kWhole);
    EXPECT_GT(rvtest::ControlOf(dlg.m_pagePrinter, IDC_SEND)->width(), send.width());

    Window()->resize(414, 465);
    ASSERT_TRUE(WaitUntil([&] { return Tab()->height() == 465; }));
    EXPECT_EQ(FontPixels(), 20);
    EXPECT_EQ(rvtest::ControlOf(dlg.m_pagePrinter, IDC_SEND)->geometry(), send);
}

// The main dialog, noting that its OK handling ran.
class ObservedDialog : public CTestDlg {
public:
    bool okHandled = false;

protected:
    void OnOK() override {
        okHandled = true;
        CTestDlg::OnOK();
    }
};

// The test's part while the dialog runs modally: made full screen as a kiosk compositor makes
// it, the dialog draws its caption row above the pages; its OK button closes the dialog.
bool g_framed = false;
std::vector<std::string> g_faults;

void PressTheCaptionsOk(CDialog& dialog) {
    auto& main = static_cast<ObservedDialog&>(dialog);
    QWidget* window = WidgetOf(dialog.m_hWnd);
    g_framed = !rvtest::OwnOk(window);  // the platform's frame stands for a window manager's
    window->showFullScreen();
    WaitUntil([&] { return rvtest::OwnOk(window) && rvtest::LayoutFaults(main).empty(); });
    g_faults = rvtest::LayoutFaults(main);
    if (QAbstractButton* ok = rvtest::OwnOk(window)) {
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    if (!main.okHandled) {
        dialog.EndDialog(IDCANCEL);  // no button, or the press did nothing: end the test
    }
}

TEST_F(ScreenFitTest, WithoutAWindowManagersCaptionTheDialogsOwnOkClosesItAsTheCaptionsDoes) {
    devices.Link("COM0", com0.SlavePath());
    devices.Link("COM2", com2.SlavePath());
    sim::ControlDeviceServer gpr1(devices.Entry("GPR1"), [](std::uint32_t) { return 1; });
    ObservedDialog modal;
    AfxSetModalShownHook(&PressTheCaptionsOk);
    const INT_PTR result = modal.DoModal();
    AfxSetModalShownHook(nullptr);

    EXPECT_TRUE(g_framed);
    EXPECT_EQ(g_faults, kWhole);
    EXPECT_EQ(result, IDOK);
    // The destroy handling ran: the scanner stopped and disabled, both ports closed.
    EXPECT_EQ(gpr1.Codes(), (std::vector<std::uint32_t>{kStop, kEnable, kStop, kDisable}));
    EXPECT_TRUE(gpr1.WaitAllClosed(2000));
    EXPECT_EQ(OpenedHere(com0.SlavePath()), 1);
    EXPECT_EQ(OpenedHere(com2.SlavePath()), 1);
}

}  // namespace

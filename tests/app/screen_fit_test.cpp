// The main dialog on screens of every size: it fills a terminal's small screen with every page
// whole, keeps its size on a desktop, lays itself out again for any size it is given, and draws
// its own caption where no window manager does. The offscreen platform has the screens of
// screens.json (ctest sets QT_QPA_PLATFORM); the dialog opens on the screen under the pointer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFontInfo>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <filesystem>

#include "app/test_dlg.h"
#include "tests/support/device_dir.h"
#include "tests/support/gui.h"
#include "tools/sim/control_device.h"
#include "tools/sim/pty.h"

CWinApp g_testApp;

namespace {

using rvtest::WaitUntil;
using rvtest::WidgetOf;

constexpr std::uint32_t kStop = 500;
constexpr std::uint32_t kEnable = 100;
constexpr std::uint32_t kDisable = 150;

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

class ScreenFitTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ScreenNamed("terminal"), nullptr) << "run through ctest: needs screens.json";
        devices.Link("COM0", com0.SlavePath());
        devices.Link("COM2", com2.SlavePath());
    }
    void TearDown() override {
        if (dlg.m_hWnd) {
            dlg.DestroyWindow();
        }
        g_testApp.m_pMainWnd = nullptr;
    }
    void OpenOn(const QString& screenName) {
        QCursor::setPos(ScreenNamed(screenName)->geometry().center());
        ASSERT_TRUE(dlg.Create(IDD_RV4417TEST_DIALOG));
        g_testApp.m_pMainWnd = &dlg;
        ASSERT_TRUE(WaitUntil([&] { return Window()->isVisible(); }));
    }
    QWidget* Window() { return WidgetOf(dlg.m_hWnd); }
    QWidget* Tab() { return WidgetOf(dlg.m_tab.m_hWnd); }
    std::vector<QWidget*> Pages() {
        std::vector<QWidget*> pages;
        for (const CDialog* page :
             {static_cast<CDialog*>(&dlg.m_pagePrinter), static_cast<CDialog*>(&dlg.m_pageCard),
              static_cast<CDialog*>(&dlg.m_pageKeyboard), static_cast<CDialog*>(&dlg.m_pageBarcode),
              static_cast<CDialog*>(&dlg.m_pageOther)}) {
            pages.push_back(WidgetOf(page->m_hWnd));
        }
        return pages;
    }
    int FontPixels() { return QFontInfo(Window()->font()).pixelSize(); }

    // Every page just below the tab row, every control whole inside its page with its text,
    // every tab whole inside the row with its title.
    void ExpectWholeLayout() {
        CRect client;
        dlg.m_tab.GetClientRect(&client);
        CRect item;
        ASSERT_TRUE(dlg.m_tab.GetItemRect(0, &item));
        const QRect below(item.left, item.bottom + 1, client.right - item.left - 2,
                          client.bottom - item.bottom - 3);
        const std::vector<QWidget*> pages = Pages();
        for (size_t i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE(i);
            QWidget* page = pages[i];
            EXPECT_EQ(page->geometry(), below);
            for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                EXPECT_TRUE(page->rect().contains(control->geometry()))
                    << control->metaObject()->className() << " at " << control->y() << "+"
                    << control->height() << " in " << page->height();
                auto* button = qobject_cast<QAbstractButton*>(control);
                if (qobject_cast<QCheckBox*>(control)) {
                    EXPECT_LE(button->sizeHint().width(), button->width())
                        << button->text().toStdString();
                } else if (button) {
                    EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()),
                              button->width())
                        << button->text().toStdString();
                }
            }
        }
        QTabBar* tabs = rvtest::TabBarOf(dlg.m_tab);
        for (int i = 0; i < tabs->count(); ++i) {
            SCOPED_TRACE(tabs->tabText(i).toStdString());
            EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i)));
            EXPECT_GT(tabs->tabRect(i).width(),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));
        }
        EXPECT_EQ(tabs->tabText(2), "KeyBoard");  // not elided
    }

    void ExpectFilling(const QString& name) {
        OpenOn(name);
        const QRect area = ScreenNamed(name)->availableGeometry();
        ASSERT_TRUE(WaitUntil([&] { return Window()->frameGeometry() == area; }))
            << "the dialog covers " << Window()->frameGeometry().width() << "x"
            << Window()->frameGeometry().height();
        // The tab control spans the client area; a window manager draws the caption.
        EXPECT_EQ(Tab()->y(), 0);
        EXPECT_EQ(Tab()->height(), Window()->height());
        EXPECT_GE(FontPixels(), 11);
        ExpectWholeLayout();
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    sim::PseudoTerminal com2;
    CTestDlg dlg;
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
    ExpectWholeLayout();
    const QRect send = rvtest::ControlOf(dlg.m_pagePrinter, IDC_SEND)->geometry();

    // A tiling window manager, say.
    Window()->resize(600, 700);
    ASSERT_TRUE(WaitUntil([&] { return Tab()->height() == 700; }));
    EXPECT_GT(FontPixels(), 20);
    ExpectWholeLayout();
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
// it, the dialog draws its caption row; its OK button closes the dialog.
bool g_captionDrawn = false;
bool g_captionPressed = false;

void PressTheCaptionsOk(CDialog& dialog) {
    QWidget* window = WidgetOf(dialog.m_hWnd);
    const auto ok = [&]() -> QPushButton* {
        for (auto* button : window->findChildren<QPushButton*>()) {
            if (button->accessibleName() == "OK" && button->isVisible()) {
                return button;
            }
        }
        return nullptr;
    };
    const bool framed = ok() == nullptr;  // the platform's frame stands for a window manager's
    window->showFullScreen();
    g_captionDrawn = framed && WaitUntil([&] { return ok() != nullptr; });
    if (!g_captionDrawn) {
        window->close();
        return;
    }
    QWidget* tab = WidgetOf(::GetDlgItem(dialog.m_hWnd, IDC_TAB));
    const QRect button = ok()->geometry();
    g_captionPressed = WaitUntil([&] { return tab->y() > button.bottom(); }) &&
                       tab->geometry().bottom() == window->height() - 1;
    QTest::mouseClick(ok(), Qt::LeftButton);
    if (!static_cast<ObservedDialog&>(dialog).okHandled) {
        dialog.EndDialog(IDCANCEL);  // the press did nothing: end the test
    }
}

TEST_F(ScreenFitTest, WithoutAWindowManagersCaptionTheDialogsOwnOkClosesItAsTheCaptionsDoes) {
    sim::ControlDeviceServer gpr1(devices.Entry("GPR1"), [](std::uint32_t) { return 1; });
    ObservedDialog modal;
    AfxSetModalShownHook(&PressTheCaptionsOk);
    const INT_PTR result = modal.DoModal();
    AfxSetModalShownHook(nullptr);

    EXPECT_TRUE(g_captionDrawn);
    EXPECT_TRUE(g_captionPressed) << "the caption row lies above the tab control";
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(modal.m_hWnd, nullptr);
    // The destroy handling ran: the scanner stopped and disabled, both ports closed.
    EXPECT_EQ(gpr1.Codes(), (std::vector<std::uint32_t>{kStop, kEnable, kStop, kDisable}));
    EXPECT_TRUE(gpr1.WaitAllClosed(2000));
    EXPECT_EQ(OpenedHere(com0.SlavePath()), 1);
    EXPECT_EQ(OpenedHere(com2.SlavePath()), 1);
}

}  // namespace

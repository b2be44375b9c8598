// The keypad on a real display: xdotool presses keys by their X keycodes (evdev code + 8) on
// an X server, so Qt gets them as from a keyboard, through xkb: keycode, keysym, Qt key. Under
// "xcb" the tool's window is the X server's client; under "wayland" it is a client of weston
// (x11 back end), which hands the same keycodes on through its own xkb keymap. Both Qt
// platforms make their Qt keys with the same xkb code, but not the same modifiers: under
// Wayland the keypad comes without Qt's keypad modifier (Qt 6.4), hence both runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <string>
#include <vector>

#include "tests/pages/dialog_fixture.h"
#include "tests/support/child.h"

namespace keytest {
// Why the test program has no display (set by its entry); empty when it has one.
extern std::string g_displayMissing;
}  // namespace keytest

namespace {

using rvtest::WaitUntil;

bool XDoTool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return rvtest::RunProgram(argv).status == 0;
}

// Notes the virtual-key code of every key that goes down in the box it is bound to.
class KeyRecorder : public CWnd {
public:
    std::vector<WPARAM> downs;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            downs.push_back(msg->wParam);
        }
        return FALSE;
    }
};

struct Press {
    const char* key;  // for xdotool: an X keycode, or a keysym's name
    WPARAM code;
    LPCWSTR name;  // on the KeyBoard page
};

class KeypadTest : public pagetest::DialogTest {
protected:
    void SetUp() override {
        if (!keytest::g_displayMissing.empty()) {
            GTEST_SKIP() << "no display server for the keypad: " << keytest::g_displayMissing;
        }
        Open();
        ClickTab(2);
        QWidget* window = rvtest::WidgetOf(dlg.m_hWnd);
        window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return window->isActiveWindow(); }, 10000))
            << "the dialog never got the keyboard";
        ASSERT_TRUE(box.SubclassWindow(::GetDlgItem(page(), IDC_TYPED)));
        box.SetFocus();
        ASSERT_TRUE(WaitUntil([&] { return rvtest::ControlOf(page(), IDC_TYPED)->hasFocus(); }));
        if (QGuiApplication::platformName() == "xcb") {
            return;  // the X server gives the keys to the window with the focus
        }
        // weston's window fills the X screen, which gives the keys to the window under the
        // pointer; weston hands them on to its window with the keyboard, this one.
        ASSERT_TRUE(XDoTool({"mousemove", "10", "10"}));
    }
    CKeyboardPage& page() { return dlg.m_pageKeyboard; }

    // Presses each key in turn; each must reach the page with its code and name.
    void PressAll(const std::vector<Press>& presses) {
        for (const Press& p : presses) {
            SCOPED_TRACE(p.key);
            const size_t before = box.downs.size();
            ASSERT_TRUE(XDoTool({"key", p.key}));
            ASSERT_TRUE(WaitUntil([&] { return box.downs.size() > before; }, 5000))
                << "the key did not arrive";
            EXPECT_EQ(box.downs[before], p.code);
            EXPECT_EQ(Text(page(), IDC_KEY_NAME), CString(p.name));
        }
    }

    KeyRecorder box;
};

TEST_F(KeypadTest, KeysReachThePageWithTheirWin32CodesWithNumLockOffAndOn) {
    PressAll({
        {"22", VK_BACK, _T("BACKSPACE")},
        {"36", VK_RETURN, _T("RETURN")},
        {"112", VK_PRIOR, _T("PageUp")},
        {"117", VK_NEXT, _T("PageDown")},
        {"113", VK_LEFT, _T("LEFT")},
        {"111", VK_UP, _T("UP")},
        {"114", VK_RIGHT, _T("RIGHT")},
        {"116", VK_DOWN, _T("DOWN")},
        {"119", VK_DELETE, _T("Del")},
        {"67", VK_F1, _T("F1")},
        {"70", VK_F4, _T("F4")},
        {"Escape", VK_ESCAPE, _T("ESC")},
        // The numeric keypad with NumLock off: its cursor keys, 5 as Clear.
        {"104", VK_RETURN, _T("RETURN")},
        {"79", VK_HOME, _T("")},
        {"80", VK_UP, _T("UP")},
        {"81", VK_PRIOR, _T("PageUp")},
        {"83", VK_LEFT, _T("LEFT")},
        {"84", VK_CLEAR, _T("")},
        {"85", VK_RIGHT, _T("RIGHT")},
        {"88", VK_DOWN, _T("DOWN")},
        {"89", VK_NEXT, _T("PageDown")},
        {"90", VK_INSERT, _T("")},
        {"91", VK_DELETE, _T("Del")},
        {"106", VK_DIVIDE, _T("")},
        {"63", VK_MULTIPLY, _T("")},
        {"82", VK_SUBTRACT, _T("")},
        {"86", VK_ADD, _T("")},
        // What a terminal's keypad adds: Back, Cancel, volume, F13 and F24 (trigger keys),
        // which the keymap names XF86Tools and nothing.
        {"166", VK_BROWSER_BACK, _T("")},
        {"231", VK_CANCEL, _T("")},
        {"122", VK_VOLUME_DOWN, _T("")},
        {"191", VK_F13, _T("")},
        {"202", VK_F13 + 11, _T("")},
        {"77", VK_NUMLOCK, _T("")},
        // NumLock on: digits and the decimal key of the keypad.
        {"79", VK_NUMPAD0 + 7, _T("")},
        {"83", VK_NUMPAD0 + 4, _T("")},
        {"90", VK_NUMPAD0, _T("")},
        {"91", VK_DECIMAL, _T("")},
        {"80", VK_NUMPAD0 + 8, _T("")},
        {"77", VK_NUMLOCK, _T("")},
    });
    EXPECT_EQ(Text(page(), IDC_TYPED).Right(5), CString(_T("740.8")));
    if (QGuiApplication::platformName() == "xcb") {
        // Keys the keymap names Select and Clear, which Qt makes nothing and Delete. (weston
        // makes its keymap from the X server's rule names, without these two.)
        PressAll({{"120", VK_SELECT, _T("")}, {"149", VK_CLEAR, _T("")}});
        return;
    }
    // KEY_SELECT and KEY_CLEAR are past X11's last keycode, so no X server sends them; a
    // Wayland client gets them as F24 above, by keycode (evdev + 8) without a keysym.
    for (const auto& [keycode, code] : {std::pair{353u + 8, VK_SELECT}, {355u + 8, VK_CLEAR}}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, keycode, 0, 0);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        EXPECT_EQ(box.downs.back(), code);
    }
}

}  // namespace

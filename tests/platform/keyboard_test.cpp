#include "platform/win/keyboard.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/win/keyboard_p.h"

namespace {

// Devices as the kernel lists them: a laptop's keyboard (64-bit words), its power button, a
// USB keyboard on a 32-bit kernel, and a keypad (digits, Backspace, Enter, some keys above).
constexpr const char* kLaptopKeyboard = R"(I: Bus=0011 Vendor=0001 Product=0001 Version=ab41
N: Name="AT Translated Set 2 keyboard"
H: Handlers=sysrq kbd event3 leds
B: EV=120013
B: KEY=402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe
B: MSC=10
)";
constexpr const char* kPowerButton = R"(I: Bus=0019 Vendor=0000 Product=0001 Version=0000
N: Name="Power Button"
B: EV=3
B: KEY=10000000000000 0
)";
constexpr const char* kUsbKeyboard32 = R"(N: Name="USB Keyboard"
B: EV=120013
B: KEY=10000 7 ff9f207a c14057ff febeffdf ffefffff ffffffff fffffffe
)";
constexpr const char* kKeypad = R"(N: Name="gpio-keys"
B: EV=3
B: KEY=f0000 0 0 0 0 0 0 0 1680 0 0 10004ffc
)";

TEST(GetKeyboardStatus, AKeyboardTypesLettersAKeypadOnlyIsPresent) {
    using win_detail::KeyboardStatusOf;
    constexpr DWORD kFull = KBDI_KEYBOARD_PRESENT | KBDI_KEYBOARD_ENABLED | KBDI_KEYBOARD_ALPHA_NUM;
    EXPECT_EQ(KeyboardStatusOf(std::string(kPowerButton) + "\n" + kLaptopKeyboard), kFull);
    EXPECT_EQ(KeyboardStatusOf(kUsbKeyboard32), kFull);
    EXPECT_EQ(KeyboardStatusOf(std::string(kKeypad) + "\n" + kPowerButton),
              KBDI_KEYBOARD_PRESENT | KBDI_KEYBOARD_ENABLED);
    EXPECT_EQ(KeyboardStatusOf(kPowerButton), 0u);
    EXPECT_EQ(KeyboardStatusOf(""), 0u);

    // A technician's or a test's word goes first.
    setenv("RV4417_KEYBOARD", "none", 1);
    EXPECT_EQ(GetKeyboardStatus(), 0u);
    setenv("RV4417_KEYBOARD", "present", 1);
    EXPECT_EQ(GetKeyboardStatus(), kFull);
    unsetenv("RV4417_KEYBOARD");
}

}  // namespace

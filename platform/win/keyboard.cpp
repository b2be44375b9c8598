#include "platform/win/keyboard.h"

#include <stdlib.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win/keyboard_p.h"

namespace win_detail {

namespace {

// Keys 1 to 31: Escape, the digit row, Q to P and A to D.
constexpr std::uint64_t kTypingKeys = 0xFFFFFFFE;

// The last word of a "B: KEY=" bitmap (hexadecimal words, the most significant first) holds
// the keys from 0 up, whether the kernel's words have 32 or 64 bits.
std::uint64_t LowestKeyWord(std::string_view bitmap) {
    while (!bitmap.empty() && std::isspace(static_cast<unsigned char>(bitmap.back()))) {
        bitmap.remove_suffix(1);
    }
    const size_t space = bitmap.rfind(' ');
    const std::string word(bitmap.substr(space == std::string_view::npos ? 0 : space + 1));
    return std::strtoull(word.c_str(), nullptr, 16);
}

}  // namespace

DWORD KeyboardStatusOf(std::string_view devices) {
    DWORD status = 0;
    constexpr std::string_view kKeys = "B: KEY=";
    for (size_t at = devices.find(kKeys); at != std::string_view::npos;
         at = devices.find(kKeys, at + 1)) {
        const size_t from = at + kKeys.size();
        const std::uint64_t keys =
            LowestKeyWord(devices.substr(from, devices.find('\n', from) - from));
        if (keys != 0) {
            status |= KBDI_KEYBOARD_PRESENT | KBDI_KEYBOARD_ENABLED;
        }
        if ((keys & kTypingKeys) == kTypingKeys) {
            status |= KBDI_KEYBOARD_ALPHA_NUM;
        }
    }
    return status;
}

}  // namespace win_detail

DWORD GetKeyboardStatus() {
    if (const char* forced = getenv("RV4417_KEYBOARD")) {
        const std::string_view value(forced);
        if (value == "none") {
            return 0;
        }
        if (value == "present") {
            return KBDI_KEYBOARD_PRESENT | KBDI_KEYBOARD_ENABLED | KBDI_KEYBOARD_ALPHA_NUM;
        }
    }
    std::ifstream file("/proc/bus/input/devices");
    std::ostringstream text;
    text << file.rdbuf();
    return win_detail::KeyboardStatusOf(text.str());
}

// Turning fuzzer bytes into 16-bit text, for the targets that take text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Input bytes are code units, except that 0xFF takes the next two bytes as one unit: mostly
// ASCII for the fuzzer to play with, yet units such as U+0130 (low byte '0') stay reachable.
inline std::u16string UnitsOf(const std::uint8_t* data, size_t size) {
    std::u16string text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        } else {
            text += static_cast<char16_t>(data[i]);
        }
    }
    return text;
}

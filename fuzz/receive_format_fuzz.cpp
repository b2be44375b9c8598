// Fuzzes how the reader shows received bytes: after every AppendReceivedByte the chunk must
// equal a model built by hand (two upper-case hex digits and a space, or the byte as one
// 16-bit character, nothing for a zero), and what the chunk held before must stay in place.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/receive_format.h"

namespace {

void Fail(const char* what, const std::u16string& actual, const std::u16string& expected) {
    std::fprintf(stderr, "%s\nchunk:", what);
    for (char16_t c : actual) {
        std::fprintf(stderr, " %04X", static_cast<unsigned>(c));
    }
    std::fprintf(stderr, "\nmodel:");
    for (char16_t c : expected) {
        std::fprintf(stderr, " %04X", static_cast<unsigned>(c));
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

}  // namespace

// Input: a length n (low 3 bits of the first byte), n bytes for the text the chunk starts
// with, then pairs of (flags, byte) where the low bit of flags chooses hex.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    size_t at = 1;
    std::u16string expected;
    for (size_t n = data[0] & 7; n > 0 && at < size; --n) {
        expected += static_cast<char16_t>(0x4E00 + data[at++]);  // non-ASCII, never zero
    }
    CString chunk(expected);
    for (; at + 1 < size; at += 2) {
        const bool hex = (data[at] & 1) != 0;
        const unsigned char byte = data[at + 1];
        AppendReceivedByte(chunk, byte, hex);
        if (hex) {
            expected += kDigits[byte / 16];
            expected += kDigits[byte % 16];
            expected += u' ';
        } else if (byte != 0) {
            expected += static_cast<char16_t>(byte);
        }
        if (chunk.str() != expected) {
            Fail(hex ? "hex byte" : "text byte", chunk.str(), expected);
        }
    }
    return 0;
}

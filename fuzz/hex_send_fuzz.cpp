// Fuzzes the hex send encoder against a model of its rules: the whole sequence of writes it
// hands out (their bytes and their boundaries) must equal the model's for any 16-bit text.
//
// The model is kept deliberately naive and shares nothing with the encoder: digits are
// recognised and converted by the C library, pending bytes and writes are plain vectors.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/units.h"
#include "pages/hex_send.h"

namespace {

using Writes = std::vector<std::vector<std::uint8_t>>;

bool ModelIsHexDigit(char16_t c) {
    return c < 0x80 && std::isxdigit(static_cast<unsigned char>(c));
}

bool ModelIsSeparator(char16_t c) {
    return c == u' ' || c == u',' || c == u';';
}

std::uint8_t ModelByte(const std::string& digits) {
    return static_cast<std::uint8_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

Writes Model(const std::u16string& text) {
    Writes writes;
    std::vector<std::uint8_t> pending;
    std::string buffer;
    for (size_t i = 0; i < text.size(); ++i) {
        if (ModelIsHexDigit(text[i])) {
            buffer += static_cast<char>(text[i]);
        }
        if (buffer.size() == 2) {
            if (buffer == "00") {
                if (!pending.empty()) {
                    writes.push_back(pending);
                    pending.clear();
                }
                writes.push_back({0});
            } else {
                pending.push_back(ModelByte(buffer));
            }
            buffer.clear();
        }
        const bool lastOrBeforeSeparator = i + 1 == text.size() || ModelIsSeparator(text[i + 1]);
        if (buffer.size() == 1 && lastOrBeforeSeparator) {
            pending.push_back(ModelByte("0" + buffer));
            buffer.clear();
        }
    }
    if (!pending.empty()) {
        writes.push_back(pending);
    }
    return writes;
}

void Print(const char* title, const Writes& writes) {
    std::fprintf(stderr, "%s:", title);
    for (const auto& w : writes) {
        std::fprintf(stderr, " [");
        for (std::uint8_t b : w) {
            std::fprintf(stderr, " %02X", b);
        }
        std::fprintf(stderr, " ]");
    }
    std::fprintf(stderr, "\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::u16string text = UnitsOf(data, size);
    Writes actual;
    EncodeHexText(CString(text), [&](const BYTE* bytes, int length) {
        if (length < 0) {
            std::fprintf(stderr, "write of negative length %d\n", length);
            std::abort();
        }
        actual.emplace_back(bytes, bytes + length);
    });
    const Writes expected = Model(text);
    if (actual != expected) {
        std::fprintf(stderr, "text:");
        for (char16_t c : text) {
            std::fprintf(stderr, " %04X", static_cast<unsigned>(c));
        }
        std::fprintf(stderr, "\n");
        Print("encoder", actual);
        Print("model  ", expected);
        std::abort();
    }
    return 0;
}

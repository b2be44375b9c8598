// Fuzzes AfxParseInt against a model: the text must consist of blanks (space, tab), an
// optional sign, at least one decimal digit and blanks, and its value must fit an int. The
// model checks the shape on the trimmed text and leaves the value to strtoll. A rejected text
// must leave the value untouched.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/units.h"
#include "platform/afx/ddx_parse_p.h"

namespace {

bool ModelParse(const std::u16string& text, int& value) {
    std::string ascii;
    for (char16_t c : text) {
        if (c >= 0x80 || !std::strchr(" \t+-0123456789", static_cast<char>(c)) || c == 0) {
            return false;
        }
        ascii += static_cast<char>(c);
    }
    const size_t first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const std::string core = ascii.substr(first, ascii.find_last_not_of(" \t") + 1 - first);
    const size_t digits = core[0] == '+' || core[0] == '-' ? 1 : 0;
    if (core.size() == digits ||
        core.find_first_not_of("0123456789", digits) != std::string::npos) {
        return false;
    }
    errno = 0;
    const long long n = std::strtoll(core.c_str(), nullptr, 10);
    if (errno == ERANGE || n < INT_MIN || n > INT_MAX) {
        return false;
    }
    value = static_cast<int>(n);
    return true;
}

// A number near the edges of int's range (or anywhere), as text with blanks, an optional sign
// and leading zeros: random bytes alone seldom spell out 2147483647.
std::u16string NumberText(FuzzedDataProvider& fdp) {
    long long value = fdp.ConsumeIntegral<long long>();
    if (fdp.ConsumeBool()) {
        value = fdp.PickValueInArray<long long>({0, INT_MAX, INT_MIN}) +
                fdp.ConsumeIntegralInRange(-3, 3);
    }
    std::string text(fdp.ConsumeIntegralInRange(0, 2), fdp.ConsumeBool() ? ' ' : '\t');
    if (value < 0) {
        text += '-';
    } else if (fdp.ConsumeBool()) {
        text += '+';
    }
    text.append(fdp.ConsumeIntegralInRange(0, 3), '0');
    text += std::to_string(value < 0 ? 0 - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value));
    text.append(fdp.ConsumeIntegralInRange(0, 2), fdp.ConsumeBool() ? ' ' : '\t');
    return std::u16string(text.begin(), text.end());
}

}  // namespace

// Input: the value the parse starts from, then either any text or a number's text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    const int initial = fdp.ConsumeIntegral<int>();
    std::u16string text;
    if (fdp.ConsumeBool()) {
        text = NumberText(fdp);
    } else {
        const std::vector<std::uint8_t> bytes = fdp.ConsumeRemainingBytes<std::uint8_t>();
        text = UnitsOf(bytes.data(), bytes.size());
    }
    int actual = initial;
    int expected = initial;
    const bool actualOk = AfxParseInt(CString(text), actual);
    const bool expectedOk = ModelParse(text, expected);
    if (actualOk != expectedOk || actual != expected) {
        std::fprintf(stderr, "text:");
        for (char16_t c : text) {
            std::fprintf(stderr, " %04X", static_cast<unsigned>(c));
        }
        std::fprintf(stderr, "\nstarting from %d: parser %d -> %d, model %d -> %d\n", initial,
                     actualOk, actual, expectedOk, expected);
        std::abort();
    }
    return 0;
}

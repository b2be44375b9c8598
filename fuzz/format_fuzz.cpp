// Fuzzes CString::Format.
//
// The formats the tool uses are checked against results built by hand: "%.2X " of a byte is
// two upper-case hex digits and a space, "%c" the byte as one character (nothing for zero),
// "%d" what std::to_string gives, "%s" and the launch paths the text (up to its first zero)
// in place of %s. A single conversion with fuzzed flags, width, precision (also *) is checked
// against the C library's snprintf, cut at its first zero as Format's result is. Any fuzzed
// format with fuzzed arguments must not crash, must not contain a zero, and must stay within
// what its length and argument count allow (fields are clamped at 65536).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/cstring.h"

namespace {

constexpr int kMaxField = 1 << 16;
// Room for what a conversion adds beyond its field: sign, prefix, a double's 309 digits.
constexpr size_t kConversionSlack = 512;

// The path formats of the launch buttons.
constexpr const char16_t* kLaunchFormats[] = {
    u"%s\\SnapTool.exe",
    u"%s\\PowerGauge.exe",
    u"%s\\应用程序打包\\PowerGauge.exe",
    u"%s\\LampDimmer.exe",
    u"%s\\应用程序打包\\LampDimmer.exe",
    u"%s\\LinkConfig.exe",
    u"%s\\应用程序打包\\LinkConfig.exe",
    u"%s\\Radio Probe.exe",
    u"%s\\Radio probe test\\Radio Probe.exe",
    u"%s",
};

// Bytes are code units, except that 0xFF takes the next two bytes as one unit.
std::u16string UnitsOf(std::string_view bytes) {
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b == 0xFF && i + 2 < bytes.size()) {
            text += static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i + 1]) << 8 |
                                          static_cast<std::uint8_t>(bytes[i + 2]));
            i += 2;
        } else {
            text += static_cast<char16_t>(b);
        }
    }
    return text;
}

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string UpToZero(std::u16string text) {
    text.resize(std::min(text.size(), text.find(u'\0')));
    return text;
}

// Fields run to 65536 units: the first 200 are enough to see what went wrong.
void Dump(const char* title, const std::u16string& text) {
    std::fprintf(stderr, "%s (%zu units):", title, text.size());
    for (size_t i = 0; i < text.size() && i < 200; ++i) {
        std::fprintf(stderr, " %04X", static_cast<unsigned>(text[i]));
    }
    std::fputs(text.size() > 200 ? " ...\n" : "\n", stderr);
}

void Expect(const std::u16string& format, const CString& actual, const std::u16string& expected) {
    if (actual.str() != expected) {
        Dump("format  ", format);
        Dump("result  ", actual.str());
        Dump("expected", expected);
        std::abort();
    }
}

// One conversion as Format gets it and as snprintf gets it: the same, except that widths and
// precisions beyond the clamp reach snprintf already clamped.
struct Conversion {
    std::string ours;
    std::string theirs;
    std::vector<int> ourStars;
    std::vector<int> theirStars;
};

// A width or precision: mostly small, as fields of 65536 make a slow run; sometimes anything.
unsigned FieldValue(FuzzedDataProvider& fdp) {
    return fdp.ConsumeIntegralInRange(0, 31) == 31 ? fdp.ConsumeIntegral<unsigned>()
                                                   : fdp.ConsumeIntegralInRange(0u, 300u);
}

int StarValue(FuzzedDataProvider& fdp) {
    return fdp.ConsumeIntegralInRange(0, 31) == 31 ? fdp.ConsumeIntegral<int>()
                                                   : fdp.ConsumeIntegralInRange(-300, 300);
}

int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -kMaxField, kMaxField));
}

// A width (prefix "") or a precision ("."): none, a number, or a * and its argument. C takes
// a negative * precision for none, which the clamp must leave alone.
void AddField(FuzzedDataProvider& fdp, Conversion& c, const std::string& prefix,
              bool negativeIsNone) {
    switch (fdp.ConsumeIntegralInRange(0, 2)) {
        case 1: {
            const unsigned value = FieldValue(fdp);
            c.ours += prefix + std::to_string(value);
            c.theirs += prefix + std::to_string(Clamped(value));
            break;
        }
        case 2: {
            const int value = StarValue(fdp);
            c.ours += prefix + '*';
            c.theirs += prefix + '*';
            c.ourStars.push_back(value);
            c.theirStars.push_back(negativeIsNone && value < 0 ? value : Clamped(value));
            break;
        }
    }
}

template <class Ours, class Theirs>
void CompareWithC(const Conversion& c, const Ours& ours, const Theirs& theirs) {
    const std::u16string wide = Widen(c.ours);
    CString actual;
    const auto print = [&](char* buffer, size_t size) {
        const char* format = c.theirs.c_str();
        const std::vector<int>& stars = c.theirStars;
        return stars.empty() ? std::snprintf(buffer, size, format, theirs)
               : stars.size() == 1
                   ? std::snprintf(buffer, size, format, stars[0], theirs)
                   : std::snprintf(buffer, size, format, stars[0], stars[1], theirs);
    };
    const std::vector<int>& stars = c.ourStars;
    if (stars.empty()) {
        actual.Format(wide.c_str(), ours);
    } else if (stars.size() == 1) {
        actual.Format(wide.c_str(), stars[0], ours);
    } else {
        actual.Format(wide.c_str(), stars[0], stars[1], ours);
    }
    const int n = print(nullptr, 0);
    if (n < 0) {
        std::fprintf(stderr, "snprintf failed for %s\n", c.theirs.c_str());
        std::abort();
    }
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    print(buffer.data(), buffer.size());
    Expect(wide, actual, UpToZero(Widen(std::string_view(buffer.data(), n))));
}

void SingleConversion(FuzzedDataProvider& fdp) {
    const char conversion = fdp.PickValueInArray({'d', 'i', 'u', 'o', 'x', 'X', 'c', 's'});
    const bool integer = conversion != 'c' && conversion != 's';
    Conversion c{"%", "%", {}, {}};
    // C leaves the meaning of some flags with some conversions undefined: only defined ones.
    const std::string_view flags =
        integer ? (conversion == 'o' || conversion == 'x' || conversion == 'X') ? "-+ #0" : "-+ 0"
                : "-";
    for (char flag : flags) {
        if (fdp.ConsumeBool()) {
            c.ours += flag;
            c.theirs += flag;
        }
    }
    // C's rules for *: a negative width is the - flag and its size, a negative precision is
    // no precision. Only the clamp is applied here, to the value C gets.
    AddField(fdp, c, "", false);
    if (conversion != 'c') {
        AddField(fdp, c, ".", true);
    }
    c.ours += conversion;
    c.theirs += conversion;

    if (conversion == 'c') {
        const auto ch = static_cast<unsigned char>(fdp.ConsumeIntegral<unsigned char>() & 0x7F);
        CompareWithC(c, ch, static_cast<int>(ch));
    } else if (conversion == 's') {
        std::string ascii = fdp.ConsumeRandomLengthString(300);
        for (char& ch : ascii) {
            ch = static_cast<char>(ch & 0x7F);
        }
        CompareWithC(c, CString(Widen(ascii)), ascii.c_str());
    } else if (fdp.ConsumeBool()) {
        const int value = fdp.ConsumeIntegral<int>();
        const bool isSigned = conversion == 'd' || conversion == 'i';
        if (isSigned) {
            CompareWithC(c, value, value);
        } else {
            CompareWithC(c, value, static_cast<unsigned>(value));
        }
    } else {
        const unsigned value = fdp.ConsumeIntegral<unsigned>();
        const bool isSigned = conversion == 'd' || conversion == 'i';
        if (isSigned) {
            CompareWithC(c, value, static_cast<int>(value));
        } else {
            CompareWithC(c, value, value);
        }
    }
}

void AnyFormat(FuzzedDataProvider& fdp) {
    const std::u16string format = UnitsOf(fdp.ConsumeRandomLengthString(256));
    const std::string narrow = fdp.ConsumeRandomLengthString(64);
    const CString wide(UnitsOf(fdp.ConsumeRandomLengthString(64)));
    const int i1 = fdp.ConsumeIntegral<int>();
    const int i2 = fdp.ConsumeIntegral<int>();
    const unsigned u = fdp.ConsumeIntegral<unsigned>();
    const auto b = fdp.ConsumeIntegral<unsigned char>();
    const auto ll = fdp.ConsumeIntegral<long long>();
    const double d = fdp.ConsumeFloatingPoint<double>();
    const auto* p = reinterpret_cast<const void*>(fdp.ConsumeIntegral<std::uintptr_t>());

    CString result;
    size_t args = 0;
    switch (fdp.ConsumeIntegralInRange(0, 4)) {
        case 0:
            result.Format(format.c_str());
            break;
        case 1:
            result.Format(format.c_str(), i1, u, wide, i2);
            args = 4;
            break;
        case 2:
            result.Format(format.c_str(), wide, b, ll, d);
            args = 4;
            break;
        case 3:
            result.Format(format.c_str(), narrow.c_str(), i1, i2, p);
            args = 4;
            break;
        default:
            result.Format(format.c_str(), i1, i2, u, ll, b, i1, wide, narrow.c_str(), d);
            args = 9;
            break;
    }
    const size_t textMax = std::max(narrow.size(), static_cast<size_t>(wide.GetLength()));
    const size_t bound = format.size() + args * (kMaxField + kConversionSlack + textMax);
    if (static_cast<size_t>(result.GetLength()) > bound || result.Find(u'\0') >= 0) {
        Dump("format", format);
        std::fprintf(stderr, "%d units (bound %zu)\n", result.GetLength(), bound);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider fdp(data, size);
    CString result;
    switch (fdp.ConsumeIntegralInRange(0, 5)) {
        case 0: {
            const auto b = fdp.ConsumeIntegral<unsigned char>();
            result.Format(u"%.2X ", b);
            const char16_t* digits = u"0123456789ABCDEF";
            Expect(u"%.2X ", result, {digits[b >> 4], digits[b & 15], u' '});
            break;
        }
        case 1: {
            const auto b = fdp.ConsumeIntegral<unsigned char>();
            result.Format(u"%c", b);
            Expect(u"%c", result, b == 0 ? u"" : std::u16string(1, static_cast<char16_t>(b)));
            break;
        }
        case 2: {
            const int value = fdp.ConsumeIntegral<int>();
            result.Format(u"%d", value);
            Expect(u"%d", result, Widen(std::to_string(value)));
            break;
        }
        case 3: {
            const std::u16string format = fdp.PickValueInArray(kLaunchFormats);
            const std::u16string text = UnitsOf(fdp.ConsumeRandomLengthString(300));
            result.Format(format.c_str(), CString(text));
            std::u16string expected = format;
            expected.replace(expected.find(u"%s"), 2, UpToZero(text));
            Expect(format, result, expected);
            break;
        }
        case 4:
            SingleConversion(fdp);
            break;
        default:
            AnyFormat(fdp);
            break;
    }
    return 0;
}

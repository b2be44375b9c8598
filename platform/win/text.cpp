#include "platform/win/text.h"

#include "platform/win/text_p.h"

namespace {

using win_detail::IsHighSurrogate;
using win_detail::IsLowSurrogate;

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, min = 0x10000;
        } else {
            AppendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        for (; j < text.size() && j <= i + static_cast<size_t>(extra); ++j) {
            const auto t = static_cast<unsigned char>(text[j]);
            if ((t & 0xC0) != 0x80) {
                break;
            }
            c = (c << 6) | (t & 0x3F);
        }
        const bool complete = j == i + 1 + static_cast<size_t>(extra);
        const bool valid = complete && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        AppendUtf16(out, valid ? c : kReplacement);
        i = j;
    }
    return out;
}

std::string ToPosixPath(LPCWSTR path) {
    std::string out = Utf16ToUtf8(path ? std::u16string_view(path) : std::u16string_view());
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

CString FromPosixPath(std::string_view path) {
    std::u16string out = Utf8ToUtf16(path);
    for (char16_t& c : out) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    return CString(std::move(out));
}

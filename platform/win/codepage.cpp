#include "platform/win/codepage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/win/error_p.h"
#include "platform/win/text.h"
#include "platform/win/text_p.h"

namespace {

using win_detail::IsHighSurrogate;
using win_detail::IsLowSurrogate;

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// iconv descriptors keep state, so each thread keeps its own, opened once per code page.
class Converters {
public:
    ~Converters() {
        for (auto& [page, cd] : m_open) {
            if (cd != kNoConverter) {
                iconv_close(cd);
            }
        }
    }
    iconv_t For(UINT codePage) {
        auto it = m_open.find(codePage);
        if (it == m_open.end()) {
            const std::string name = "CP" + std::to_string(codePage);
            it = m_open.emplace(codePage, iconv_open(name.c_str(), kUtf16)).first;
        }
        return it->second;
    }

private:
    std::unordered_map<UINT, iconv_t> m_open;
};

thread_local Converters t_converters;

// Converts the whole text, replacing what the code page cannot hold. False only when iconv
// fails for another reason than an unconvertible character.
bool Convert(iconv_t cd, const char16_t* src, size_t units, const std::string& replacement,
             std::string& out, bool& replaced) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    auto* in = const_cast<char*>(reinterpret_cast<const char*>(src));
    size_t inLeft = units * sizeof(char16_t);
    char chunk[1024];
    while (inLeft > 0) {
        char* outPtr = chunk;
        size_t outLeft = sizeof chunk;
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, sizeof chunk - outLeft);
        if (r != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        if (errno != EILSEQ && errno != EINVAL) {
            return false;
        }
        // One character the code page lacks: a whole surrogate pair, or one unit.
        const auto* at = reinterpret_cast<const char16_t*>(in);
        const size_t left = inLeft / sizeof(char16_t);
        const size_t skip = left >= 2 && IsHighSurrogate(at[0]) && IsLowSurrogate(at[1]) ? 2 : 1;
        out += replacement;
        replaced = true;
        in += skip * sizeof(char16_t);
        inLeft -= skip * sizeof(char16_t);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

}  // namespace

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR src, int srcLength, LPSTR dst,
                        int dstSize, LPCSTR defaultChar, LPBOOL usedDefault) {
    if (!src || srcLength == 0 || srcLength < -1 || dstSize < 0 || (dstSize > 0 && !dst)) {
        win_detail::Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t units = srcLength == -1 ? std::char_traits<char16_t>::length(src) + 1
                                         : static_cast<size_t>(srcLength);
    std::string out;
    bool replaced = false;
    if (codePage == CP_UTF8) {
        if (defaultChar || usedDefault) {  // as on the system: UTF-8 has no default character
            win_detail::Fail(ERROR_INVALID_PARAMETER);
            return 0;
        }
        out = Utf16ToUtf8(std::u16string_view(src, units));
    } else {
        const iconv_t cd = t_converters.For(codePage == CP_ACP ? CP_GBK : codePage);
        const std::string replacement = defaultChar && *defaultChar ? defaultChar : "?";
        if (cd == kNoConverter || !Convert(cd, src, units, replacement, out, replaced)) {
            win_detail::Fail(ERROR_INVALID_PARAMETER);
            return 0;
        }
    }
    if (usedDefault) {
        *usedDefault = replaced ? TRUE : FALSE;
    }
    if (out.size() > static_cast<size_t>(INT32_MAX)) {
        win_detail::Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (dstSize == 0) {
        return static_cast<int>(out.size());
    }
    if (out.size() > static_cast<size_t>(dstSize)) {
        win_detail::Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, out.data(), out.size());  // NOLINT(bugprone-not-null-terminated-result)
    return static_cast<int>(out.size());
}

#include "pages/hex_send.h"

#include <vector>

#include "io/port.h"
#include "io/write.h"

namespace {

bool IsHexDigit(WCHAR c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsSeparator(WCHAR c) {
    return c == u' ' || c == u',' || c == u';';
}

}  // namespace

int HexDigitValue(WCHAR c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return 0;
}

BYTE HexPairToByte(const CString& pair) {
    return static_cast<BYTE>(16 * HexDigitValue(pair[0]) + HexDigitValue(pair[1]));
}

void EncodeHexText(const CString& text, const std::function<void(const BYTE*, int)>& write) {
    std::vector<BYTE> pending;
    auto flush = [&] {
        if (!pending.empty()) {
            write(pending.data(), static_cast<int>(pending.size()));
            pending.clear();
        }
    };
    WCHAR digits[2] = {};
    int count = 0;  // digits gathered for the next byte
    const int n = text.GetLength();
    for (int i = 0; i < n; ++i) {
        const WCHAR c = text[i];
        if (IsHexDigit(c)) {
            digits[count++] = c;
        }
        if (count == 2) {
            if (digits[0] == u'0' && digits[1] == u'0') {
                flush();
                const BYTE zero = 0;
                write(&zero, 1);
            } else {
                pending.push_back(HexPairToByte(CString(digits, 2)));
            }
            count = 0;
        }
        if (count == 1 && (i + 1 == n || IsSeparator(text[i + 1]))) {
            const WCHAR padded[2] = {u'0', digits[0]};
            pending.push_back(HexPairToByte(CString(padded, 2)));
            count = 0;
        }
    }
    flush();
}

void SendHexText(const CString& text, const std::atomic<HANDLE>* port) {
    EncodeHexText(text, [port](const BYTE* bytes, int length) {
        WriteBytes(PortThrough(port), bytes, length);
    });
}

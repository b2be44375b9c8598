#include "platform/afx/ddx_parse_p.h"

bool AfxParseInt(const CString& text, int& value) {
    const std::u16string& s = text.str();
    size_t i = 0;
    auto blank = [&](size_t at) { return at < s.size() && (s[at] == u' ' || s[at] == u'\t'); };
    while (blank(i)) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    const size_t digits = i;
    long long n = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        n = n * 10 + (s[i] - u'0');
        if (n > 2147483648LL) {
            return false;
        }
    }
    if (i == digits) {
        return false;
    }
    while (blank(i)) {
        ++i;
    }
    n = negative ? -n : n;
    if (i != s.size() || n > 2147483647LL || n < -2147483648LL) {
        return false;
    }
    value = static_cast<int>(n);
    return true;
}

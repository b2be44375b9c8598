// CString::Format: a printf-style formatter over captured, typed arguments.
//
// Numbers are rendered by the C library's snprintf from a rebuilt narrow conversion, so their
// flags, width and precision mean exactly what they mean in C. Texts and characters are padded
// here, in 16-bit units.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "platform/win/cstring.h"
#include "platform/win/text.h"

namespace {

using win_detail::FormatArg;

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool leftAlign = false;
    char conversion = 0;
};

// Widths and precisions beyond this are clamped: no format of the tool needs more, and an
// absurd one must not turn into an allocation of gigabytes.
constexpr int kMaxField = 1 << 16;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int ReadNumber(LPCWSTR& p) {
    int value = 0;
    while (IsDigit(*p)) {
        value = std::min(value * 10 + (*p - u'0'), kMaxField);
        ++p;
    }
    return value;
}

class Formatter {
public:
    Formatter(const FormatArg* args, size_t count) : m_args(args), m_count(count) {}

    std::u16string Run(LPCWSTR p) {
        while (p && *p) {
            if (*p != u'%') {
                m_out += *p++;
                continue;
            }
            ++p;
            if (*p == u'%') {
                m_out += u'%';
                ++p;
                continue;
            }
            Spec spec;
            if (!ParseSpec(p, spec)) {
                break;  // a format that ends inside a conversion stops the output there
            }
            Convert(spec);
        }
        return std::move(m_out);
    }

private:
    const FormatArg* Next() { return m_next < m_count ? &m_args[m_next++] : nullptr; }

    int NextInt() {
        const FormatArg* a = Next();
        if (!a) {
            return 0;
        }
        if (a->kind == FormatArg::Kind::Signed) {
            return static_cast<int>(a->i);
        }
        if (a->kind == FormatArg::Kind::Unsigned) {
            return static_cast<int>(a->u);
        }
        return 0;
    }

    bool ParseSpec(LPCWSTR& p, Spec& spec) {
        for (; *p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0'; ++p) {
            spec.flags += static_cast<char>(*p);
            spec.leftAlign = spec.leftAlign || *p == u'-';
        }
        if (*p == u'*') {
            ++p;
            const long long width = NextInt();
            if (width < 0) {
                spec.leftAlign = true;
                spec.flags += '-';
            }
            spec.width = static_cast<int>(std::min<long long>(std::llabs(width), kMaxField));
        } else if (IsDigit(*p)) {
            spec.width = ReadNumber(p);
        }
        if (*p == u'.') {
            ++p;
            if (*p == u'*') {
                ++p;
                spec.precision = std::min(NextInt(), kMaxField);  // negative: as if omitted
            } else {
                spec.precision = ReadNumber(p);
            }
        }
        // Length modifiers: the captured argument's own type decides, so they are skipped.
        while (*p == u'h' || *p == u'l' || *p == u'L' || *p == u'z' || *p == u'j' || *p == u't' ||
               *p == u'w') {
            ++p;
        }
        if (*p == u'I') {
            ++p;
            if ((p[0] == u'6' && p[1] == u'4') || (p[0] == u'3' && p[1] == u'2')) {
                p += 2;
            }
        }
        if (!*p) {
            return false;
        }
        spec.conversion = static_cast<char>(*p < 0x80 ? *p : '?');
        ++p;
        return true;
    }

    void Pad(const std::u16string& body, const Spec& spec) {
        const size_t width = spec.width > 0 ? static_cast<size_t>(spec.width) : 0;
        const size_t fill = body.size() < width ? width - body.size() : 0;
        if (!spec.leftAlign) {
            m_out.append(fill, u' ');
        }
        m_out += body;
        if (spec.leftAlign) {
            m_out.append(fill, u' ');
        }
    }

    void Convert(const Spec& spec) {
        const FormatArg* a = Next();
        if (!a) {
            return;
        }
        switch (spec.conversion) {
            case 'c':
                if (a->kind == FormatArg::Kind::Signed || a->kind == FormatArg::Kind::Unsigned) {
                    Pad(std::u16string(1, static_cast<char16_t>(a->u)), spec);
                }
                return;
            case 's':
            case 'S':
                Text(*a, spec);
                return;
            case 'd':
            case 'i':
            case 'u':
            case 'o':
            case 'x':
            case 'X':
                Integer(*a, spec);
                return;
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                if (a->kind == FormatArg::Kind::Double) {
                    Narrow(spec, "", a->d);
                }
                return;
            case 'p':
                if (a->kind == FormatArg::Kind::Pointer) {
                    Narrow(spec, "", a->p);
                }
                return;
            default:
                return;  // unknown conversions (and %n) consume their argument and print nothing
        }
    }

    void Text(const FormatArg& a, const Spec& spec) {
        std::u16string body;
        if (a.kind == FormatArg::Kind::WideText) {
            body = a.ws ? a.ws : u"(null)";
        } else if (a.kind == FormatArg::Kind::NarrowText) {
            body = a.s ? Utf8ToUtf16(a.s) : u"(null)";
        } else {
            return;
        }
        if (spec.precision >= 0 && body.size() > static_cast<size_t>(spec.precision)) {
            body.resize(static_cast<size_t>(spec.precision));
        }
        Pad(body, spec);
    }

    void Integer(const FormatArg& a, const Spec& spec) {
        const bool isSigned = spec.conversion == 'd' || spec.conversion == 'i';
        if (a.kind == FormatArg::Kind::Signed) {
            if (isSigned) {
                Narrow(spec, "ll", a.i);
            } else {
                // As C does: a negative value shows as the unsigned value of its own width.
                unsigned long long u = static_cast<unsigned long long>(a.i);
                if (a.size < 8) {
                    u &= (1ULL << (a.size * 8)) - 1;
                }
                Narrow(spec, "ll", u);
            }
        } else if (a.kind == FormatArg::Kind::Unsigned) {
            if (isSigned) {
                long long i = static_cast<long long>(a.u);
                if (a.size < 8) {  // reinterpret in the argument's own width
                    const int shift = 64 - a.size * 8;
                    i = static_cast<long long>(a.u << shift) >> shift;
                }
                Narrow(spec, "ll", i);
            } else {
                Narrow(spec, "ll", a.u);
            }
        }
    }

    template <class T>
    void Narrow(const Spec& spec, const char* length, T value) {
        if (Plain(spec, value)) {
            return;
        }
        std::string fmt = "%" + spec.flags;
        if (spec.width >= 0) {
            fmt += std::to_string(spec.width);
        }
        if (spec.precision >= 0) {
            fmt += "." + std::to_string(spec.precision);
        }
        fmt += length;
        fmt += spec.conversion;
        const int n = std::snprintf(nullptr, 0, fmt.c_str(), value);
        if (n <= 0) {
            return;
        }
        std::string buf(static_cast<size_t>(n) + 1, '\0');
        std::snprintf(buf.data(), buf.size(), fmt.c_str(), value);
        buf.resize(static_cast<size_t>(n));
        m_out.append(buf.begin(), buf.end());  // ASCII only: digits, signs, letters
    }

    // A decimal or hexadecimal number without flags or width, the common case (a received
    // byte in hex, say), rendered without the C library's formatting machinery.
    template <class T>
    bool Plain(const Spec& spec, T value) {
        if constexpr (!std::is_integral_v<T>) {
            return false;
        } else {
            return PlainInteger(spec, value);
        }
    }

    template <class T>
    bool PlainInteger(const Spec& spec, T value) {
        if (!spec.flags.empty() || spec.width >= 0) {
            return false;
        }
        int base = 10;
        switch (spec.conversion) {
            case 'd':
            case 'i':
            case 'u':
                break;
            case 'x':
            case 'X':
                base = 16;
                break;
            default:
                return false;
        }
        bool negative = false;
        if constexpr (std::is_signed_v<T>) {
            negative = value < 0;
        }
        const auto magnitude = negative ? 0 - static_cast<unsigned long long>(value)
                                        : static_cast<unsigned long long>(value);
        char digits[24];
        const size_t count =
            spec.precision == 0 && magnitude == 0
                ? 0  // as C has it: no digits at all
                : static_cast<size_t>(
                      std::to_chars(digits, digits + sizeof digits, magnitude, base).ptr - digits);
        if (negative) {
            m_out += u'-';
        }
        if (spec.precision > static_cast<int>(count)) {
            m_out.append(static_cast<size_t>(spec.precision) - count, u'0');
        }
        for (size_t i = 0; i < count; ++i) {
            const char c = digits[i];
            m_out += static_cast<char16_t>(spec.conversion == 'X' && c >= 'a' ? c - 'a' + 'A' : c);
        }
        return true;
    }

    const FormatArg* m_args;
    size_t m_count;
    size_t m_next = 0;
    std::u16string m_out;
};

}  // namespace

void CString::FormatArgs(LPCWSTR format, const FormatArg* args, size_t count) {
    std::u16string out = Formatter(args, count).Run(format);
    const size_t nul = out.find(u'\0');
    if (nul != std::u16string::npos) {
        out.resize(nul);
    }
    m_text = std::move(out);
}

// CString: the framework's 16-bit text (UTF-16 code units), a value type.
//
// Offers the operations the tool uses: length and emptiness, Left/Mid/Right, Find/ReverseFind,
// concatenation, comparison, direct buffer access (GetBuffer/ReleaseBuffer) and
// printf-style Format. Format is type-safe: each argument is captured with its type, so a
// CString may be passed for %s, and a mismatched conversion produces no output instead of
// undefined behaviour. Like the framework's own string, a formatted result ends at the first
// zero character it contains (so "%c" of 0 yields an empty text).
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/win/types.h"

namespace win_detail {

// One captured argument of CString::Format.
struct FormatArg {
    enum class Kind { Signed, Unsigned, Double, WideText, NarrowText, Pointer };
    Kind kind;
    int size;  // bytes of the original integer type, for %x of negative values
    union {
        long long i;
        unsigned long long u;
        double d;
        const char16_t* ws;
        const char* s;
        const void* p;
    };
};

}  // namespace win_detail

class CString {
public:
    CString() = default;
    CString(const WCHAR* text);  // NOLINT(google-explicit-constructor): framework semantics
    CString(const WCHAR* text, int length);
    CString(WCHAR ch, int repeat = 1);  // NOLINT(google-explicit-constructor)
    explicit CString(std::u16string text) : m_text(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty() ? TRUE : FALSE; }
    void Empty();

    // Removes count characters from index on (as many as there are); returns the new length.
    // The text keeps its buffer: removing the front of a long text allocates nothing.
    int Delete(int index, int count = 1);

    // The text as a zero-terminated 16-bit string, valid until the next change.
    operator LPCWSTR() const { return m_text.c_str(); }  // NOLINT(google-explicit-constructor)
    LPCWSTR GetString() const { return m_text.c_str(); }

    // Leftmost count characters: the whole text when count >= length, empty when count <= 0.
    CString Left(int count) const;
    CString Right(int count) const;
    // From first to the end.
    CString Mid(int first) const;

    // Index of the first / last occurrence, or -1.
    int Find(WCHAR ch, int start = 0) const;
    int ReverseFind(WCHAR ch) const;

    CString& operator=(LPCWSTR text);
    CString& operator+=(const CString& other);
    CString& operator+=(LPCWSTR text);
    CString& operator+=(WCHAR ch);

    // A writable buffer of at least minLength characters (plus terminator). After writing,
    // ReleaseBuffer(-1) takes the text up to its first zero, ReleaseBuffer(n) the first n.
    LPWSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    // printf-style formatting: flags, width, precision (also *), length modifiers accepted and
    // ignored (the argument's own type decides), conversions d i u o x X c s S f e E g G p %.
    template <class... Args>
    void Format(LPCWSTR format, const Args&... args) {
        const win_detail::FormatArg captured[] = {Capture(args)..., Capture(0)};
        FormatArgs(format, captured, sizeof...(Args));
    }
    void FormatArgs(LPCWSTR format, const win_detail::FormatArg* args, size_t count);

    const std::u16string& str() const { return m_text; }

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCWSTR b);
    friend CString operator+(LPCWSTR a, const CString& b);
    friend CString operator+(const CString& a, WCHAR b);
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, LPCWSTR b) { return a.m_text == (b ? b : u""); }
    friend bool operator==(LPCWSTR a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCWSTR b) { return !(a == b); }
    friend bool operator!=(LPCWSTR a, const CString& b) { return !(a == b); }

private:
    template <class T>
    static win_detail::FormatArg Capture(const T& value) {
        using win_detail::FormatArg;
        using U = std::decay_t<T>;
        FormatArg arg{};
        if constexpr (std::is_same_v<U, CString>) {
            arg.kind = FormatArg::Kind::WideText;
            arg.ws = value.GetString();
        } else if constexpr (std::is_same_v<U, const char16_t*> || std::is_same_v<U, char16_t*>) {
            arg.kind = FormatArg::Kind::WideText;
            arg.ws = value;
        } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>) {
            arg.kind = FormatArg::Kind::NarrowText;
            arg.s = value;
        } else if constexpr (std::is_same_v<U, std::u16string>) {
            arg.kind = FormatArg::Kind::WideText;
            arg.ws = value.c_str();
        } else if constexpr (std::is_floating_point_v<U>) {
            arg.kind = FormatArg::Kind::Double;
            arg.d = static_cast<double>(value);
        } else if constexpr (std::is_enum_v<U>) {
            arg.kind = FormatArg::Kind::Signed;
            arg.size = sizeof(U);
            arg.i = static_cast<long long>(value);
        } else if constexpr (std::is_integral_v<U> && std::is_signed_v<U>) {
            arg.kind = FormatArg::Kind::Signed;
            arg.size = sizeof(U);
            arg.i = value;
        } else if constexpr (std::is_integral_v<U>) {
            arg.kind = FormatArg::Kind::Unsigned;
            arg.size = sizeof(U);
            arg.u = value;
        } else if constexpr (std::is_pointer_v<U> || std::is_null_pointer_v<U>) {
            arg.kind = FormatArg::Kind::Pointer;
            arg.p = value;
        } else {
            static_assert(sizeof(U) == 0, "CString::Format cannot take this argument type");
        }
        return arg;
    }

    std::u16string m_text;
};

// Conversions at the platform's edge: 16-bit text to and from UTF-8, and the path view.
//
// The tool's code sees Windows-style paths (backslash separators); POSIX sees slashes. Every
// platform call that takes a path converts it with ToPosixPath; every path handed back up is
// converted with FromPosixPath. A doubled separator stays doubled, which POSIX ignores.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/cstring.h"

// Unpaired surrogates and malformed UTF-8 become U+FFFD; nothing is dropped silently.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

std::string ToPosixPath(LPCWSTR path);
CString FromPosixPath(std::string_view path);

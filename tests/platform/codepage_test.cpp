#include "platform/win/codepage.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win/error.h"
#include "platform/win/text.h"

namespace {

// The converted bytes, without the terminating zero that a -1 length converts too.
std::string ToGbk(const std::u16string& text, BOOL* usedDefault = nullptr) {
    const int need = WideCharToMultiByte(936, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(need), '\0');
    EXPECT_EQ(WideCharToMultiByte(936, 0, text.c_str(), -1, out.data(), need, nullptr, usedDefault),
              need);
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(out.back(), '\0');
    out.pop_back();
    return out;
}

TEST(CodePageTest, ChineseAndAsciiBecomeCodePage936) {
    EXPECT_EQ(ToGbk(u"AB"), "AB");
    EXPECT_EQ(ToGbk(u"中"), "\xD6\xD0");
    EXPECT_EQ(ToGbk(u"打印 test\r\n"), "\xB4\xF2\xD3\xA1 test\r\n");
    EXPECT_EQ(ToGbk(u""), "");
}

TEST(CodePageTest, CharactersTheCodePageLacksBecomeOneQuestionMarkEach) {
    BOOL used = FALSE;
    EXPECT_EQ(ToGbk(u"a\u0E01b", &used), "a?b");  // Thai is not in code page 936
    EXPECT_TRUE(used);
    EXPECT_EQ(ToGbk(u"x\U0001F600y"), "x?y");  // a surrogate pair is one character
    EXPECT_EQ(ToGbk(std::u16string{u'a', char16_t(0xD800), u'b'}), "a?b");  // unpaired
    EXPECT_EQ(ToGbk(std::u16string{u'a', char16_t(0xDC00)}), "a?");
    EXPECT_EQ(ToGbk(std::u16string{char16_t(0xD800)}), "?");
    used = TRUE;
    ToGbk(u"plain", &used);
    EXPECT_FALSE(used);
}

TEST(CodePageTest, BufferSizesAndBadArguments) {
    char small[2];
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"abc", -1, small, sizeof small, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    char exact[3];
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"a中", 2, exact, sizeof exact, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(exact, 3), "a\xD6\xD0");
    EXPECT_EQ(WideCharToMultiByte(936, 0, nullptr, -1, exact, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WideCharToMultiByte(4242, 0, u"a", -1, exact, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    char utf8[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"中", 1, utf8, sizeof utf8, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(utf8), "\xE4\xB8\xAD");
}

TEST(TextTest, PathViewTurnsSeparatorsBothWays) {
    EXPECT_EQ(
        ToPosixPath(u"\\tmp\\x\\\\应用程序打包\\a.exe"),
        "/tmp/x//\xE5\xBA\x94\xE7\x94\xA8\xE7\xA8\x8B\xE5\xBA\x8F\xE6\x89\x93\xE5\x8C\x85/a.exe");
    EXPECT_EQ(FromPosixPath("/opt/rv/RV4417Test"), _T("\\opt\\rv\\RV4417Test"));
    EXPECT_EQ(Utf8ToUtf16("\xFF"
                          "a\xE4\xB8"),
              u"\uFFFDa\uFFFD");
}

}  // namespace

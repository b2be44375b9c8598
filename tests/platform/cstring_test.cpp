#include "platform/win/cstring.h"

#include <gtest/gtest.h>

#include "platform/win/text.h"

namespace {

std::string U8(const CString& s) {
    return Utf16ToUtf8(s.str());
}

TEST(CStringTest, LeftAndReverseFindCutAnExecutablePathToItsFolder) {
    const CString path(_T("\\Program Files\\Tool\\tool.exe"));
    EXPECT_EQ(path.ReverseFind(u'\\'), 19);
    EXPECT_EQ(U8(path.Left(path.ReverseFind(u'\\') + 1)), "\\Program Files\\Tool\\");
    const CString root(_T("\\tool.exe"));
    EXPECT_EQ(U8(root.Left(root.ReverseFind(u'\\') + 1)), "\\");
    const CString bare(_T("tool.exe"));
    EXPECT_EQ(bare.ReverseFind(u'\\'), -1);
    EXPECT_TRUE(bare.Left(bare.ReverseFind(u'\\') + 1).IsEmpty());
    EXPECT_EQ(U8(bare.Left(100)), "tool.exe");
    EXPECT_TRUE(bare.Left(-3).IsEmpty());
}

TEST(CStringTest, ConcatenationComparisonAndEmptying) {
    CString s(_T("ab"));
    s += _T("c");
    s += u'd';
    s += CString(_T("e"));
    EXPECT_EQ(s, _T("abcde"));
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_TRUE(s != _T("abcd"));
    EXPECT_EQ(CString(_T("x")) + _T("y") + CString(_T("z")), _T("xyz"));
    EXPECT_EQ(_T("Auto Send"), CString(_T("Auto Send")));
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s, _T(""));
    const CString null(static_cast<LPCWSTR>(nullptr));
    EXPECT_TRUE(null.IsEmpty());
}

TEST(CStringTest, MidRightAndFind) {
    const CString w(_T("hello world"));
    EXPECT_EQ(w.Mid(6), _T("world"));
    EXPECT_TRUE(w.Mid(50).IsEmpty());
    EXPECT_EQ(w.Right(3), _T("rld"));
    EXPECT_EQ(w.Find(u'o'), 4);
    EXPECT_EQ(w.Find(u'o', 5), 7);
}

TEST(CStringTest, BufferAccessTakesTheTextUpToItsFirstZero) {
    CString s;
    LPWSTR buf = s.GetBuffer(260);
    const char16_t text[] = u"\\a\\b.exe";
    std::copy(std::begin(text), std::end(text), buf);
    s.ReleaseBuffer();
    EXPECT_EQ(s, _T("\\a\\b.exe"));
    EXPECT_EQ(s.GetLength(), 8);
}

TEST(CStringFormatTest, ReceiveFormatsGiveTwoUpperCaseDigitsOrTheCharacter) {
    CString s;
    for (const unsigned char byte : {0x41, 0x0D, 0xA5, 0x00, 0xFF}) {
        CString one;
        one.Format(_T("%.2X "), byte);
        s += one;
    }
    EXPECT_EQ(s, _T("41 0D A5 00 FF "));

    s.Format(_T("%c"), static_cast<unsigned char>(0xE9));
    EXPECT_EQ(s, _T("\u00E9"));
    s.Format(_T("%c"), 0);  // the framework's string ends at the zero
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringFormatTest, TextsIntegersWidthsAndFlags) {
    CString s;
    s.Format(_T("%s\\%s"), CString(_T("\\Windows\\")), _T("SnapTool.exe"));
    EXPECT_EQ(s, _T("\\Windows\\\\SnapTool.exe"));
    s.Format(_T("[%5d|%-5d|%05d|%+d|%x|%#o]"), 42, 42, 42, 7, 255, 8);
    EXPECT_EQ(s, _T("[   42|42   |00042|+7|ff|010]"));
    s.Format(_T("%d %u %x"), -1, -1, -1);
    EXPECT_EQ(s, _T("-1 4294967295 ffffffff"));
    s.Format(_T("%x"), static_cast<short>(-1));
    EXPECT_EQ(s, _T("ffff"));
    s.Format(_T("%*d|%-*s|%.3s"), 4, 5, 3, _T("a"), _T("abcdef"));
    EXPECT_EQ(s, _T("   5|a  |abc"));
    s.Format(_T("%.2f%%"), 12.345);
    EXPECT_EQ(s, _T("12.35%"));
    s.Format(_T("%s"), "utf8 \xe4\xb8\xad");
    EXPECT_EQ(s, _T("utf8 中"));
    s.Format(_T("%I64d %lld %ld"), 1LL << 40, 5LL, 6L);
    EXPECT_EQ(s, _T("1099511627776 5 6"));
}

TEST(CStringFormatTest, MismatchedOrMissingArgumentsPrintNothingInsteadOfCrashing) {
    CString s;
    s.Format(_T("<%d><%s><%c>"), _T("text"), 5);
    EXPECT_EQ(s, _T("<><><>"));  // "%c" had no argument left
    s.Format(_T("tail %"));
    EXPECT_EQ(s, _T("tail "));
    s.Format(_T("%s"), static_cast<LPCWSTR>(nullptr));
    EXPECT_EQ(s, _T("(null)"));
    s.Format(_T("%n%q"), 1, 2);
    EXPECT_EQ(s, _T(""));
    s.Format(_T("%999999999d"), 1);  // clamped, not gigabytes
    EXPECT_EQ(s.GetLength(), 1 << 16);
}

}  // namespace

#include "platform/win/find.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/win/error.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/text.h"
#include "tests/support/temp_dir.h"

namespace {

std::u16string View(const std::filesystem::path& path) {
    std::u16string text = Utf8ToUtf16(path.string());
    std::replace(text.begin(), text.end(), u'/', u'\\');
    return text;
}

bool Exists(const std::u16string& path) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    EXPECT_TRUE(FindClose(find));
    return true;
}

// The launcher's paths: a doubled separator after the folder, a folder with a Chinese name.
TEST(FindFirstFileW, TellsWhetherTheNamedEntryExists) {
    rvtest::TempDir dir;
    dir.Write("应用程序打包/PowerGauge.exe", "");
    ASSERT_EQ(symlink("nowhere", (dir.path() / "dangling").c_str()), 0);
    const std::u16string root = View(dir.path());
    EXPECT_TRUE(Exists(root + u"\\\\应用程序打包\\PowerGauge.exe"));
    EXPECT_TRUE(Exists(root + u"\\应用程序打包"));
    EXPECT_TRUE(Exists(root + u"\\dangling"));
    EXPECT_FALSE(Exists(root + u"\\\\PowerGauge.exe"));
    EXPECT_FALSE(Exists(root + u"\\nodir\\PowerGauge.exe"));
    EXPECT_FALSE(Exists(root + u"\\*"));  // no wildcards: a name like any other
    EXPECT_EQ(FindFirstFileW(root.c_str(), nullptr), INVALID_HANDLE_VALUE);
}

TEST(FindClose, ClosesOnlyFindHandles) {
    const HANDLE other = win_detail::InsertHandle(std::make_shared<win_detail::KernelObject>());
    EXPECT_FALSE(FindClose(other));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(other));

    rvtest::TempDir dir;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(View(dir.path()).c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(find));
    EXPECT_FALSE(FindClose(find));
}

}  // namespace

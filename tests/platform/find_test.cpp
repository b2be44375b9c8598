#include "platform/win/find.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
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

// Every entry the search reports, which must end with ERROR_NO_MORE_FILES.
std::set<std::u16string> FindAll(const std::u16string& path) {
    std::set<std::u16string> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        EXPECT_TRUE(names.insert(data.cFileName).second) << "reported twice";
    } while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(find));
    return names;
}

WIN32_FIND_DATAW FindOne(const std::u16string& path) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    EXPECT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(find);
    return data;
}

TEST(FindFirstFileW, FindsByExactNameDespiteADoubledSeparator) {
    rvtest::TempDir dir;
    dir.Write("x/SnapTool.exe", "abc");
    const WIN32_FIND_DATAW data = FindOne(View(dir.path() / "x") + u"\\\\SnapTool.exe");
    EXPECT_EQ(std::u16string(data.cFileName), u"SnapTool.exe");
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(data.nFileSizeLow, 3u);
}

TEST(FindFirstFileW, FindsInAFolderWithAChineseName) {
    rvtest::TempDir dir;
    dir.Write("应用程序打包/SnapTool.exe", "");
    dir.Write("应用程序打包/说明.txt", "");
    const std::u16string folder = View(dir.path()) + u"\\应用程序打包";
    EXPECT_EQ(FindAll(folder + u"\\SnapTool.exe"), std::set<std::u16string>{u"SnapTool.exe"});
    EXPECT_EQ(FindAll(folder + u"\\*"), (std::set<std::u16string>{u"SnapTool.exe", u"说明.txt"}));
    const WIN32_FIND_DATAW data = FindOne(folder);
    EXPECT_EQ(std::u16string(data.cFileName), u"应用程序打包");
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FindFirstFileW, WildcardsMatchTheLastComponentOnly) {
    rvtest::TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.log", "notes", "log[1].txt", ".hidden.txt"}) {
        dir.Write(name, "");
    }
    std::filesystem::create_directory(dir.path() / "d.txt");
    const std::u16string root = View(dir.path());
    using Names = std::set<std::u16string>;
    EXPECT_EQ(FindAll(root + u"\\*.txt"),
              (Names{u"a.txt", u"b.txt", u"d.txt", u"log[1].txt", u".hidden.txt"}));
    EXPECT_EQ(FindAll(root + u"\\?.log"), Names{u"c.log"});
    EXPECT_EQ(FindAll(root + u"\\log[1]*"), Names{u"log[1].txt"});
    EXPECT_EQ(FindAll(root + u"\\*.*").size(), 7u);  // "notes" too; never "." or ".."
    EXPECT_EQ(FindAll(root + u"\\*.log*\\*"), Names{});
}

TEST(FindFirstFileW, MissingEntriesAndFoldersAreTold) {
    rvtest::TempDir dir;
    const std::u16string root = View(dir.path());
    WIN32_FIND_DATAW data;
    for (const auto& [path, error] : {std::pair{root + u"\\missing.exe", ERROR_FILE_NOT_FOUND},
                                      {root + u"\\*.exe", ERROR_FILE_NOT_FOUND},
                                      {root + u"\\nodir\\a.exe", ERROR_PATH_NOT_FOUND},
                                      {root + u"\\nodir\\*.exe", ERROR_PATH_NOT_FOUND}}) {
        EXPECT_EQ(FindFirstFileW(path.c_str(), &data), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), error);
    }
    EXPECT_EQ(FindFirstFileW(root.c_str(), nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(FindFirstFileW, DescribesAttributesSizeAndWriteTime) {
    rvtest::TempDir dir;
    const auto big = dir.Write("big.bin", "");
    std::filesystem::resize_file(big, (5ull << 32) + 7);  // sparse
    const timespec times[2] = {{1609459200, 500000000}, {1609459200, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, big.c_str(), times, 0), 0);
    chmod(big.c_str(), 0444);
    ASSERT_EQ(symlink("nowhere", (dir.path() / "dangling").c_str()), 0);

    const WIN32_FIND_DATAW data = FindOne(View(big));
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(data.nFileSizeHigh, 5u);
    EXPECT_EQ(data.nFileSizeLow, 7u);
    // 2021-01-01 00:00:00.5 UTC in 100 ns steps since 1601.
    const unsigned long long written = 132539328005000000ull;
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, static_cast<DWORD>(written));
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, static_cast<DWORD>(written >> 32));
    EXPECT_EQ(std::u16string(FindOne(View(dir.path() / "dangling")).cFileName), u"dangling");
    EXPECT_EQ(FindAll(View(dir.path()) + u"\\dang*").size(), 1u);
}

TEST(FindClose, ClosesOnlyFindHandles) {
    rvtest::TempDir dir;
    dir.Write("a", "");
    WIN32_FIND_DATAW data;
    const HANDLE other = win_detail::InsertHandle(std::make_shared<win_detail::KernelObject>());
    EXPECT_FALSE(FindClose(other));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileW(other, &data));
    EXPECT_TRUE(CloseHandle(other));

    const HANDLE find = FindFirstFileW((View(dir.path()) + u"\\*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(find));
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindClose(find));
}

}  // namespace

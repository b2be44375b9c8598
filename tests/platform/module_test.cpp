#include "platform/win/module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win/error.h"
#include "platform/win/text.h"

namespace {

// What the tool must see: /proc/self/exe with backslash separators.
std::u16string OwnPath() {
    std::u16string path = Utf8ToUtf16(std::filesystem::read_symlink("/proc/self/exe").string());
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
}

TEST(GetModuleFileNameW, GivesTheRunningExecutableInThePathView) {
    WCHAR buffer[4096];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, 4096);
    EXPECT_EQ(std::u16string(buffer), OwnPath());
    EXPECT_EQ(length, OwnPath().size());
    EXPECT_EQ(buffer[0], u'\\');
}

TEST(GetModuleFileNameW, CutsToTheBufferAndNeverWritesPastIt) {
    const std::u16string full = OwnPath();
    const auto length = static_cast<DWORD>(full.size());
    for (const DWORD size : {length + 1, length, 5u, 1u}) {
        SCOPED_TRACE(size);
        std::u16string buffer(size + 8, u'#');
        SetLastError(0);
        const DWORD result = GetModuleFileNameW(nullptr, buffer.data(), size);
        const DWORD kept = std::min(length, size - 1);
        EXPECT_EQ(result, size > length ? length : size);
        EXPECT_EQ(GetLastError(), size > length ? 0u : ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(buffer.substr(0, kept), full.substr(0, kept));
        EXPECT_EQ(buffer[kept], 0);
        EXPECT_EQ(buffer.substr(size), std::u16string(8, u'#'));
    }
}

TEST(GetModuleFileNameW, OtherModulesGiveTheEmptyText) {
    WCHAR buffer[64] = u"stale";
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(0x1000), buffer, 64), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(buffer[0], 0);
}

}  // namespace

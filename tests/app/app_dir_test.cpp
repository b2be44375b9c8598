#include "app/app_dir.h"

#include <gtest/gtest.h>

#include "platform/win/module.h"
#include "platform/win/text.h"

namespace {

TEST(AppDirTest, KeepsTheFolderWithItsTrailingBackslash) {
    RecordAppDir(_T("\\Program Files\\Tool\\tool.exe"));
    EXPECT_EQ(g_strAppDir, _T("\\Program Files\\Tool\\"));
    RecordAppDir(_T("\\tool.exe"));
    EXPECT_EQ(g_strAppDir, _T("\\"));
    RecordAppDir(_T("tool.exe"));  // no folder at all
    EXPECT_EQ(g_strAppDir, _T(""));
    RecordAppDir(_T(""));  // the path could not be had
    EXPECT_EQ(g_strAppDir, _T(""));
}

TEST(AppDirTest, TheExecutablesOwnFolderInThePathView) {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    RecordAppDir(path);
    EXPECT_EQ(g_strAppDir, FromPosixPath(RV_BINARY_DIR "/tests/app/"));
}

}  // namespace

// CFile over the platform's files, and the file-open dialog.
#include "platform/afx/file.h"

#include <gtest/gtest.h>

#include <QDir>

#include "platform/win/text.h"
#include "tests/support/gui.h"
#include "tests/support/temp_dir.h"

namespace {

CString PathView(const std::filesystem::path& p) {
    return FromPosixPath(p.string());
}

TEST(CFileTest, ReadsAFileWholeAndReportsItsLength) {
    rvtest::TempDir dir;
    const std::string content("\x00\x01\xFF data", 8);
    const auto path = dir.Write("a.bin", content);
    CFile file;
    ASSERT_TRUE(file.Open(PathView(path), CFile::modeRead | CFile::shareExclusive));
    EXPECT_EQ(file.GetLength(), 8u);
    char buf[16] = {};
    EXPECT_EQ(file.Read(buf, sizeof buf), 8u);
    EXPECT_EQ(std::string(buf, 8), content);
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);
    CFile second;
    EXPECT_FALSE(second.Open(PathView(path), CFile::modeRead | CFile::shareExclusive));
    file.Close();
    EXPECT_FALSE(second.Open(PathView(dir.path() / "missing"), CFile::modeRead));
}

TEST(CFileDialogTest, FiltersFolderAndChoice) {
    rvtest::TempDir dir;
    const auto path = dir.Write("data.bin", "x");
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       _T("BIN (*.bin)|*.bin|All File (*.*)|*.*||"));
    dialog.m_ofn.lpstrInitialDir = _T("\\Nand");  // not on this machine: the home folder
    {
        rvtest::FileDialogs answer(QString::fromStdString(path.string()));
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(answer.NameFilters(), QStringList({"BIN (*.bin) (*.bin)", "All File (*.*) (*)"}));
        EXPECT_EQ(answer.Directory(), QDir::homePath());
    }
    EXPECT_EQ(dialog.GetPathName(), PathView(path));

    rvtest::FileDialogs cancel{QString()};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(cancel.Shown(), 1);
}

}  // namespace

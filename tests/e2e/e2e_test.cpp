// Every page end to end: the real dialog, the simulated terminal behind COM0, COM2 and GPR1.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

#include "app/app_dir.h"
#include "platform/win/text.h"
#include "tests/support/alsa_sink.h"
#include "tests/support/emulation.h"
#include "tests/support/temp_dir.h"
#include "tools/drive/technician.h"

CWinApp g_testApp;

namespace {

class EndToEndTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("RV4417_DEVICES", terminal.DeviceDirectory().c_str(), 1);
        setenv("RV4417_UTILITY_CLOSE_MS", "300", 1);
        // The program's own folder: the stand-in utilities and the sound are there.
        RecordAppDir(FromPosixPath(RV_BINARY_DIR "/RV4417Test"));
        ASSERT_TRUE(dialog.Create(IDD_RV4417TEST_DIALOG));
        g_testApp.m_pMainWnd = &dialog;
        technician.WaitUntil([] { return false; }, 200);
    }
    void TearDown() override {
        dialog.DestroyWindow();
        g_testApp.m_pMainWnd = nullptr;
    }
    int Printed(const std::string& line) const { return technician.Printed(line); }

    rvtest::AlsaFileSink sink;
    rvtest::TempDir folder;
    sim::SimulatedTerminal terminal{{}, nullptr};
    CTestDlg dialog;
    drive::Technician technician{terminal, dialog};
};

TEST_F(EndToEndTest, PrinterPrintsTextHexFilesAndAutoSend) {
    const drive::Verdict verdict = technician.Printer(folder.path().string());
    EXPECT_TRUE(verdict.ok) << verdict.detail;
    EXPECT_GE(Printed("This is a sample!"), 4);  // one send and three rounds of auto send
    EXPECT_EQ(terminal.Initialisations(), 1);    // 1B 40
    EXPECT_EQ(Printed("测试 OK"), 1);            // from the file, in code page 936
    for (const std::string& line : terminal.Paper()) {
        EXPECT_EQ(line.find("<1B"), std::string::npos) << "a command reached the paper: " << line;
    }
}

TEST_F(EndToEndTest, ACardSwipeShowsOnTheCardPageOnly) {
    const drive::Verdict verdict = technician.Card();
    EXPECT_TRUE(verdict.ok) << verdict.detail;
    EXPECT_EQ(terminal.Tracks(), "Track1,2");
    EXPECT_TRUE(terminal.AutoReceive());
    EXPECT_TRUE(terminal.Paper().empty());  // the reader's commands were not printed
}

TEST_F(EndToEndTest, AScanShowsTheCodeAndPlaysTheSound) {
    const drive::Verdict verdict = technician.Barcode([&] { return sink.Played().size(); });
    EXPECT_TRUE(verdict.ok) << verdict.detail;
    const auto codes = terminal.ControlCodes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(std::vector<std::uint32_t>(codes.begin(), codes.begin() + 3),
              (std::vector<std::uint32_t>{500, 100, 200}));  // stop, enable at start; trigger
}

TEST_F(EndToEndTest, TheKeyBoardPageNamesTheKeys) {
    const drive::Verdict verdict = technician.Keyboard();
    EXPECT_TRUE(verdict.ok) << verdict.detail;
}

TEST_F(EndToEndTest, AUtilityIsLaunchedAndWaitedFor) {
    RV_SKIP_WHERE_BUILT_PROGRAMS_CANNOT_START();
    const drive::Verdict verdict = technician.Other(folder.path().string());
    EXPECT_TRUE(verdict.ok) << verdict.detail;
}

}  // namespace

// The Other page in the real main dialog, launching real child programs from a temporary
// application directory.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/app_dir.h"
#include "pages/other_page.h"
#include "platform/win/text.h"
#include "tests/pages/dialog_fixture.h"
#include "tests/support/emulation.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using rvtest::WaitUntil;

const std::string kFallback =
    "\xE5\xBA\x94\xE7\x94\xA8\xE7\xA8\x8B\xE5\xBA\x8F\xE6\x89\x93\xE5\x8C\x85";  // 应用程序打包

class OtherPageTest : public pagetest::DialogTest {
protected:
    void SetUp() override {
        UseAppDir(apps.path());  // before the COM2 reader starts, which reads it
        Open();
        ClickTab(4);
    }
    void UseAppDir(const fs::path& dir) {
        RecordAppDir(FromPosixPath((dir / "RV4417Test").string()));
    }
    // A program that notes the path it was started as, then runs for a while.
    void Program(const std::string& relative, double seconds = 0.2) {
        const fs::path file = apps.Write(relative, "#!/bin/sh\necho \"$0\" >> " + Log().string() +
                                                       "\nsleep " + std::to_string(seconds) + "\n");
        chmod(file.c_str(), 0755);
    }
    fs::path Log() const { return apps.path() / "launched.log"; }
    std::vector<std::string> Launched() const {
        std::ifstream in(Log());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    std::string At(const std::string& relative) const {
        return apps.path().string() + "/" + relative;
    }
    bool MainVisible() { return ::IsWindowVisible(dlg.m_hWnd) != FALSE; }

    rvtest::TempDir apps;
};

TEST_F(OtherPageTest, EachButtonLaunchesItsProgramWithTwoSeparatorsAfterTheFolder) {
    const std::vector<std::pair<int, std::string>> buttons = {{IDC_CAMERA, "SnapTool.exe"},
                                                              {IDC_POWER_GAUGE, "PowerGauge.exe"},
                                                              {IDC_BACK_LIGHT, "LampDimmer.exe"},
                                                              {IDC_LINK_CONFIG, "LinkConfig.exe"},
                                                              {IDC_RADIO_PROBE, "Radio Probe.exe"}};
    std::vector<std::string> expected;
    for (const auto& [id, file] : buttons) {
        Program(file);
        Click(dlg.m_pageOther, id);
        expected.push_back(At("/" + file));  // the directory's own separator, and one more
        EXPECT_EQ(Launched(), expected);
        EXPECT_TRUE(MainVisible());
    }
}

TEST_F(OtherPageTest, TheFallbackIsTriedOnlyWhenTheFirstFileIsMissing) {
    Program(kFallback + "/PowerGauge.exe");
    Click(dlg.m_pageOther, IDC_POWER_GAUGE);
    EXPECT_EQ(Launched(), std::vector<std::string>{At("/" + kFallback + "/PowerGauge.exe")});

    Program("PowerGauge.exe");  // now in both places: only the first
    Click(dlg.m_pageOther, IDC_POWER_GAUGE);
    EXPECT_EQ(Launched().back(), At("/PowerGauge.exe"));
    EXPECT_EQ(Launched().size(), 2u);

    Program("Radio probe test/Radio Probe.exe");
    Click(dlg.m_pageOther, IDC_RADIO_PROBE);
    EXPECT_EQ(Launched().back(), At("/Radio probe test/Radio Probe.exe"));

    Program(kFallback + "/SnapTool.exe");  // the camera has no fallback
    Click(dlg.m_pageOther, IDC_CAMERA);
    EXPECT_EQ(Launched().size(), 3u);
}

TEST_F(OtherPageTest, AMissingProgramLaunchesNothingAndNeverHidesTheWindow) {
    const rvtest::Visibility main(rvtest::WidgetOf(dlg.m_hWnd));
    Click(dlg.m_pageOther, IDC_LINK_CONFIG);
    EXPECT_EQ(main.Hidden(), 0);
    EXPECT_TRUE(Launched().empty());
    EXPECT_TRUE(MainVisible());
}

TEST_F(OtherPageTest, APathTooLongForTheSystemCountsAsMissing) {
    const fs::path deep = apps.path() / std::string(150, 'd') / std::string(120, 'e');
    fs::create_directories(deep);
    const fs::path file = deep / "SnapTool.exe";
    std::ofstream(file) << "#!/bin/sh\necho \"$0\" >> " << Log().string() << "\n";
    chmod(file.c_str(), 0755);
    UseAppDir(deep);
    Click(dlg.m_pageOther, IDC_CAMERA);
    EXPECT_TRUE(Launched().empty());
}

TEST_F(OtherPageTest, TheWindowHidesWhileTheChildRunsAndCom0KeepsReaching) {
    Program("SnapTool.exe", 1.0);
    const rvtest::Visibility main(rvtest::WidgetOf(dlg.m_hWnd));
    std::atomic<bool> done{false};
    std::atomic<bool> shownWhileHidden{false};
    std::thread device([&] {
        // Window calls from here are served while the user-interface thread waits.
        for (int i = 0; i < 200 && MainVisible(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        com0.Send("during");
        for (int i = 0; i < 100 && !shownWhileHidden; ++i) {
            CString text;
            dlg.m_pagePrinter.m_recvEdit.GetWindowText(text);
            shownWhileHidden = text == _T("during") && !MainVisible();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        done = true;
    });
    Click(dlg.m_pageOther, IDC_CAMERA);  // returns when the child has ended
    EXPECT_TRUE(MainVisible());
    EXPECT_EQ(main.Hidden(), 1);
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }));  // a plain join would not serve it
    device.join();
    EXPECT_TRUE(shownWhileHidden);
    EXPECT_EQ(Launched().size(), 1u);
}

TEST_F(OtherPageTest, TheBuiltStandInsSitWhereThePageLooks) {
    UseAppDir(RV_BINARY_DIR);
    for (const char* name : {"/SnapTool.exe", "/Radio Probe.exe"}) {
        EXPECT_TRUE(FileExists(FromPosixPath(std::string(RV_BINARY_DIR) + name)));
    }
    for (const char* name : {"/PowerGauge.exe", "/LampDimmer.exe", "/LinkConfig.exe"}) {
        EXPECT_TRUE(FileExists(FromPosixPath(RV_BINARY_DIR "/" + kFallback + name)));
    }
    // A stand-in runs (it notes its name) and ends by itself; the page comes back.
    RV_SKIP_WHERE_BUILT_PROGRAMS_CANNOT_START();
    setenv("RV4417_UTILITY_CLOSE_MS", "100", 1);
    setenv("RV4417_UTILITY_LOG", Log().c_str(), 1);
    Click(dlg.m_pageOther, IDC_BACK_LIGHT);
    unsetenv("RV4417_UTILITY_LOG");
    unsetenv("RV4417_UTILITY_CLOSE_MS");
    EXPECT_TRUE(MainVisible());
    EXPECT_EQ(Launched(), std::vector<std::string>{"LampDimmer"});
}

}  // namespace

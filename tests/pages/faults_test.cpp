// The tool next to hardware that misbehaves: ports that vanish and come back, a port that
// takes nothing, a control device that never answers, sounds that cannot play, utilities that
// cannot start, files that cannot be read or change while they are sent.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/app_dir.h"
#include "io/port.h"
#include "pages/send_file.h"
#include "platform/win/text.h"
#include "tests/pages/dialog_fixture.h"
#include "tests/support/alsa_sink.h"
#include "tests/support/process_stats.h"
#include "tools/sim/control_device.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using rvtest::WaitUntil;

// The share of one core the whole process used while the event loop ran for a second. A
// reader that spins on a dead port takes a core to itself.
double CoreShareOverASecond() {
    const double before = rvtest::RusageCpuSeconds();
    const auto start = Clock::now();
    rvtest::Pump(1000);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return (rvtest::RusageCpuSeconds() - before) / wall;
}

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

class FaultsTest : public pagetest::DialogTest {
protected:
    CString Box(const CWnd& page) { return Text(page, IDC_RECV); }
};

TEST_F(FaultsTest, VanishedPortsCostNothingAndTheToolStaysResponsive) {
    Open();
    devices.Unplug("COM0");
    devices.Unplug("COM2");
    com0.Hangup();
    com2.Hangup();
    EXPECT_LT(CoreShareOverASecond(), 0.5);
    const auto start = Clock::now();
    Click(dlg.m_pagePrinter, IDC_SEND);  // gives up at once: the port is gone
    EXPECT_LT(ElapsedMs(start), 1000);
    Click(dlg.m_pagePrinter, IDC_CLEAR_SEND);
    EXPECT_EQ(Text(dlg.m_pagePrinter, IDC_SEND_TEXT), _T(""));
    ClickTab(3);
    Click(dlg.m_pageBarcode, IDC_SCAN);
    dlg.DestroyWindow();  // and closes cleanly
    EXPECT_EQ(dlg.m_recvThread.load(), nullptr);
    EXPECT_EQ(dlg.m_pageBarcode.m_recvThread.load(), nullptr);
}

TEST_F(FaultsTest, PortsPluggedBackInAreTakenUpAgainWithoutARestart) {
    Open();
    devices.Unplug("COM0");
    devices.Unplug("COM2");
    com0.Hangup();
    com2.Hangup();
    rvtest::Pump(200);
    sim::PseudoTerminal com0again;
    sim::PseudoTerminal com2again;
    devices.Link("COM0", com0again.SlavePath());
    devices.Link("COM2", com2again.SlavePath());
    com0again.Send("after");
    EXPECT_TRUE(WaitUntil([&] { return Box(dlg.m_pagePrinter) == _T("after"); }));
    Click(dlg.m_pagePrinter, IDC_SEND);
    EXPECT_EQ(com0again.Receive(19, 2000), "This is a sample!\r\n");
    const termios t = com0again.SlaveSettings();
    EXPECT_TRUE((t.c_iflag & IXON) && (t.c_iflag & IXOFF));  // COM0's own settings again
    com2again.Send("12345\r\n");
    EXPECT_TRUE(WaitUntil([&] { return Box(dlg.m_pageBarcode) == _T("12345\r\n"); }));
}

TEST_F(FaultsTest, APortThatTakesNothingHoldsNothingForLong) {
    Open();
    com0.Send("\x13");  // XOFF, for good
    auto start = Clock::now();
    Click(dlg.m_pagePrinter, IDC_SEND);
    EXPECT_LT(ElapsedMs(start), 5000);  // within the write bound
    SetText(dlg.m_pagePrinter, IDC_INTERVAL, _T("20"));
    Click(dlg.m_pagePrinter, IDC_AUTO_SEND);
    rvtest::Pump(300);
    Click(dlg.m_pagePrinter, IDC_AUTO_SEND);
    start = Clock::now();
    EXPECT_TRUE(
        WaitUntil([&] { return Text(dlg.m_pagePrinter, IDC_AUTO_SEND) == _T("Auto Send"); }, 8000));
    EXPECT_LT(ElapsedMs(start), 8000);
    Click(dlg.m_pagePrinter, IDC_AUTO_SEND);  // running again when the window closes
    rvtest::Pump(100);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_pagePrinter.m_autoSendThread.load(), nullptr);
}

TEST_F(FaultsTest, AControlDeviceThatNeverAnswersCostsASecondARequest) {
    sim::ControlDeviceServer silent(
        devices.Entry("GPR1"), [](std::uint32_t) { return sim::ControlDeviceServer::kNoAnswer; });
    Open();  // stop and enable: a second each
    ClickTab(3);
    const auto start = Clock::now();
    Click(dlg.m_pageBarcode, IDC_SCAN);
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_TRUE(silent.WaitForCodes(3, 100));
    com2.Send("77\r\n");  // the page goes on
    EXPECT_TRUE(WaitUntil([&] { return Box(dlg.m_pageBarcode) == _T("77\r\n"); }));
}

TEST_F(FaultsTest, SoundsThatCannotPlayNeitherHangNorStopTheCodes) {
    rvtest::AlsaNoDevice noSound;
    rvtest::TempDir apps;
    apps.Write("LaserScanOk.wav", "RIFF, and then not a sound at all");
    RecordAppDir(FromPosixPath((apps.path() / "RV4417Test").string()));
    Open();
    com2.Send("1\r\n2\n3\r");
    EXPECT_TRUE(WaitUntil([&] { return Box(dlg.m_pageBarcode) == _T("1\r\n2\r\n3\r\n"); }, 3000));
}

TEST_F(FaultsTest, AUtilityThatCannotStartHidesTheToolOnlyForAMoment) {
    rvtest::TempDir apps;
    RecordAppDir(FromPosixPath((apps.path() / "RV4417Test").string()));
    apps.Write("SnapTool.exe", "#!/bin/sh\necho not executable\n");  // no execute permission
    const fs::path broken = apps.Write("LinkConfig.exe",
                                       "\x7F"
                                       "ELF but not really");
    chmod(broken.c_str(), 0755);
    Open();
    ClickTab(4);
    for (const int button : {IDC_CAMERA, IDC_LINK_CONFIG}) {
        const auto start = Clock::now();
        Click(dlg.m_pageOther, button);
        EXPECT_LT(ElapsedMs(start), 2000);
        EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
    }
}

TEST_F(FaultsTest, AFileThatCannotBeOpenedSendsNothing) {
    rvtest::TempDir dir;
    const fs::path path = dir.Write("busy.bin", "held by someone else");
    CFile holder;
    ASSERT_TRUE(holder.Open(FromPosixPath(path.string()), CFile::modeRead | CFile::shareExclusive));
    Open();
    rvtest::FileDialogs answer(QString::fromStdString(path.string()));
    Click(dlg.m_pagePrinter, IDC_SEND_FILE);  // returns once a send would have ended
    EXPECT_EQ(answer.Shown(), 1);
    Click(dlg.m_pagePrinter, IDC_SEND);
    // The port's first bytes are the sample's: nothing of the file went before them.
    EXPECT_EQ(com0.Receive(19, 2000), "This is a sample!\r\n");
}

class FileSendTest : public testing::Test {
protected:
    void SetUp() override {
        devices.Link("COM0", com0.SlavePath());
        port = OpenPort(_T("COM0:"));
        ConfigurePort(port, kCom0Profile);
        DCB dcb{};
        GetCommState(port, &dcb);
        dcb.fOutX = 0;  // the files hold any bytes
        dcb.fInX = 0;
        SetCommState(port, &dcb);
    }
    void TearDown() override { CloseHandle(port); }
    CString PathView(const fs::path& p) { return FromPosixPath(p.string()); }
    static std::string Content(size_t size, char seed) {
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i) {
            content[i] = static_cast<char>(seed + i * 7 % 251);
        }
        return content;
    }
    // The device reads slowly; at some point it changes the file under the sender.
    std::string ReceiveWhile(size_t changeAt, const std::function<void()>& change) {
        std::string received;
        bool changed = false;
        for (int idle = 0; idle < 10;) {
            const std::string part = com0.Receive(4096, 100);
            idle = part.empty() ? idle + 1 : 0;
            received += part;
            if (!changed && received.size() >= changeAt) {
                change();
                changed = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return received;
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    rvtest::TempDir dir;
    std::atomic<HANDLE> port{nullptr};
};

TEST_F(FileSendTest, AFileThatShrinksGoesOutAsAPrefixAndOneThatGrowsGoesOutWhole) {
    const std::string original = Content(400000, 'a');
    const fs::path shrinking = dir.Write("shrinking.bin", original);
    CFile file;
    ASSERT_TRUE(file.Open(PathView(shrinking), CFile::modeRead));
    std::string received;
    std::thread device(
        [&] { received = ReceiveWhile(64 * 1024, [&] { fs::resize_file(shrinking, 100000); }); });
    SendFile(file, &port, nullptr);
    device.join();
    file.Close();
    EXPECT_LT(received.size(), original.size());
    EXPECT_TRUE(received == original.substr(0, received.size()));

    const std::string first = Content(100000, 'b');
    const std::string more = Content(50000, 'c');
    const fs::path growing = dir.Write("growing.bin", first);
    ASSERT_TRUE(file.Open(PathView(growing), CFile::modeRead));
    std::thread device2([&] {
        received = ReceiveWhile(
            30000, [&] { std::ofstream(growing, std::ios::app | std::ios::binary) << more; });
    });
    SendFile(file, &port, nullptr);
    device2.join();
    EXPECT_TRUE(received == first + more);
}

}  // namespace

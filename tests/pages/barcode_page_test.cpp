// The Barcode page in the real main dialog: COM2 a pseudo-terminal, GPR1 a socket control
// device recording the codes, the sound played into an ALSA file sink.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>

#include "app/app_dir.h"
#include "platform/afx/testing.h"
#include "platform/win/text.h"
#include "tests/pages/dialog_fixture.h"
#include "tests/support/alsa_sink.h"
#include "tools/sim/control_device.h"

namespace {

using rvtest::WaitUntil;
using Codes = std::vector<std::uint32_t>;

constexpr std::uint32_t kStop = 500;
constexpr std::uint32_t kEnable = 100;
constexpr std::uint32_t kTrigger = 200;
constexpr std::uint32_t kDisable = 150;
constexpr int kSoundFrames = 400;
// The scan's time-out where a test runs the timers 20 times faster.
constexpr int kScaledTimeoutMs = CBarcodePage::kScanTimeoutMs / 20;

class BarcodePageTest : public pagetest::DialogTest {
protected:
    void SetUp() override {
        // The confirmation sound in a folder of its own, as the application directory.
        std::vector<short> samples(kSoundFrames);
        for (int i = 0; i < kSoundFrames; ++i) {
            samples[i] = static_cast<short>((i * 97) % 2000 - 1000);
        }
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open((appDir.path() / "LaserScanOk.wav").c_str(), SFM_WRITE, &info);
        sf_writef_short(file, samples.data(), kSoundFrames);
        sf_close(file);
        RecordAppDir(FromPosixPath((appDir.path() / "RV4417Test").string()));
    }
    void TearDown() override {
        DialogTest::TearDown();
        AfxScaleTimersForTesting(1);
    }
    CBarcodePage& page() { return dlg.m_pageBarcode; }
    CString Box() { return Text(page(), IDC_RECV); }
    Codes CodesSinceStart() {
        const Codes all = gpr1.Codes();
        return Codes(all.begin() + std::min<size_t>(2, all.size()), all.end());
    }
    size_t SoundsPlayed() { return sink.Played().size() / (kSoundFrames * sizeof(short)); }
    // Waits for the control device's codes while the event loop runs (timers fire).
    bool CodesArrive(size_t count, int timeoutMs = 3000) {
        return WaitUntil([&] { return gpr1.Codes().size() >= count; }, timeoutMs);
    }

    rvtest::TempDir appDir;
    rvtest::AlsaFileSink sink;
    sim::ControlDeviceServer gpr1{devices.Entry("GPR1"), [](std::uint32_t) { return 1; }};
};

TEST_F(BarcodePageTest, StartUpStopsAndEnablesTheScanner) {
    Open();
    EXPECT_TRUE(CodesArrive(2));
    EXPECT_EQ(gpr1.Codes(), (Codes{kStop, kEnable}));
    EXPECT_NE(page().m_recvThread.load(), nullptr);
}

TEST_F(BarcodePageTest, WithoutCom2ItSaysSoOnceAndStillDrivesTheScanner) {
    rvtest::MessageBoxes boxes(IDOK);
    Open(true, false);
    EXPECT_EQ(boxes.Texts(), QStringList{"Open COM2: Filed!"});
    EXPECT_EQ(gpr1.Codes(), (Codes{kStop, kEnable}));
    EXPECT_EQ(page().m_recvThread.load(), nullptr);
    Click(page(), IDC_SCAN);
    Click(page(), IDC_CANCEL_SCAN);
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kStop}));
}

TEST_F(BarcodePageTest, EveryLineEndStopsTheScannerPlaysTheSoundAndBreaksTheLine) {
    Open();
    ASSERT_TRUE(CodesArrive(2));
    com2.Send("123\r\n");
    ASSERT_TRUE(WaitUntil([&] { return Box() == _T("123\r\n") && SoundsPlayed() == 2; }));
    EXPECT_EQ(CodesSinceStart(), (Codes{kStop, kStop}));
    com2.Send("456\r");
    ASSERT_TRUE(WaitUntil([&] { return Box() == _T("123\r\n456\r\n") && SoundsPlayed() == 3; }));
    com2.Send("789\n");  // LF alone: its own line too
    ASSERT_TRUE(
        WaitUntil([&] { return Box() == _T("123\r\n456\r\n789\r\n") && SoundsPlayed() == 4; }));
    EXPECT_EQ(CodesSinceStart(), (Codes{kStop, kStop, kStop, kStop}));
    // The sound is the file's own samples, played whole each time.
    const std::string played = sink.Played();
    EXPECT_EQ(played.substr(0, played.size() / 4), played.substr(3 * played.size() / 4));
    int start = 0;
    int end = 0;
    EXPECT_TRUE(WaitUntil([&] {
        page().m_recvEdit.GetSel(start, end);
        return end == Box().GetLength() && start == end - 1;  // the last character selected
    }));
}

TEST_F(BarcodePageTest, BytesShowAsTheirOwnCharactersAndAZeroAddsNothing) {
    Open();
    com2.Send(std::string("A\xE9\0B", 4));
    ASSERT_TRUE(WaitUntil([&] { return Box().GetLength() == 3; }));
    EXPECT_EQ(Box(), _T("A\u00E9B"));
}

TEST_F(BarcodePageTest, ScanTimesOutOnceUnlessAByteComes) {
    AfxScaleTimersForTesting(20);  // ten seconds in half of one
    Open();
    ASSERT_TRUE(CodesArrive(2));
    Click(page(), IDC_SCAN);
    ASSERT_TRUE(CodesArrive(4));
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kStop}));
    EXPECT_FALSE(page().KillTimer(CBarcodePage::kScanTimer));  // gone: it cannot stop again

    Click(page(), IDC_SCAN);
    com2.Send(std::string(1, '\0'));  // a zero byte: nothing to show, but the time-out ends
    // A loop that ends after the time-out falls due serves the time-out first.
    rvtest::RunLoop(kScaledTimeoutMs + 100);
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kStop, kTrigger}));
    EXPECT_EQ(Box(), _T(""));
}

TEST_F(BarcodePageTest, CancelStopsAtOnceAndTheTimerStopsAgain) {
    AfxScaleTimersForTesting(20);
    Open();
    ASSERT_TRUE(CodesArrive(2));
    Click(page(), IDC_SCAN);
    Click(page(), IDC_CANCEL_SCAN);
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kStop}));
    ASSERT_TRUE(CodesArrive(5));
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kStop, kStop}));
}

TEST_F(BarcodePageTest, ASecondScanRestartsTheTimeOut) {
    AfxScaleTimersForTesting(20);
    Open();
    ASSERT_TRUE(CodesArrive(2));
    Click(page(), IDC_SCAN);
    rvtest::RunLoop(200);
    const auto second = std::chrono::steady_clock::now();
    Click(page(), IDC_SCAN);
    ASSERT_TRUE(CodesArrive(5));
    // The first scan's time-out would have come 300 ms after the second scan; timers are
    // never early.
    EXPECT_GE(std::chrono::steady_clock::now() - second,
              std::chrono::milliseconds(kScaledTimeoutMs - 50));
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kTrigger, kStop}));
    EXPECT_FALSE(page().KillTimer(CBarcodePage::kScanTimer));
}

TEST_F(BarcodePageTest, TheRealTimeOutIsTenSeconds) {
    Open();
    ASSERT_TRUE(CodesArrive(2));
    const auto start = std::chrono::steady_clock::now();
    Click(page(), IDC_SCAN);
    ASSERT_TRUE(WaitUntil([&] { return gpr1.Codes().size() == 4; }, 15000));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(9900));
    EXPECT_EQ(CodesSinceStart(), (Codes{kTrigger, kStop}));
}

TEST_F(BarcodePageTest, ClearDuringAScanStartsTheTextAgain) {
    Open();
    Click(page(), IDC_SCAN);
    com2.Send("12");
    ASSERT_TRUE(WaitUntil([&] { return Box() == _T("12"); }));
    Click(page(), IDC_CLEAR);
    EXPECT_EQ(Box(), _T(""));
    com2.Send("34\r\n");
    ASSERT_TRUE(WaitUntil([&] { return Box() == _T("34\r\n"); }));
}

TEST_F(BarcodePageTest, ClosingStopsAndDisablesTheScannerAndEndsTheReader) {
    Open();
    ASSERT_TRUE(CodesArrive(2));
    com2.Send("99\r\n");
    dlg.DestroyWindow();
    EXPECT_EQ(page().m_recvThread.load(), nullptr);
    const Codes codes = gpr1.Codes();
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(Codes(codes.end() - 2, codes.end()), (Codes{kStop, kDisable}));
}

}  // namespace

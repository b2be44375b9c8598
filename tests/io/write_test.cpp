// WriteBytes and WriteText against a pseudo-terminal set up as COM0.
#include "io/write.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "io/port.h"
#include "tests/support/device_dir.h"
#include "tests/support/elapsed.h"
#include "tools/sim/pty.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

using rvtest::ElapsedMs;

class WriteTest : public testing::Test {
protected:
    void SetUp() override {
        devices.Link("COM0", line.SlavePath());
        port = OpenPort(_T("COM0:"));
        ASSERT_TRUE(IsPortOpen(port));
        ConfigurePort(port, kCom0Profile);
    }
    void TearDown() override { CloseHandle(port); }

    std::string Sent() { return line.Receive(0, 200); }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
    HANDLE port = nullptr;
};

TEST_F(WriteTest, TextGoesOutInCodePage936) {
    WriteText(port, _T("AB"), 2);
    EXPECT_EQ(Sent(), "AB");
    WriteText(port, _T("中"), 1);
    EXPECT_EQ(Sent(), "\xD6\xD0");
    WriteText(port, _T("This is a sample!\r\n"), 19);
    EXPECT_EQ(Sent(), "This is a sample!\r\n");
    WriteText(port, _T("a\u0E01b"), 3);  // a character the code page lacks is not the end
    EXPECT_EQ(Sent(), "a?b");
    WriteText(port, _T("AB"), 1);  // the count sent comes from the text
    EXPECT_EQ(Sent(), "AB");
}

TEST_F(WriteTest, NothingIsWrittenForAnEmptyTextALengthBelowOneOrAPortThatIsNotOpen) {
    const BYTE bytes[] = {0x1B, 0x40};
    const auto start = Clock::now();
    WriteText(port, _T(""), 1);
    WriteText(port, _T("AB"), 0);
    WriteBytes(port, bytes, 0);
    WriteBytes(port, bytes, -5);
    for (HANDLE closed : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        WriteBytes(closed, bytes, 2);
        WriteText(closed, _T("AB"), 2);
    }
    EXPECT_LT(ElapsedMs(start), 500);  // no retrying, no waiting
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(WriteBytesCounted(INVALID_HANDLE_VALUE, bytes, 2), 0);
    EXPECT_EQ(WriteBytesCounted(port, bytes, 2), 2);
    EXPECT_EQ(Sent(), "\x1B\x40");
}

TEST_F(WriteTest, APortThatAcceptsOnlyPartGetsTheRestInOrderWithoutRepeats) {
    // Short write time-outs, a slow reader: most calls are partial and are retried.
    COMMTIMEOUTS t{10, 10, 10, 0, 20};
    ASSERT_TRUE(SetCommTimeouts(port, &t));
    DCB dcb{};
    GetCommState(port, &dcb);
    dcb.fOutX = 0;  // the pattern holds XON/XOFF bytes; they are data here
    dcb.fInX = 0;
    SetCommState(port, &dcb);

    std::string pattern(300000, '\0');
    std::mt19937 random(7);
    for (char& c : pattern) {
        c = static_cast<char>(random());
    }
    std::string received;
    std::thread device([&] {
        while (received.size() < pattern.size()) {
            const std::string part = line.Receive(4096, 1000);
            if (part.empty()) {
                break;
            }
            received += part;
            std::this_thread::sleep_for(milliseconds(2));
        }
    });
    WriteBytes(port, reinterpret_cast<const BYTE*>(pattern.data()),
               static_cast<int>(pattern.size()));
    device.join();
    ASSERT_EQ(received.size(), pattern.size());
    EXPECT_TRUE(received == pattern);
}

TEST_F(WriteTest, APortThatAcceptsNothingIsGivenUpAfterTwoSecondsWithoutProgress) {
    line.Send("\x13!");               // XOFF, and no XON
    ASSERT_TRUE(line.WaitUnread(1));  // the byte after it is in: the XOFF has taken effect
    const auto start = Clock::now();
    const BYTE bytes[] = {'a', 'b'};
    EXPECT_EQ(WriteBytesCounted(port, bytes, 2), 0);  // nothing went out: the caller can tell
    const long ms = ElapsedMs(start);
    EXPECT_GE(ms, kWriteStallMs);
    EXPECT_LT(ms, 3 * kWriteStallMs);
    line.Send("\x11");  // XON: the rest was dropped, nothing is left to come
    EXPECT_EQ(line.Receive(0, 300), "");
}

TEST_F(WriteTest, APortThatHasGoneIsGivenUpAtOnce) {
    devices.Unplug("COM0");
    line.Hangup();
    const auto start = Clock::now();
    const BYTE bytes[] = {1, 2, 3};
    WriteBytes(port, bytes, 3);
    WriteText(port, _T("AB"), 2);
    EXPECT_LT(ElapsedMs(start), 500);
}

}  // namespace

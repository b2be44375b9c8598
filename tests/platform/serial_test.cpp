// Serial ports on real pseudo-terminals: the test plays the device through the master.
#include "platform/win/serial.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win/device.h"
#include "platform/win/error.h"
#include "platform/win/file.h"
#include "tests/support/blocked.h"
#include "tests/support/device_dir.h"
#include "tests/support/elapsed.h"
#include "tools/sim/pty.h"

namespace {

using Clock = std::chrono::steady_clock;
using rvtest::ElapsedMs;
using std::chrono::milliseconds;

class SerialTest : public testing::Test {
protected:
    void SetUp() override {
        devices.Link("COM0", line.SlavePath());
        port = CreateFileW(_T("COM0:"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
        ASSERT_NE(port, INVALID_HANDLE_VALUE);
    }
    void TearDown() override { CloseHandle(port); }

    void SetTimeouts(DWORD interval, DWORD multiplier, DWORD constant, DWORD writeMultiplier = 0,
                     DWORD writeConstant = 0) {
        COMMTIMEOUTS t{interval, multiplier, constant, writeMultiplier, writeConstant};
        ASSERT_TRUE(SetCommTimeouts(port, &t));
    }

    std::string Read(DWORD size, BOOL* ok = nullptr) {
        std::string buf(size, '\0');
        DWORD got = 0;
        const BOOL result = ReadFile(port, buf.data(), size, &got, nullptr);
        if (ok) {
            *ok = result;
        }
        buf.resize(got);
        return buf;
    }

    // Sends flow control (XOFF, XON) and returns once the line has taken it: the port reads
    // the marker sent after it (the read time-outs must allow for it).
    void SendFlowControl(const char* control) {
        line.Send(std::string(control) + "!");
        ASSERT_EQ(Read(1), "!");
    }

    // Output under XON/XOFF with the write time-outs given, then held off by an XOFF.
    void HoldOffWrites(DWORD writeMultiplier, DWORD writeConstant) {
        DCB dcb{};
        ASSERT_TRUE(GetCommState(port, &dcb));
        dcb.fOutX = 1;
        ASSERT_TRUE(SetCommState(port, &dcb));
        SetTimeouts(10, 0, 5000, writeMultiplier, writeConstant);
        SendFlowControl("\x13");  // XOFF
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
    HANDLE port = INVALID_HANDLE_VALUE;
};

TEST_F(SerialTest, SettingsRoundTripThroughTermiosAndKeepWhatTermiosCannotSay) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(port, &dcb));
    dcb.BaudRate = CBR_19200;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    dcb.fTXContinueOnXoff = 1;
    dcb.fNull = 1;
    dcb.fAbortOnError = 1;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;  // a pseudo-terminal refuses the lines: no error
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.XonLim = 100;
    dcb.EvtChar = 0x7E;
    ASSERT_TRUE(SetCommState(port, &dcb));

    // A pseudo-terminal keeps speed, stop bits and flow control, but forces 8 bits, no parity.
    const termios t = line.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE((t.c_iflag & IXON) && (t.c_iflag & IXOFF));
    EXPECT_FALSE(t.c_lflag & (ECHO | ICANON | ISIG));

    DCB back{};
    ASSERT_TRUE(GetCommState(port, &back));
    EXPECT_EQ(back.BaudRate, CBR_19200);
    EXPECT_EQ(back.ByteSize, 7);
    EXPECT_EQ(back.Parity, EVENPARITY);
    EXPECT_EQ(back.StopBits, TWOSTOPBITS);
    EXPECT_EQ(GetDcbFlags(back), GetDcbFlags(dcb));
    EXPECT_EQ(back.XonLim, 100);
    EXPECT_EQ(back.EvtChar, 0x7E);
}

TEST_F(SerialTest, FlagWordIsTheThirdWordOfTheRecord) {
    DCB dcb{};
    dcb.fOutX = 1;
    EXPECT_EQ(GetDcbFlags(dcb), 0x0100u);
    SetDcbFlags(dcb, 0x3000 | 0x0030 | 0x0001);
    EXPECT_EQ(dcb.fRtsControl, 3u);
    EXPECT_EQ(dcb.fDtrControl, 3u);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fOutX, 0u);

    // The named bits sit where the compiler put the fields.
    struct Field {
        const char* name;
        void (*set)(DCB&);
        DWORD bits;
    };
    // One entry a field: its name, setting only that field to all ones, and its bits.
    // clang-format off
#define RV_FIELD(name, ones) Field{#name, [](DCB& d) { d.name = ones; }, dcb_flags::name}
    // clang-format on
    const Field fields[] = {
        RV_FIELD(fBinary, 1),           RV_FIELD(fParity, 1),     RV_FIELD(fOutxCtsFlow, 1),
        RV_FIELD(fOutxDsrFlow, 1),      RV_FIELD(fDtrControl, 3), RV_FIELD(fDsrSensitivity, 1),
        RV_FIELD(fTXContinueOnXoff, 1), RV_FIELD(fOutX, 1),       RV_FIELD(fInX, 1),
        RV_FIELD(fErrorChar, 1),        RV_FIELD(fNull, 1),       RV_FIELD(fRtsControl, 3),
        RV_FIELD(fAbortOnError, 1),
    };
#undef RV_FIELD
    for (const Field& field : fields) {
        DCB one{};
        field.set(one);
        EXPECT_EQ(GetDcbFlags(one), field.bits) << field.name;
    }
}

TEST_F(SerialTest, ImpossibleSettingsAreRefusedAndChangeNothing) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(port, &dcb));
    const DCB before = dcb;
    for (auto spoil : {+[](DCB& d) { d.ByteSize = 9; }, +[](DCB& d) { d.Parity = 5; },
                       +[](DCB& d) { d.StopBits = 3; }, +[](DCB& d) { d.BaudRate = 12345; },
                       +[](DCB& d) { d.XonChar = d.XoffChar; }}) {
        DCB bad = before;
        spoil(bad);
        EXPECT_FALSE(SetCommState(port, &bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    ASSERT_TRUE(GetCommState(port, &dcb));
    EXPECT_EQ(dcb.BaudRate, before.BaudRate);
    EXPECT_EQ(dcb.ByteSize, before.ByteSize);
    EXPECT_FALSE(GetCommState(nullptr, &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(SerialTest, PortIsRawFromTheMomentItOpens) {
    CloseHandle(port);
    termios cooked = line.SlaveSettings();  // as a fresh terminal line would be
    cooked.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
    cooked.c_iflag |= ICRNL;
    cooked.c_oflag |= OPOST | ONLCR;
    line.SetSlaveSettings(cooked);
    port = CreateFileW(_T("COM0:"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    line.Send("line\r\n\x03");
    SetTimeouts(10, 10, 10);
    EXPECT_EQ(Read(50), "line\r\n\x03");  // no translation, no signal character
    EXPECT_EQ(line.Receive(0, 100), "");  // and no echo
}

TEST_F(SerialTest, ReadWaitsThroughShortGapsAndEndsAtTheIntervalAfterTheLastByte) {
    SetTimeouts(200, 0, 0);
    std::thread device([&] {
        for (int i = 0; i < 4; ++i) {
            line.Send("abcde");
            std::this_thread::sleep_for(milliseconds(5));
        }
        std::this_thread::sleep_for(milliseconds(700));
        line.Send("late");
    });
    EXPECT_EQ(Read(50), "abcdeabcdeabcdeabcde");  // one read, not ended by an empty queue
    EXPECT_EQ(Read(50), "late");                  // the long gap ended the first read
    device.join();
}

TEST_F(SerialTest, ReadEndsWhenTheRequestIsFilledAndWhenTheTotalTimeoutPasses) {
    SetTimeouts(10, 10, 10);  // the tool's own: 510 ms in all for 50 bytes
    line.Send(std::string(60, 'x'));
    EXPECT_EQ(Read(50).size(), 50u);
    EXPECT_EQ(Read(50).size(), 10u);

    const auto start = Clock::now();
    BOOL ok = FALSE;
    EXPECT_EQ(Read(50, &ok), "");
    EXPECT_TRUE(ok);  // an idle read succeeds with 0 bytes
    EXPECT_GE(ElapsedMs(start), 505);
    EXPECT_LT(ElapsedMs(start), 5000);
}

TEST_F(SerialTest, PurgeDiscardsWhatWasQueued) {
    SetTimeouts(10, 0, 5000);
    line.Send("stale");
    ASSERT_EQ(Read(1), "s");  // the rest of the burst has arrived with it
    ASSERT_TRUE(PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR));
    line.Send("fresh");
    EXPECT_EQ(Read(50), "fresh");
}

TEST_F(SerialTest, VanishedPeerFailsReadsAndWritesAtOnce) {
    SetTimeouts(10, 10, 10, 50, 100);
    devices.Unplug("COM0");
    line.Hangup();  // the line's queue goes with it, as when an adapter is pulled
    for (int i = 0; i < 3; ++i) {
        BOOL ok = TRUE;
        const auto start = Clock::now();
        EXPECT_EQ(Read(50, &ok), "");
        EXPECT_FALSE(ok);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
        EXPECT_LT(ElapsedMs(start), 500);  // it does not wait for the time-out, 510 ms
    }
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(port, "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
}

TEST_F(SerialTest, ClosingTheHandleEndsABlockedReadOnAnotherThread) {
    SetTimeouts(0, 0, 0);  // wait until filled: for ever here
    BOOL ok = TRUE;
    DWORD error = 0;
    std::atomic<pid_t> id{0};
    std::thread reader([&] {
        id = gettid();
        char buf[8];
        DWORD got = 0;
        ok = ReadFile(port, buf, sizeof buf, &got, nullptr);
        error = GetLastError();
    });
    EXPECT_TRUE(rvtest::WaitUntilBlocked(id));
    EXPECT_TRUE(CloseHandle(port));
    reader.join();
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, ERROR_OPERATION_ABORTED);
    port = INVALID_HANDLE_VALUE;
}

TEST_F(SerialTest, WriteGivesUpAtItsTimeoutWhileFlowIsHeldOffAndResumesAfterXon) {
    HoldOffWrites(10, 100);

    const auto start = Clock::now();
    DWORD written = 99;
    EXPECT_TRUE(WriteFile(port, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_GE(ElapsedMs(start), 195);  // 10 ms x 10 bytes + 100 ms

    SendFlowControl("\x11");  // XON
    EXPECT_TRUE(WriteFile(port, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(written, 10u);
    EXPECT_EQ(line.Receive(10, 2000), "0123456789");
}

}  // namespace

namespace {

TEST_F(SerialTest, AbortEndsAWriteInProgressAndLeavesLaterOnesAlone) {
    HoldOffWrites(1000, 1000);  // a write would wait 11 s
    const std::atomic<pid_t> writer{gettid()};
    std::thread canceller([&] {
        EXPECT_TRUE(rvtest::WaitUntilBlocked(writer));
        PurgeComm(port, PURGE_TXABORT);
    });
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(port, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);  // a time-out would return TRUE
    EXPECT_EQ(written, 0u);
    canceller.join();

    PurgeComm(port, PURGE_TXABORT);  // nothing in progress: nothing to end
    SendFlowControl("\x11");         // XON
    EXPECT_TRUE(WriteFile(port, "ok", 2, &written, nullptr));
    EXPECT_EQ(line.Receive(2, 2000), "ok");
}

}  // namespace

namespace {

TEST_F(SerialTest, APortWhoseDeviceComesBackReattachesWithItsSettings) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(port, &dcb));
    dcb.BaudRate = CBR_19200;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    ASSERT_TRUE(SetCommState(port, &dcb));
    SetTimeouts(10, 10, 10, 50, 100);

    devices.Unplug("COM0");
    line.Hangup();  // the adapter is pulled
    BOOL ok = TRUE;
    EXPECT_EQ(Read(50, &ok), "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_FALSE(WriteFile(port, "x", 1, nullptr, nullptr));

    sim::PseudoTerminal again;  // and plugged in again, under the same name
    devices.Link("COM0", again.SlavePath());
    again.Send("back");
    std::string got;
    for (int i = 0; i < 10 && got.empty(); ++i) {  // the next read attaches
        got = Read(50, &ok);
    }
    EXPECT_EQ(got, "back");
    EXPECT_TRUE(ok);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(port, "hello", 5, &written, nullptr));
    EXPECT_EQ(again.Receive(5, 2000), "hello");
    const termios t = again.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&t), B19200);  // the settings it had
    EXPECT_TRUE((t.c_iflag & IXON) && (t.c_iflag & IXOFF));
    const auto start = Clock::now();
    EXPECT_EQ(Read(50), "");  // and its time-outs: 510 ms in all
    EXPECT_GE(ElapsedMs(start), 505);

    // Still exclusive: nobody else opens it meanwhile.
    EXPECT_EQ(CreateFileW(_T("COM0:"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
}

}  // namespace

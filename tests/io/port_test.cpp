// The port set-up sequence and its two profiles, read back from real pseudo-terminals.
#include "io/port.h"

#include <gtest/gtest.h>

#include "tests/support/device_dir.h"
#include "tools/sim/pty.h"

namespace {

class PortSetupTest : public testing::Test {
protected:
    // A line as some driver left it: 38400 7E2, parity checked, XON/XOFF off.
    void StageDriverSettings(bool ctsRts, bool xonXoff) {
        termios t = line.SlaveSettings();
        cfsetospeed(&t, B38400);
        cfsetispeed(&t, B38400);
        t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | PARENB | CSTOPB;
        t.c_iflag |= INPCK;
        t.c_iflag = xonXoff ? (t.c_iflag | IXON | IXOFF) : (t.c_iflag & ~(IXON | IXOFF));
        t.c_cflag = ctsRts ? (t.c_cflag | CRTSCTS) : (t.c_cflag & ~CRTSCTS);
        line.SetSlaveSettings(t);
    }

    HANDLE SetUp(LPCWSTR name, const PortProfile& profile) {
        HANDLE port = OpenPort(name);
        EXPECT_TRUE(IsPortOpen(port));
        ConfigurePort(port, profile);
        return port;
    }

    static void ExpectFramed9600_8N1(HANDLE port, const termios& t) {
        DCB dcb{};
        ASSERT_TRUE(GetCommState(port, &dcb));
        EXPECT_EQ(dcb.BaudRate, 9600u);
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.Parity, NOPARITY);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.fParity, 0u);
        EXPECT_EQ(dcb.fNull, 0u);
        EXPECT_EQ(cfgetospeed(&t), B9600);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB));
        EXPECT_FALSE(t.c_iflag & INPCK);

        COMMTIMEOUTS to{};
        ASSERT_TRUE(GetCommTimeouts(port, &to));
        EXPECT_EQ(to.ReadIntervalTimeout, 10u);
        EXPECT_EQ(to.ReadTotalTimeoutMultiplier, 10u);
        EXPECT_EQ(to.ReadTotalTimeoutConstant, 10u);
        EXPECT_EQ(to.WriteTotalTimeoutMultiplier, 50u);
        EXPECT_EQ(to.WriteTotalTimeoutConstant, 100u);
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
};

TEST_F(PortSetupTest, Com0RunsXonXoffBothWaysWithTheLinesHeldInactive) {
    StageDriverSettings(false, false);
    devices.Link("COM0", line.SlavePath());
    HANDLE port = SetUp(_T("COM0:"), kCom0Profile);
    const termios t = line.SlaveSettings();
    ExpectFramed9600_8N1(port, t);
    EXPECT_TRUE((t.c_iflag & IXON) && (t.c_iflag & IXOFF));
    EXPECT_FALSE(t.c_cflag & CRTSCTS);

    DCB dcb{};
    ASSERT_TRUE(GetCommState(port, &dcb));
    EXPECT_EQ(dcb.fOutX, 1u);
    EXPECT_EQ(dcb.fInX, 1u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 1u);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_DISABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);
    EXPECT_EQ(dcb.fBinary, 1u);  // as read
    EXPECT_EQ(GetDcbFlags(dcb) & 0x3832, 0u);
    EXPECT_EQ(GetDcbFlags(dcb) & 0x0380, 0x0380u);
    CloseHandle(port);
}

TEST_F(PortSetupTest, Com2KeepsTheFlowControlTheDriverHad) {
    StageDriverSettings(true, true);
    devices.Link("COM2", line.SlavePath());
    HANDLE port = SetUp(_T("COM2:"), kCom2Profile);
    const termios t = line.SlaveSettings();
    ExpectFramed9600_8N1(port, t);
    EXPECT_TRUE((t.c_iflag & IXON) && (t.c_iflag & IXOFF) && (t.c_cflag & CRTSCTS));
    CloseHandle(port);

    sim::PseudoTerminal plain;
    devices.Link("COM2", plain.SlavePath());
    port = SetUp(_T("COM2:"), kCom2Profile);
    const termios p = plain.SlaveSettings();
    EXPECT_FALSE((p.c_iflag & (IXON | IXOFF)) || (p.c_cflag & CRTSCTS));
    CloseHandle(port);
}

TEST_F(PortSetupTest, WhatArrivedBeforeTheSetUpIsDiscarded) {
    devices.Link("COM0", line.SlavePath());
    HANDLE port = OpenPort(_T("COM0:"));
    line.Send("stale");
    ASSERT_TRUE(line.WaitUnread(5));
    ConfigurePort(port, kCom0Profile);
    line.Send("fresh");
    char buf[50];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(port, buf, sizeof buf, &got, nullptr));
    EXPECT_EQ(std::string(buf, got), "fresh");
    CloseHandle(port);
}

TEST_F(PortSetupTest, AMissingPortIsNotOpenAndNeitherIsNull) {
    const HANDLE port = OpenPort(_T("COM0:"));
    EXPECT_EQ(port, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(IsPortOpen(port));
    EXPECT_FALSE(IsPortOpen(nullptr));
    ConfigurePort(port, kCom0Profile);  // harmless on a port that is not open
}

}  // namespace

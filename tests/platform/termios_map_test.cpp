// The DCB/termios mapping on its own, without a device: what each field becomes and what
// comes back.
#include <gtest/gtest.h>

#include <functional>

#include "platform/win/termios_map_p.h"

namespace {

using win_detail::DcbFromTermios;
using win_detail::DcbToTermios;

DCB Base() {
    DCB d{};
    d.DCBlength = sizeof(DCB);
    d.BaudRate = 9600;
    d.fBinary = 1;
    d.ByteSize = 8;
    d.Parity = NOPARITY;
    d.StopBits = ONESTOPBIT;
    d.fRtsControl = RTS_CONTROL_ENABLE;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    return d;
}

// A terminal whose earlier owner left everything on: the mapping must clear what it owns.
termios Noisy() {
    termios t{};
    t.c_cflag = CS7 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    t.c_iflag = INPCK | IXON | IXOFF | ICRNL;
    t.c_lflag = ECHO | ICANON | ISIG;
    t.c_oflag = OPOST;
    return t;
}

struct Case {
    const char* name;
    std::function<void(DCB&)> change;
    tcflag_t cflagSet;    // must be set
    tcflag_t cflagClear;  // must be clear
    tcflag_t iflagSet;
    tcflag_t iflagClear;
};

TEST(TermiosMapTest, EachSettingBecomesItsTermiosBitsAndComesBackUnchanged) {
    const Case cases[] = {
        {"8N1", [](DCB&) {}, CS8 | CREAD | CLOCAL, PARENB | CSTOPB | CRTSCTS | CMSPAR, 0,
         INPCK | IXON | IXOFF},
        {"7 odd", [](DCB& d) { d.ByteSize = 7, d.Parity = ODDPARITY, d.fParity = 1; },
         CS7 | PARENB | PARODD, CMSPAR, INPCK, 0},
        {"even", [](DCB& d) { d.Parity = EVENPARITY; }, PARENB, PARODD | CMSPAR, 0, 0},
        // Mark and space are sticky parity: CMSPAR, with PARODD choosing mark.
        {"mark", [](DCB& d) { d.Parity = MARKPARITY; }, PARENB | CMSPAR | PARODD, 0, 0, 0},
        {"space", [](DCB& d) { d.Parity = SPACEPARITY; }, PARENB | CMSPAR, PARODD, 0, 0},
        {"5 bits, two stops", [](DCB& d) { d.ByteSize = 5, d.StopBits = TWOSTOPBITS; },
         CS5 | CSTOPB, 0, 0, 0},
        {"6 bits", [](DCB& d) { d.ByteSize = 6; }, CS6, 0, 0, 0},
        {"XON/XOFF both ways", [](DCB& d) { d.fOutX = 1, d.fInX = 1; }, 0, CRTSCTS, IXON | IXOFF,
         0},
        {"CTS output flow", [](DCB& d) { d.fOutxCtsFlow = 1; }, CRTSCTS, 0, 0, 0},
        {"RTS handshake", [](DCB& d) { d.fOutxCtsFlow = 1, d.fRtsControl = RTS_CONTROL_HANDSHAKE; },
         CRTSCTS, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DCB dcb = Base();
        c.change(dcb);
        termios t = Noisy();
        ASSERT_TRUE(DcbToTermios(dcb, t));
        EXPECT_EQ(t.c_cflag & c.cflagSet, c.cflagSet);
        EXPECT_EQ(t.c_cflag & c.cflagClear, 0u);
        EXPECT_EQ(t.c_iflag & c.iflagSet, c.iflagSet);
        EXPECT_EQ(t.c_iflag & c.iflagClear, 0u);
        EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u) << "raw";
        EXPECT_EQ(cfgetospeed(&t), B9600);
        EXPECT_EQ(t.c_cc[VSTART], 0x11);
        EXPECT_EQ(t.c_cc[VSTOP], 0x13);

        const DCB back = DcbFromTermios(t, dcb);
        EXPECT_EQ(back.BaudRate, dcb.BaudRate);
        EXPECT_EQ(back.ByteSize, dcb.ByteSize);
        EXPECT_EQ(back.Parity, dcb.Parity);
        EXPECT_EQ(back.StopBits, dcb.StopBits);
        EXPECT_EQ(back.fParity, dcb.fParity);
        EXPECT_EQ(back.fOutX, dcb.fOutX);
        EXPECT_EQ(back.fInX, dcb.fInX);
        EXPECT_EQ(back.fOutxCtsFlow, dcb.fOutxCtsFlow);
    }
}

TEST(TermiosMapTest, WhatTermiosCannotSayIsKeptAndWhatItCannotTakeIsRefused) {
    // 1.5 stop bits goes out as two, the nearest.
    DCB onePointFive = Base();
    onePointFive.StopBits = ONE5STOPBITS;
    termios t = Noisy();
    ASSERT_TRUE(DcbToTermios(onePointFive, t));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);

    // Fields termios has no place for come back as they were set.
    DCB kept = Base();
    kept.fDtrControl = DTR_CONTROL_ENABLE;
    kept.XonLim = 2048;
    kept.EofChar = 0x1a;
    t = Noisy();
    ASSERT_TRUE(DcbToTermios(kept, t));
    const DCB back = DcbFromTermios(t, kept);
    EXPECT_EQ(back.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_EQ(back.XonLim, 2048);
    EXPECT_EQ(back.EofChar, 0x1a);

    struct Refused {
        const char* name;
        std::function<void(DCB&)> change;
    };
    const Refused refused[] = {
        {"a rate termios has no name for", [](DCB& d) { d.BaudRate = 12345; }},
        {"4 data bits", [](DCB& d) { d.ByteSize = 4; }},
        {"9 data bits", [](DCB& d) { d.ByteSize = 9; }},
        {"parity 5", [](DCB& d) { d.Parity = 5; }},
        {"stop bits 3", [](DCB& d) { d.StopBits = 3; }},
        {"XON equal to XOFF", [](DCB& d) { d.XoffChar = d.XonChar; }},
    };
    for (const Refused& r : refused) {
        DCB dcb = Base();
        r.change(dcb);
        termios untouched = Noisy();
        EXPECT_FALSE(DcbToTermios(dcb, untouched)) << r.name;
    }
}

}  // namespace

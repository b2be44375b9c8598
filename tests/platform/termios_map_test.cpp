// The DCB/termios mapping on its own, without a device: what each field becomes, what comes
// back, and what a line that refused or changed a setting reports.
#include <gtest/gtest.h>

#include <functional>

#include "platform/win/termios_map_p.h"

namespace {

using win_detail::DcbFromTermios;
using win_detail::DcbToTermios;
using win_detail::MergeChanges;

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
        EXPECT_EQ(back.fRtsControl, dcb.fRtsControl);
    }
}

TEST(TermiosMapTest, WhatTermiosCannotSayIsKeptAndWhatItCannotTakeIsRefused) {
    // 1.5 stop bits goes out as two (the nearest) and is still reported as 1.5.
    DCB onePointFive = Base();
    onePointFive.StopBits = ONE5STOPBITS;
    termios t = Noisy();
    ASSERT_TRUE(DcbToTermios(onePointFive, t));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(DcbFromTermios(t, onePointFive).StopBits, ONE5STOPBITS);
    // Two stop bits found on a line set for one are news.
    EXPECT_EQ(DcbFromTermios(t, Base()).StopBits, TWOSTOPBITS);

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

    // CRTSCTS dropped by another program ends the handshake but keeps RTS raised.
    DCB handshake = Base();
    handshake.fOutxCtsFlow = 1;
    handshake.fRtsControl = RTS_CONTROL_HANDSHAKE;
    termios plain = Noisy();
    ASSERT_TRUE(DcbToTermios(Base(), plain));
    const DCB dropped = DcbFromTermios(plain, handshake);
    EXPECT_EQ(dropped.fOutxCtsFlow, 0u);
    EXPECT_EQ(dropped.fRtsControl, RTS_CONTROL_ENABLE);

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

// A pseudo-terminal forces eight data bits and no parity on every set; a real adapter may
// refuse a rate. What was set is reported unless the line changed since we last looked.
TEST(TermiosMapTest, ARefusedSettingShowsAsSetAndAnotherProgramsChangeShows) {
    DCB set = Base();
    set.ByteSize = 7;
    set.Parity = EVENPARITY;
    set.fParity = 1;
    termios wanted = Noisy();
    ASSERT_TRUE(DcbToTermios(set, wanted));
    termios accepted = wanted;  // what the pseudo-terminal made of it
    accepted.c_cflag = (accepted.c_cflag & ~static_cast<tcflag_t>(CSIZE | PARENB)) | CS8;
    const DCB seen = DcbFromTermios(accepted, set);
    ASSERT_EQ(seen.ByteSize, 8);
    ASSERT_EQ(seen.Parity, NOPARITY);

    const DCB quiet = MergeChanges(set, seen, seen);
    EXPECT_EQ(quiet.ByteSize, 7);
    EXPECT_EQ(quiet.Parity, EVENPARITY);

    termios changed = accepted;
    cfsetospeed(&changed, B115200);
    changed.c_iflag |= IXON;
    changed.c_cflag |= CRTSCTS;
    const DCB now = DcbFromTermios(changed, set);
    const DCB merged = MergeChanges(set, seen, now);
    EXPECT_EQ(merged.BaudRate, 115200u);
    EXPECT_EQ(merged.fOutX, 1u);
    EXPECT_EQ(merged.fOutxCtsFlow, 1u);
    EXPECT_EQ(merged.fRtsControl, RTS_CONTROL_HANDSHAKE);
    EXPECT_EQ(merged.ByteSize, 7) << "the refused size is not news";
    EXPECT_EQ(merged.Parity, EVENPARITY);
}

}  // namespace

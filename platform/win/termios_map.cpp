#include "platform/win/termios_map_p.h"

#include <iterator>

namespace win_detail {

namespace {

struct Rate {
    DWORD baud;
    speed_t speed;
};

constexpr Rate kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedFromBaud(DWORD baud, speed_t& speed) {
    for (const Rate& r : kRates) {
        if (r.baud == baud) {
            speed = r.speed;
            return true;
        }
    }
    return false;
}

DWORD BaudFromSpeed(speed_t speed, DWORD fallback) {
    for (const Rate& r : kRates) {
        if (r.speed == speed) {
            return r.baud;
        }
    }
    return fallback;
}

}  // namespace

void MakeRaw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IUCLC | IXANY | IMAXBEL);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

bool DcbToTermios(const DCB& d, termios& t) {
    speed_t speed = 0;
    if (!SpeedFromBaud(d.BaudRate, speed) || d.ByteSize < 5 || d.ByteSize > 8 ||
        d.Parity > SPACEPARITY || d.StopBits > TWOSTOPBITS || d.XonChar == d.XoffChar) {
        return false;
    }
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);

    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | kSizes[d.ByteSize - 5];

    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    switch (d.Parity) {
        case ODDPARITY:
            t.c_cflag |= PARENB | PARODD;
            break;
        case EVENPARITY:
            t.c_cflag |= PARENB;
            break;
        case MARKPARITY:
            t.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case SPACEPARITY:
            t.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            break;
    }
    if (d.StopBits == ONESTOPBIT) {
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    } else {
        t.c_cflag |= CSTOPB;  // 1.5 stop bits has no termios form; the nearest is two
    }
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | IXON | IXOFF);
    t.c_iflag |= (d.fParity ? INPCK : 0) | (d.fOutX ? IXON : 0) | (d.fInX ? IXOFF : 0);
    if (d.fOutxCtsFlow || d.fRtsControl == RTS_CONTROL_HANDSHAKE) {
        t.c_cflag |= CRTSCTS;
    } else {
        t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    }
    t.c_cc[VSTART] = static_cast<cc_t>(d.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(d.XoffChar);
    MakeRaw(t);
    return true;
}

DCB DcbFromTermios(const termios& t, const DCB& kept) {
    DCB d = kept;
    d.DCBlength = sizeof(DCB);
    d.BaudRate = BaudFromSpeed(cfgetospeed(&t), kept.BaudRate);

    switch (t.c_cflag & CSIZE) {
        case CS5:
            d.ByteSize = 5;
            break;
        case CS6:
            d.ByteSize = 6;
            break;
        case CS7:
            d.ByteSize = 7;
            break;
        default:
            d.ByteSize = 8;
            break;
    }
    if (!(t.c_cflag & PARENB)) {
        d.Parity = NOPARITY;
    } else if (t.c_cflag & CMSPAR) {
        d.Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    } else {
        d.Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    }
    d.StopBits = (t.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    d.fParity = (t.c_iflag & INPCK) ? 1 : 0;
    d.fOutX = (t.c_iflag & IXON) ? 1 : 0;
    d.fInX = (t.c_iflag & IXOFF) ? 1 : 0;

    if (t.c_cflag & CRTSCTS) {
        d.fOutxCtsFlow = 1;
        d.fRtsControl = RTS_CONTROL_HANDSHAKE;
    }
    d.XonChar = static_cast<char>(t.c_cc[VSTART]);
    d.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return d;
}

}  // namespace win_detail

#include "platform/win/serial_trace_p.h"

#include <cstdio>

#include "platform/win/termios_map_p.h"

namespace win_detail {

namespace {

const char* Switch(bool on) {
    return on ? "on" : "off";
}

const char* ControlText(unsigned value, bool dtr) {
    switch (value) {
        case 0:
            return "off";
        case 1:
            return "on";
        case 2:
            return "handshake";
        default:
            return dtr ? "?" : "toggle";
    }
}

}  // namespace

std::string DescribeDcb(const DCB& dcb) {
    static const char kParity[] = "NOEMS";
    static const char* const kStop[] = {"1", "1.5", "2"};
    char text[192];
    std::snprintf(text, sizeof text,
                  "%u %u%c%s, XON/XOFF out %s in %s, CTS flow %s, DSR flow %s, DTR %s, RTS %s",
                  static_cast<unsigned>(dcb.BaudRate), static_cast<unsigned>(dcb.ByteSize),
                  dcb.Parity < 5 ? kParity[dcb.Parity] : '?',
                  dcb.StopBits < 3 ? kStop[dcb.StopBits] : "?", Switch(dcb.fOutX), Switch(dcb.fInX),
                  Switch(dcb.fOutxCtsFlow), Switch(dcb.fOutxDsrFlow),
                  ControlText(dcb.fDtrControl, true), ControlText(dcb.fRtsControl, false));
    return text;
}

std::string DescribeTermios(const termios& t) {
    DCB blank{};
    const DCB dcb = DcbFromTermios(t, blank);
    char text[192];
    std::snprintf(text, sizeof text,
                  "%u %u%c%s, IXON %s, IXOFF %s, CRTSCTS %s (c_cflag %#o, c_iflag %#o)",
                  static_cast<unsigned>(dcb.BaudRate), static_cast<unsigned>(dcb.ByteSize),
                  "NOEMS"[dcb.Parity < 5 ? dcb.Parity : 0], dcb.StopBits == TWOSTOPBITS ? "2" : "1",
                  Switch(t.c_iflag & IXON), Switch(t.c_iflag & IXOFF), Switch(t.c_cflag & CRTSCTS),
                  static_cast<unsigned>(t.c_cflag), static_cast<unsigned>(t.c_iflag));
    return text;
}

std::string DescribeTimeouts(const COMMTIMEOUTS& t) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "read interval %u, read total %u x n + %u, write total %u x n + %u (ms)",
                  static_cast<unsigned>(t.ReadIntervalTimeout),
                  static_cast<unsigned>(t.ReadTotalTimeoutMultiplier),
                  static_cast<unsigned>(t.ReadTotalTimeoutConstant),
                  static_cast<unsigned>(t.WriteTotalTimeoutMultiplier),
                  static_cast<unsigned>(t.WriteTotalTimeoutConstant));
    return text;
}

std::string DescribePurge(DWORD flags) {
    std::string text;
    for (const auto& [flag, name] :
         {std::pair{PURGE_TXABORT, "TXABORT"}, std::pair{PURGE_RXABORT, "RXABORT"},
          std::pair{PURGE_TXCLEAR, "TXCLEAR"}, std::pair{PURGE_RXCLEAR, "RXCLEAR"}}) {
        if (flags & flag) {
            text += text.empty() ? name : std::string(" ") + name;
        }
    }
    return text.empty() ? "nothing" : text;
}

std::string PortName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

}  // namespace win_detail

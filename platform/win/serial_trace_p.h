// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// What the serial channel of the trace says about settings: short, readable descriptions.
#pragma once

#include <termios.h>

#include <string>

#include "platform/win/types.h"

namespace win_detail {

// "9600 8N1, XON/XOFF out in, DTR off, RTS off"
std::string DescribeDcb(const DCB& dcb);
// The same for what a termios expresses, with its flag words.
std::string DescribeTermios(const termios& t);
// "interval 10, total 10 x n + 10, write 50 x n + 100 (ms)"
std::string DescribeTimeouts(const COMMTIMEOUTS& t);
// "TXCLEAR RXCLEAR"
std::string DescribePurge(DWORD flags);
// The port's name as the tool knows it: the device directory entry's name ("COM0").
std::string PortName(const std::string& path);

}  // namespace win_detail

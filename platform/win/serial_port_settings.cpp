// The port's settings: the DCB as termios and modem lines, and the time-outs.
#include <sys/ioctl.h>
#include <termios.h>

#include "platform/win/error_p.h"
#include "platform/win/serial_port_p.h"
#include "platform/win/serial_trace_p.h"
#include "platform/win/termios_map_p.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"

namespace win_detail {

bool SerialPort::Apply(int fd, const DCB& dcb) {
    termios t{};
    if (tcgetattr(fd, &t) != 0 || !DcbToTermios(dcb, t) || tcsetattr(fd, TCSANOW, &t) != 0) {
        return false;
    }
    ApplyModemLines(fd, dcb);
    return true;
}

DCB SerialPort::GetState() {
    std::lock_guard lock(m_mutex);
    return m_kept;
}

BOOL SerialPort::SetState(const DCB& dcb) {
    termios check{};
    if (!DcbToTermios(dcb, check)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::shared_ptr<Line> line = Attached();
    std::lock_guard lock(m_mutex);
    if (!line) {
        m_kept = dcb;  // taken when the device is back
        m_kept.DCBlength = sizeof(DCB);
        RV_TRACE(TraceChannel::Serial, "%s settings %s: kept for when the device is back",
                 m_name.c_str(), DescribeDcb(dcb).c_str());
        return Fail(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (!Apply(line->fd, dcb)) {
        const int err = errno;
        RV_TRACE(TraceChannel::Serial, "%s settings %s: %s", m_name.c_str(),
                 DescribeDcb(dcb).c_str(), ErrnoText(err).c_str());
        return LineFailed(err);
    }
    m_kept = dcb;
    m_kept.DCBlength = sizeof(DCB);
    if (TraceOn(TraceChannel::Serial)) {
        termios t{};  // a pseudo-terminal, say, keeps 8 bits without parity
        tcgetattr(line->fd, &t);
        TraceLine(TraceChannel::Serial, "%s settings %s; the termios became %s", m_name.c_str(),
                  DescribeDcb(dcb).c_str(), DescribeTermios(t).c_str());
    }
    return TRUE;
}

void SerialPort::ApplyModemLines(int fd, const DCB& dcb) {
    // A pseudo-terminal has no modem lines and answers ENOTTY: the wish is kept all the same.
    int dtr = TIOCM_DTR;
    if (dcb.fDtrControl == DTR_CONTROL_DISABLE) {
        ioctl(fd, TIOCMBIC, &dtr);
    } else {
        ioctl(fd, TIOCMBIS, &dtr);
    }
    int rts = TIOCM_RTS;
    if (dcb.fRtsControl == RTS_CONTROL_DISABLE) {
        ioctl(fd, TIOCMBIC, &rts);
    } else if (dcb.fRtsControl != RTS_CONTROL_HANDSHAKE) {
        ioctl(fd, TIOCMBIS, &rts);
    }
}

void SerialPort::ReportModemLines(int fd, DCB& dcb) {
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0) {
        return;
    }
    if (dcb.fDtrControl != DTR_CONTROL_HANDSHAKE) {
        dcb.fDtrControl = (lines & TIOCM_DTR) ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    }
    if (dcb.fRtsControl != RTS_CONTROL_HANDSHAKE && dcb.fRtsControl != RTS_CONTROL_TOGGLE) {
        dcb.fRtsControl = (lines & TIOCM_RTS) ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    }
}

COMMTIMEOUTS SerialPort::GetTimeouts() {
    std::lock_guard lock(m_mutex);
    return m_timeouts;
}

void SerialPort::SetTimeouts(const COMMTIMEOUTS& timeouts) {
    RV_TRACE(TraceChannel::Serial, "%s time-outs: %s", m_name.c_str(),
             DescribeTimeouts(timeouts).c_str());
    std::lock_guard lock(m_mutex);
    m_timeouts = timeouts;
}

}  // namespace win_detail

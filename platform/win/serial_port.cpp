#include "platform/win/serial_port_p.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/win/error_p.h"
#include "platform/win/serial_trace_p.h"
#include "platform/win/termios_map_p.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"

namespace win_detail {

bool IsDeviceGone(int err) {
    return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE;
}

BOOL LineFailed(int err) {
    return Fail(IsDeviceGone(err) ? ERROR_DEVICE_NOT_CONNECTED : ErrorFromErrno(err));
}

std::shared_ptr<SerialPort> SerialPort::Adopt(int fd, std::string path, bool exclusive) {
    std::shared_ptr<SerialPort> port(new SerialPort(std::move(path), exclusive));
    termios t{};
    if (!port->m_wake.Valid() || !port->m_txAbort.Valid() || tcgetattr(fd, &t) != 0) {
        const int err = errno;
        close(fd);
        errno = err;
        return nullptr;
    }
    MakeRaw(t);
    tcsetattr(fd, TCSANOW, &t);
    port->m_line = std::make_shared<Line>(fd);
    // What the driver reports as its own: lines up as after any open, limits as usual.
    DCB driver{};
    driver.DCBlength = sizeof(DCB);
    driver.fBinary = 1;
    driver.fDtrControl = DTR_CONTROL_ENABLE;
    driver.fRtsControl = RTS_CONTROL_ENABLE;
    driver.XonLim = 2048;
    driver.XoffLim = 512;
    driver.StopBits = ONESTOPBIT;
    driver.BaudRate = CBR_9600;
    tcgetattr(fd, &t);
    port->m_kept = DcbFromTermios(t, driver);
    ReportModemLines(fd, port->m_kept);
    return port;
}

SerialPort::SerialPort(std::string path, bool exclusive)
    : m_path(std::move(path)), m_name(PortName(m_path)), m_exclusive(exclusive) {}

SerialPort::Line::~Line() {
    close(fd);
}

SerialPort::~SerialPort() = default;

void SerialPort::Close() {
    RV_TRACE(TraceChannel::Serial, "%s closed", m_name.c_str());
    m_closed = true;
    std::shared_ptr<Line> line;
    {
        std::lock_guard lock(m_mutex);
        line = std::move(m_line);  // closed when the last operation using it ends
    }
    if (line) {
        flock(line->fd, LOCK_UN);  // the port may be opened again at once, even while a read ends
    }
    m_wake.Signal();
}

std::shared_ptr<SerialPort::Line> SerialPort::Attached() {
    std::lock_guard lock(m_mutex);
    if (m_line || m_closed) {
        return m_line;
    }
    // The device went away: is one there again? Opening a line without carrier must not hang.
    const int fd = open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    if (!isatty(fd) || (m_exclusive && flock(fd, LOCK_EX | LOCK_NB) != 0) || !Apply(fd, m_kept)) {
        close(fd);
        return nullptr;
    }
    m_line = std::make_shared<Line>(fd);
    RV_TRACE(TraceChannel::Serial, "%s device back: reattached with its settings and time-outs",
             m_name.c_str());
    return m_line;
}

void SerialPort::Detach(const std::shared_ptr<Line>& line) {
    std::lock_guard lock(m_mutex);
    if (m_line == line) {
        m_line.reset();
        RV_TRACE(TraceChannel::Serial, "%s device gone", m_name.c_str());
    }
}

int SerialPort::Wait(int fd, short events, const WakeFd* abort, int timeoutMs) {
    pollfd fds[3] = {
        {fd, events, 0}, {m_wake.Fd(), POLLIN, 0}, {abort ? abort->Fd() : -1, POLLIN, 0}};
    const int n = poll(fds, 3, timeoutMs);
    if (m_closed || (n > 0 && fds[1].revents)) {
        return kClosed;
    }
    if (n > 0 && fds[2].revents) {
        abort->Drain();
        return kAborted;
    }
    return n > 0 ? fds[0].revents : 0;
}

BOOL SerialPort::Read(void* buffer, DWORD size, DWORD* done) {
    const BOOL ok = ReadLine(buffer, size, done);
    if (TraceOn(TraceChannel::Serial)) {
        TraceTransfer("read", buffer, size, *done, ok);
    }
    return ok;
}

BOOL SerialPort::Write(const void* buffer, DWORD size, DWORD* done) {
    const BOOL ok = WriteLine(buffer, size, done);
    if (TraceOn(TraceChannel::Serial)) {
        TraceTransfer("write", buffer, size, *done, ok);
    }
    return ok;
}

void SerialPort::TraceTransfer(const char* what, const void* bytes, DWORD size, DWORD done,
                               BOOL ok) {
    const DWORD error = ok ? 0 : GetLastError();
    const char* failure = error == ERROR_DEVICE_NOT_CONNECTED ? ", the device has gone"
                          : error == ERROR_OPERATION_ABORTED  ? ", aborted"
                          : ok                                ? ""
                                                              : ", failed";
    const std::string hex =
        TraceOn(TraceChannel::SerialBytes) && done > 0 ? ": " + HexBytes(bytes, done) : "";
    TraceLine(TraceChannel::Serial, "%s %s %u: %u bytes%s%s", m_name.c_str(), what,
              static_cast<unsigned>(size), static_cast<unsigned>(done), failure, hex.c_str());
    SetLastError(error);
}

BOOL SerialPort::ReadLine(void* buffer, DWORD size, DWORD* done) {
    const COMMTIMEOUTS t = GetTimeouts();
    auto* out = static_cast<BYTE*>(buffer);
    DWORD got = 0;
    *done = 0;
    if (m_closed) {
        return Fail(ERROR_OPERATION_ABORTED);
    }
    const auto start = Deadline::Clock::now();
    Deadline total = Deadline::Never();
    if (t.ReadTotalTimeoutMultiplier || t.ReadTotalTimeoutConstant) {
        const auto ms = static_cast<std::uint64_t>(t.ReadTotalTimeoutMultiplier) * size +
                        t.ReadTotalTimeoutConstant;
        total = Deadline::At(start + std::chrono::milliseconds(ms));
    }
    Deadline::Clock::time_point lastByte = start;
    const std::shared_ptr<Line> line = Attached();
    if (!line) {
        return Fail(m_closed ? ERROR_OPERATION_ABORTED : ERROR_DEVICE_NOT_CONNECTED);
    }
    while (got < size) {
        const ssize_t n = read(line->fd, out + got, size - got);
        if (n > 0) {
            got += static_cast<DWORD>(n);
            lastByte = Deadline::Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || errno != EAGAIN) {  // 0: the line hung up
            const int err = n == 0 ? EIO : errno;
            if (IsDeviceGone(err)) {
                Detach(line);
            }
            *done = got;
            return got > 0 ? TRUE : LineFailed(err);
        }
        Deadline until = total;
        if (t.ReadIntervalTimeout != 0 && got > 0) {
            until = until.Earliest(
                Deadline::At(lastByte + std::chrono::milliseconds(t.ReadIntervalTimeout)));
        }
        const int wait = until.LeftMs();
        if (wait == 0) {
            break;
        }
        if (Wait(line->fd, POLLIN, nullptr, wait) == kClosed) {
            *done = got;
            return Fail(ERROR_OPERATION_ABORTED);
        }
    }
    *done = got;
    return TRUE;
}

BOOL SerialPort::WriteLine(const void* buffer, DWORD size, DWORD* done) {
    const COMMTIMEOUTS t = GetTimeouts();
    const auto* in = static_cast<const BYTE*>(buffer);
    DWORD put = 0;
    *done = 0;
    if (m_closed) {
        return Fail(ERROR_OPERATION_ABORTED);
    }
    Deadline total = Deadline::Never();
    if (t.WriteTotalTimeoutMultiplier || t.WriteTotalTimeoutConstant) {
        const auto ms = static_cast<std::uint64_t>(t.WriteTotalTimeoutMultiplier) * size +
                        t.WriteTotalTimeoutConstant;
        total = Deadline::In(static_cast<long long>(ms));
    }
    const std::shared_ptr<Line> line = Attached();
    if (!line) {
        return Fail(m_closed ? ERROR_OPERATION_ABORTED : ERROR_DEVICE_NOT_CONNECTED);
    }
    // An abort from here on ends this write; the wake-up an earlier one left is drained by
    // the wait and counts for nothing.
    const std::uint64_t aborts = m_txAborts;
    while (put < size) {
        const ssize_t n = write(line->fd, in + put, size - put);
        if (n > 0) {
            put += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            const int err = errno;
            if (IsDeviceGone(err)) {
                Detach(line);
            }
            *done = put;
            return LineFailed(err);
        }
        const int wait = total.LeftMs();
        if (wait == 0) {
            break;  // the write time-out: TRUE with what went out
        }
        const int events = Wait(line->fd, POLLOUT, &m_txAbort, wait);
        if (events == kClosed || m_txAborts != aborts) {
            *done = put;
            return Fail(ERROR_OPERATION_ABORTED);
        }
    }
    *done = put;
    return TRUE;
}

BOOL SerialPort::Purge(DWORD flags) {
    RV_TRACE(TraceChannel::Serial, "%s purge %s", m_name.c_str(), DescribePurge(flags).c_str());
    if (flags & PURGE_TXABORT) {
        ++m_txAborts;
        m_txAbort.Signal();
    }
    if (!(flags & (PURGE_TXCLEAR | PURGE_RXCLEAR))) {
        return TRUE;
    }
    const std::shared_ptr<Line> line = Attached();
    if (!line) {
        return Fail(ERROR_DEVICE_NOT_CONNECTED);
    }
    if ((flags & PURGE_TXCLEAR) && tcflush(line->fd, TCOFLUSH) != 0) {
        return LineFailed(errno);
    }
    if ((flags & PURGE_RXCLEAR) && tcflush(line->fd, TCIFLUSH) != 0) {
        return LineFailed(errno);
    }
    return TRUE;
}

}  // namespace win_detail

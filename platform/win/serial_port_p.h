// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The kernel object behind a serial port handle; serial.h gives the contract.
//
// The port remembers the path it was opened from. When its device goes away (a USB adapter
// pulled, a pseudo-terminal's peer closed) the line is dropped; the next operation looks
// for a device at the path again and, when one is there, opens it with the settings and
// time-outs the port had, so its users carry on without opening it anew.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <termios.h>

#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/types.h"
#include "platform/win/wake_p.h"

namespace win_detail {

// The errors that mean the device itself has gone (an adapter pulled, a peer closed): the line
// is dropped and the port waits for the device to come back.
bool IsDeviceGone(int err);
// Fails with the error of a read, write or setting that failed for another reason than an
// empty or full queue: a device that has gone reads as not connected.
BOOL LineFailed(int err);

class SerialPort : public KernelObject {
public:
    // Takes ownership of fd, a terminal opened non-blocking from path; makes the line raw.
    // An exclusive port keeps other openers out (flock), also after reattaching.
    static std::shared_ptr<SerialPort> Adopt(int fd, std::string path, bool exclusive);
    ~SerialPort() override;

    BOOL Read(void* buffer, DWORD size, DWORD* done) override;
    BOOL Write(const void* buffer, DWORD size, DWORD* done) override;
    void Close() override;

    DCB GetState();
    BOOL SetState(const DCB& dcb);
    COMMTIMEOUTS GetTimeouts();
    void SetTimeouts(const COMMTIMEOUTS& timeouts);
    BOOL Purge(DWORD flags);

private:
    BOOL ReadLine(void* buffer, DWORD size, DWORD* done);
    BOOL WriteLine(const void* buffer, DWORD size, DWORD* done);
    // Tells the serial channel of the trace what a read or write did.
    void TraceTransfer(const char* what, const void* bytes, DWORD size, DWORD done, BOOL ok);

    // One open descriptor of the device; operations in progress keep theirs alive.
    struct Line {
        explicit Line(int d) : fd(d) {}
        ~Line();
        Line(const Line&) = delete;
        Line& operator=(const Line&) = delete;
        const int fd;
    };

    SerialPort(std::string path, bool exclusive);

    // The line in use; when there is none, a device found at the path is opened with the
    // port's settings. nullptr while the device is away.
    std::shared_ptr<Line> Attached();
    // Drops the line an operation found gone (unless another has replaced it already).
    void Detach(const std::shared_ptr<Line>& line);
    // Applies the DCB to fd as raw termios, with the modem lines; under m_mutex.
    bool Apply(int fd, const DCB& dcb);

    // Waits for events on the line, for Close() or for an abort (a write's, when given); -1
    // waits without limit. Returns the line's revents, 0 on timeout, kClosed when the handle
    // was closed, kAborted on an abort signal.
    static constexpr int kClosed = -1;
    static constexpr int kAborted = -2;
    int Wait(int fd, short events, const WakeFd* abort, int timeoutMs);
    static void ApplyModemLines(int fd, const DCB& dcb);
    static void ReportModemLines(int fd, DCB& dcb);

    const std::string m_path;
    const std::string m_name;  // the device directory entry's name, for the trace
    const bool m_exclusive;
    const WakeFd m_wake;  // readable for good once the handle is closed
    // PURGE_TXABORT: a count of aborts and a descriptor to wake the write.
    std::atomic<std::uint64_t> m_txAborts{0};
    const WakeFd m_txAbort;
    std::atomic<bool> m_closed{false};
    std::mutex m_mutex;            // guards the records below
    std::shared_ptr<Line> m_line;  // nullptr while the device is away
    DCB m_kept{};                  // what was last set, or what the driver had at the open
    COMMTIMEOUTS m_timeouts{};
};

}  // namespace win_detail

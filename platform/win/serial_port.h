// The kernel object behind a serial port handle; serial.h gives the contract.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include <termios.h>

#include "platform/win/handles.h"
#include "platform/win/types.h"

namespace win_detail {

class SerialPort : public KernelObject {
public:
    // Takes ownership of fd, a terminal opened non-blocking; makes the line raw.
    static std::shared_ptr<SerialPort> Adopt(int fd);
    ~SerialPort() override;

    BOOL Read(void* buffer, DWORD size, DWORD* done) override;
    BOOL Write(const void* buffer, DWORD size, DWORD* done) override;
    void Close() override;

    BOOL GetState(DCB& dcb);
    BOOL SetState(const DCB& dcb);
    COMMTIMEOUTS GetTimeouts();
    void SetTimeouts(const COMMTIMEOUTS& timeouts);
    BOOL Purge(DWORD flags);

private:
    SerialPort(int fd, int wake, int txAbort, int rxAbort);

    // Waits for events on the line, for Close() or for an abort (the abort descriptor of the
    // direction waited for); -1 waits without limit. Returns the line's revents, 0 on timeout,
    // kClosed when the handle was closed, kAborted on an abort signal.
    static constexpr int kClosed = -1;
    static constexpr int kAborted = -2;
    int Wait(short events, int abortFd, int timeoutMs);
    void ApplyModemLines(const DCB& dcb);
    void ReportModemLines(DCB& dcb);

    const int m_fd;
    const int m_wake;  // readable for good once the handle is closed
    // PURGE_TXABORT / PURGE_RXABORT: a count of aborts and a descriptor to wake the operation.
    std::atomic<std::uint64_t> m_txAborts{0};
    std::atomic<std::uint64_t> m_rxAborts{0};
    const int m_txAbort;
    const int m_rxAbort;
    std::atomic<bool> m_closed{false};
    std::mutex m_mutex;  // guards the records below
    DCB m_kept{};        // what was last set, or what the driver had at the open
    termios m_seen{};    // the line's settings right after that: what we left it at
    COMMTIMEOUTS m_timeouts{};
};

}  // namespace win_detail

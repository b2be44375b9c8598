// The kernel object behind a serial port handle; serial.h gives the contract.
#pragma once

#include <atomic>
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
    SerialPort(int fd, int wake);

    // Waits for events on the line or for Close(); -1 waits without limit. Returns the line's
    // revents, 0 on timeout, -1 when the handle was closed.
    int Wait(short events, int timeoutMs);
    void ApplyModemLines(const DCB& dcb);
    void ReportModemLines(DCB& dcb);

    const int m_fd;
    const int m_wake;  // readable for good once the handle is closed
    std::atomic<bool> m_closed{false};
    std::mutex m_mutex;  // guards the records below
    DCB m_kept{};        // what was last set, or what the driver had at the open
    termios m_seen{};    // the line's settings right after that: what we left it at
    COMMTIMEOUTS m_timeouts{};
};

}  // namespace win_detail

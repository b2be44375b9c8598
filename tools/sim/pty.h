// A pseudo-terminal that plays the device end of a serial port.
//
// The tool opens the slave (through its path, usually linked from a device directory) as it
// would open a UART; this object holds the master and plays the device. It also keeps a slave
// descriptor of its own, so that the line's settings survive the tool closing and reopening
// the port, and so that the settings a "driver" would have can be staged before the tool
// opens it. The line starts raw (8N1, no flow control, no echo).
#pragma once

#include <termios.h>

#include <string>
#include <string_view>

namespace sim {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    int MasterFd() const { return m_master; }

    // The line's settings as the slave side sees them (what the tool's port reports).
    termios SlaveSettings() const;
    void SetSlaveSettings(const termios& settings);

    // Device to tool: writes all bytes, waiting while the line is full.
    void Send(std::string_view bytes);
    // Writes what the line takes within timeoutMs; returns the count written.
    size_t SendSome(std::string_view bytes, int timeoutMs);
    // Waits until the tool's input queue holds at least count bytes (the line has taken in
    // what was sent, and any flow-control byte sent before them has taken effect); false if
    // that does not happen within timeoutMs.
    bool WaitUnread(size_t count, int timeoutMs = 5000) const;
    // Tool to device: the bytes that arrive within timeoutMs, stopping early once count
    // bytes have been collected (count 0: everything until the time is up).
    std::string Receive(size_t count, int timeoutMs);

    // The device goes away, as when a USB adapter is pulled: the master and the own slave
    // descriptor are closed; the tool's reads then fail.
    void Hangup();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

}  // namespace sim

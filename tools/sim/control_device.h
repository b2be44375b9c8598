// A control device served over a Unix stream socket, as the tool's platform speaks to it.
//
// Each request is a control code of 4 bytes, little-endian; the answer is 1 byte (1 accepted,
// 0 refused). The server accepts any number of connections, records every code in arrival
// order, and answers as its policy says. It runs one thread, joined by the destructor.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class ControlDeviceServer {
public:
    // What to do with a code: answer with a byte (0..255), or kNoAnswer (stay silent).
    static constexpr int kNoAnswer = -1;
    using Policy = std::function<int(std::uint32_t code)>;

    ControlDeviceServer(std::string socketPath, Policy policy);
    ~ControlDeviceServer();
    ControlDeviceServer(const ControlDeviceServer&) = delete;
    ControlDeviceServer& operator=(const ControlDeviceServer&) = delete;

    const std::string& Path() const { return m_path; }

    std::vector<std::uint32_t> Codes() const;
    // Waits until at least count codes have arrived; false when timeoutMs pass first.
    bool WaitForCodes(size_t count, int timeoutMs) const;
    // Connections that were accepted / that the client has closed again.
    int Accepted() const;
    int Closed() const;
    // Waits until every accepted connection has been closed by its client.
    bool WaitAllClosed(int timeoutMs) const;

private:
    void Run();

    std::string m_path;
    Policy m_policy;
    int m_listen = -1;
    int m_wake = -1;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::uint32_t> m_codes;
    int m_accepted = 0;
    int m_closed = 0;
    std::thread m_thread;
};

}  // namespace sim

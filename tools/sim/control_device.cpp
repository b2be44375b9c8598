#include "tools/sim/control_device.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <stdexcept>

namespace sim {

ControlDeviceServer::ControlDeviceServer(std::string socketPath, Policy policy)
    : m_path(std::move(socketPath)), m_policy(std::move(policy)) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof addr.sun_path) {
        throw std::runtime_error("socket path too long: " + m_path);
    }
    std::memcpy(addr.sun_path, m_path.c_str(), m_path.size() + 1);
    unlink(m_path.c_str());
    m_listen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0 || bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(m_listen, 16) != 0) {
        throw std::runtime_error("cannot serve " + m_path + ": " + std::strerror(errno));
    }
    m_wake = eventfd(0, EFD_CLOEXEC);
    m_thread = std::thread([this] { Run(); });
}

ControlDeviceServer::~ControlDeviceServer() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t ignored = write(m_wake, &one, sizeof one);
    m_thread.join();
    close(m_wake);
    close(m_listen);
    unlink(m_path.c_str());
}

void ControlDeviceServer::Run() {
    std::map<int, std::string> clients;  // descriptor -> bytes of an incomplete code
    for (;;) {
        std::vector<pollfd> fds{{m_wake, POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const auto& [fd, pending] : clients) {
            fds.push_back({fd, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        if (fds[0].revents) {
            break;
        }
        if (fds[1].revents & POLLIN) {
            const int client = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                clients.emplace(client, std::string());
                std::lock_guard lock(m_mutex);
                ++m_accepted;
                m_changed.notify_all();
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents) {
                continue;
            }
            const int fd = fds[i].fd;
            char buf[64];
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0) {
                close(fd);
                clients.erase(fd);
                std::lock_guard lock(m_mutex);
                ++m_closed;
                m_changed.notify_all();
                continue;
            }
            std::string& pending = clients[fd];
            pending.append(buf, static_cast<size_t>(n));
            while (pending.size() >= 4) {
                const auto* b = reinterpret_cast<const unsigned char*>(pending.data());
                const std::uint32_t code =
                    b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
                pending.erase(0, 4);
                {
                    std::lock_guard lock(m_mutex);
                    m_codes.push_back(code);
                    m_changed.notify_all();
                }
                const int answer = m_policy ? m_policy(code) : 1;
                if (answer != kNoAnswer) {
                    const auto byte = static_cast<unsigned char>(answer);
                    send(fd, &byte, 1, MSG_NOSIGNAL);
                }
            }
        }
    }
    for (const auto& [fd, pending] : clients) {
        close(fd);
    }
}

std::vector<std::uint32_t> ControlDeviceServer::Codes() const {
    std::lock_guard lock(m_mutex);
    return m_codes;
}

bool ControlDeviceServer::WaitForCodes(size_t count, int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_codes.size() >= count; });
}

int ControlDeviceServer::Accepted() const {
    std::lock_guard lock(m_mutex);
    return m_accepted;
}

int ControlDeviceServer::Closed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

bool ControlDeviceServer::WaitAllClosed(int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_closed == m_accepted; });
}

}  // namespace sim

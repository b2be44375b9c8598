#include "tools/sim/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace sim {

namespace {

[[noreturn]] void Throw(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + std::to_string(errno));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        Throw("posix_openpt");
    }
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        Throw("ptsname_r");
    }
    m_slavePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        Throw("open slave");
    }
    termios t{};
    tcgetattr(m_slave, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(m_slave, TCSANOW, &t);
}

PseudoTerminal::~PseudoTerminal() {
    Hangup();
}

termios PseudoTerminal::SlaveSettings() const {
    termios t{};
    tcgetattr(m_slave, &t);
    return t;
}

void PseudoTerminal::SetSlaveSettings(const termios& settings) {
    tcsetattr(m_slave, TCSANOW, &settings);
}

void PseudoTerminal::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(m_master, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            Throw("write master");
        }
    }
}

size_t PseudoTerminal::SendSome(std::string_view bytes, int timeoutMs) {
    pollfd p{m_master, POLLOUT, 0};
    if (bytes.empty() || poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLOUT)) {
        return 0;
    }
    const int flags = fcntl(m_master, F_GETFL);
    fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
    const ssize_t n = write(m_master, bytes.data(), bytes.size());
    fcntl(m_master, F_SETFL, flags);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

bool PseudoTerminal::WaitUnread(size_t count, int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int unread = 0;
        if (ioctl(m_slave, FIONREAD, &unread) != 0) {
            return false;
        }
        if (static_cast<size_t>(unread) >= count) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string PseudoTerminal::Receive(size_t count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string out;
    while (count == 0 || out.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{m_master, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buf[4096];
        const size_t want = count == 0 ? sizeof buf : std::min(sizeof buf, count - out.size());
        const ssize_t n = read(m_master, buf, want);
        if (n <= 0) {
            break;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

void PseudoTerminal::Hangup() {
    if (m_slave >= 0) {
        close(m_slave);
        m_slave = -1;
    }
    if (m_master >= 0) {
        close(m_master);
        m_master = -1;
    }
}

}  // namespace sim

#include "platform/win/control.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/win/control_p.h"
#include "platform/win/error_p.h"
#include "platform/win/handles_p.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"
#include "platform/win/wait.h"
#include "platform/win/wait_p.h"

namespace win_detail {

namespace {

// sun_path holds about 107 bytes; a longer path is reached through a descriptor of its own.
int ConnectTo(int sock, const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    int pathFd = -1;
    std::string target = path;
    if (target.size() >= sizeof addr.sun_path) {
        pathFd = open(path.c_str(), O_PATH | O_CLOEXEC);
        if (pathFd < 0) {
            return -1;
        }
        target = "/proc/self/fd/" + std::to_string(pathFd);
    }
    std::memcpy(addr.sun_path, target.c_str(), target.size() + 1);
    int r = 0;
    do {
        r = connect(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    } while (r != 0 && errno == EINTR);
    const int err = errno;
    if (pathFd >= 0) {
        close(pathFd);
    }
    errno = err;
    return r;
}

}  // namespace

std::shared_ptr<SocketControlDevice> SocketControlDevice::Connect(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return nullptr;
    }
    if (ConnectTo(fd, path) != 0) {
        const int err = errno;
        close(fd);
        errno = err;
        return nullptr;
    }
    return std::shared_ptr<SocketControlDevice>(new SocketControlDevice(fd));
}

SocketControlDevice::~SocketControlDevice() {
    close(m_fd);
}

BOOL SocketControlDevice::IoControl(DWORD code, const void* /*in*/, DWORD /*inSize*/, void* /*out*/,
                                    DWORD /*outSize*/, DWORD* returned) {
    *returned = 0;
    // An answer that came too late for an earlier request must not count for this one.
    char stale[16];
    while (recv(m_fd, stale, sizeof stale, MSG_DONTWAIT) > 0) {
    }
    const unsigned char request[4] = {
        static_cast<unsigned char>(code), static_cast<unsigned char>(code >> 8),
        static_cast<unsigned char>(code >> 16), static_cast<unsigned char>(code >> 24)};
    size_t sent = 0;
    while (sent < sizeof request) {
        const ssize_t n = send(m_fd, request + sent, sizeof request - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(ERROR_DEVICE_NOT_CONNECTED);
        }
        sent += static_cast<size_t>(n);
    }
    if (!WaitReadable(m_fd, static_cast<int>(kControlAnswerTimeoutMs))) {
        return Fail(ERROR_TIMEOUT);
    }
    unsigned char answer = 0;
    ssize_t n = 0;
    do {
        n = recv(m_fd, &answer, 1, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n != 1) {
        return Fail(ERROR_DEVICE_NOT_CONNECTED);
    }
    return answer == 1 ? TRUE : Fail(ERROR_NOT_SUPPORTED);
}

}  // namespace win_detail

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     LPDWORD returned, LPOVERLAPPED overlapped) {
    DWORD ignored = 0;
    DWORD& count = returned ? *returned : ignored;
    count = 0;
    if (overlapped) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    const auto object = win_detail::LookupHandle(device);
    if (!object) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    return win_detail::TimedForTrace(
        TraceChannel::Control,
        [&] { return object->IoControl(code, in, inSize, out, outSize, &count); },
        [&](BOOL ok, DWORD error, long long ms) {
            const char* answer = ok                                    ? "accepted"
                                 : error == ERROR_NOT_SUPPORTED        ? "refused"
                                 : error == ERROR_TIMEOUT              ? "no answer within 1 s"
                                 : error == ERROR_DEVICE_NOT_CONNECTED ? "the device has gone"
                                                                       : "failed";
            win_detail::TraceLine(TraceChannel::Control, "request %u: %s after %lld ms",
                                  static_cast<unsigned>(code), answer, ms);
        });
}

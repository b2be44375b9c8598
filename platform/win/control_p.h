// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The kernel object of a control device served over a Unix socket.
#pragma once

#include <memory>
#include <string>

#include "platform/win/handles_p.h"
#include "platform/win/types.h"

namespace win_detail {

class SocketControlDevice : public KernelObject {
public:
    // Connects to the socket at path; nullptr with errno set when nobody serves it.
    static std::shared_ptr<SocketControlDevice> Connect(const std::string& path);
    ~SocketControlDevice() override;

    BOOL IoControl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                   DWORD* returned) override;

private:
    explicit SocketControlDevice(int fd) : m_fd(fd) {}
    const int m_fd;
};

}  // namespace win_detail

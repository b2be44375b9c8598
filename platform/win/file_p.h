// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The kernel object of a plain file or non-terminal device.
#pragma once

#include "platform/win/handles_p.h"
#include "platform/win/types.h"

namespace win_detail {

// An open regular file or non-terminal device. Control codes go to ioctl().
class PlainFile : public KernelObject {
public:
    explicit PlainFile(int fd) : m_fd(fd) {}
    ~PlainFile() override;

    BOOL Read(void* buffer, DWORD size, DWORD* done) override;
    BOOL Write(const void* buffer, DWORD size, DWORD* done) override;
    BOOL IoControl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                   DWORD* returned) override;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace win_detail

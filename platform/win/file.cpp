#include "platform/win/file.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/error_p.h"
#include "platform/win/file_p.h"
#include "platform/win/handles_p.h"

namespace win_detail {

PlainFile::~PlainFile() {
    close(m_fd);
}

BOOL PlainFile::Read(void* buffer, DWORD size, DWORD* done) {
    auto* p = static_cast<char*>(buffer);
    DWORD got = 0;
    while (got < size) {
        const ssize_t n = read(m_fd, p + got, size - got);
        if (n > 0) {
            got += static_cast<DWORD>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            *done = got;
            return FailWithErrno();
        }
    }
    *done = got;
    return TRUE;
}

BOOL PlainFile::Write(const void* buffer, DWORD size, DWORD* done) {
    const auto* p = static_cast<const char*>(buffer);
    DWORD put = 0;
    while (put < size) {
        const ssize_t n = write(m_fd, p + put, size - put);
        if (n > 0) {
            put += static_cast<DWORD>(n);
        } else if (n < 0 && errno != EINTR) {
            *done = put;
            return FailWithErrno();
        }
    }
    *done = put;
    return TRUE;
}

BOOL PlainFile::IoControl(DWORD code, const void* in, DWORD /*inSize*/, void* /*out*/,
                          DWORD /*outSize*/, DWORD* returned) {
    *returned = 0;
    if (ioctl(m_fd, code, const_cast<void*>(in)) < 0) {
        return FailWithErrno();
    }
    return TRUE;
}

}  // namespace win_detail

namespace {

// ReadFile and WriteFile alike: the count starts at 0 and the handle's object moves the bytes.
template <class Buffer, class Move>
BOOL Transfer(HANDLE file, Buffer buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped,
              Move move) {
    DWORD ignored = 0;
    DWORD& count = done ? *done : ignored;
    count = 0;
    if (overlapped || (!buffer && size > 0)) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    const auto object = win_detail::LookupHandle(file);
    if (!object) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    return move(*object, &count);
}

}  // namespace

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    return Transfer(file, buffer, size, done, overlapped,
                    [&](auto& object, DWORD* count) { return object.Read(buffer, size, count); });
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    return Transfer(file, buffer, size, done, overlapped,
                    [&](auto& object, DWORD* count) { return object.Write(buffer, size, count); });
}

DWORD GetFileSize(HANDLE file, LPDWORD high) {
    const auto object = win_detail::LookupHandleAs<win_detail::PlainFile>(file);
    struct stat st {};
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    if (fstat(object->Fd(), &st) != 0) {
        win_detail::FailWithErrno();
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<unsigned long long>(st.st_size);
    if (high) {
        *high = static_cast<DWORD>(size >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

#include "platform/win/module.h"

#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/win/error_p.h"
#include "platform/win/text.h"

DWORD GetModuleFileNameW(HMODULE module, LPWSTR filename, DWORD size) {
    if (filename && size > 0) {
        filename[0] = 0;
    }
    if (module != nullptr || (!filename && size > 0)) {
        win_detail::Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }

    // The link's target can be as long as PATH_MAX; grow until readlink leaves room to spare.
    std::string target(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", target.data(), target.size());
        if (n < 0) {
            win_detail::FailWithErrno();
            return 0;
        }
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            break;
        }
        target.resize(target.size() * 2);
    }

    const CString path = FromPosixPath(target);
    const auto length = static_cast<DWORD>(path.GetLength());
    if (length < size) {
        std::copy_n(path.GetString(), length + 1, filename);
        return length;
    }
    if (size > 0) {
        std::copy_n(path.GetString(), size - 1, filename);
        filename[size - 1] = 0;
    }
    win_detail::Fail(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

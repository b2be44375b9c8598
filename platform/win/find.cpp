#include "platform/win/find.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/win/error_p.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/text.h"

namespace {

// A search that has found its one entry: nothing is left to report.
class FindObject : public win_detail::KernelObject {};

}  // namespace

HANDLE FindFirstFileW(LPCWSTR path, LPWIN32_FIND_DATAW data) {
    if (!path || !data) {
        return win_detail::FailedHandle(ERROR_INVALID_PARAMETER);
    }
    std::memset(data, 0, sizeof *data);
    struct stat st {};
    if (lstat(ToPosixPath(path).c_str(), &st) != 0) {
        return win_detail::FailedHandle(win_detail::ErrorFromErrno(errno));
    }
    return win_detail::InsertHandle(std::make_shared<FindObject>());
}

BOOL FindClose(HANDLE find) {
    if (!win_detail::LookupHandleAs<FindObject>(find)) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    return CloseHandle(find);
}

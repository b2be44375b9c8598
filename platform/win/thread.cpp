#include "platform/win/thread.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "platform/win/error_p.h"
#include "platform/win/text.h"
#include "platform/win/thread_p.h"

namespace {

// The pseudo-handle of the calling thread, as the system has it.
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

thread_local char t_name[32] = "";

}  // namespace

HANDLE GetCurrentThread() {
    return kCurrentThread;
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(syscall(SYS_gettid));
}

BOOL SetThreadDescription(HANDLE thread, LPCWSTR description) {
    if (thread != kCurrentThread || !description) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    const std::string name = Utf16ToUtf8(description);
    std::snprintf(t_name, sizeof t_name, "%s", name.c_str());
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
    return TRUE;
}

namespace win_detail {

const char* CurrentThreadName() {
    return t_name;
}

}  // namespace win_detail
